#!/usr/bin/env bash
# Times Orvella's start, from launch to the painted main window, on a program folder with a full calendar
# (9,999 days) and the twelve shipped pictures, beside a bare Qt window of the same size; prints the median
# of each over RUNS runs (default 21: a single start varies by a third on a busy machine) and their ratio.
# Runs on the display in DISPLAY, or on a virtual one. STARTUP_SAMPLES=1 also prints every sample.
# Usage: bench/startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
build=build-bench
tools/install-deps.sh --test > /dev/null
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVELLA_SANITIZE=OFF \
  -DORVELLA_BUILD_TESTS=OFF -DORVELLA_BUILD_BENCH=ON > /dev/null
cmake --build $build --target orvella startup_probe bare_window > /dev/null

work=$(mktemp -d)
xvfb_pid=
trap 'if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid"; fi; rm -rf "$work"' EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do [ -e /tmp/.X11-unix/X$n ] || break; done
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
fi
unset QT_QPA_PLATFORM QT_SCALE_FACTOR

# A portable copy of the program in a folder of its own: the settings of a second start, one calendar with
# 9,999 days of two lines each (the most a calendar holds), the twelve pictures.
folder=$work/program
mkdir -p "$folder/Data"
cp $build/bin/orvella $build/bin/orvella-media.so "$folder/"
cp -r assets/program/Artwork "$folder/"
printf '[System]\r\nLeft=100\r\nTop=40\r\nSize=1\r\n[Calendar]\r\nShow Usage=1\r\n' > "$folder/Orvella.INI"
printf 'User1\r\n' > "$folder/CalUsers.DAT"
# Records of 1028 bytes: the day number as a little-endian double (days since 30 December 1899), then the
# text in 1020 bytes filled with zeros. The days run from 1 January 2000 (36526) on.
perl -e 'print pack("d<a1020", 36526 + $_, "Reminder $_\r\nSecond line") for 0 .. 9998' > "$folder/Data/User1.DBX"

# One timed start: prints the microseconds from launch to the probe's line, and the painted window's size.
probe=$PWD/$build/bench/startup_probe.so
time_start() {
  local t0 t1 line
  t0=$EPOCHREALTIME
  line=$(LD_PRELOAD=$probe "$@" 2>&1 > /dev/null | grep -m1 '^startup-probe: painted' || true)
  t1=$EPOCHREALTIME
  [ -n "$line" ] || { echo "no painted window from $*" >&2; exit 1; }
  echo "$(( ${t1/./} - ${t0/./} )) ${line##* }"
}
median() { tr ' ' '\n' | sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# One start of each first, so that both read their libraries from the page cache.
out=$(time_start "$folder/orvella")
size=${out#* } width=${size%x*} height=${size#*x}
time_start $build/bench/bare_window "$width" "$height" > /dev/null
program=() bare=()
for ((r = 0; r < runs; r++)); do
  out=$(time_start "$folder/orvella") && program+=("${out% *}")
  out=$(time_start $build/bench/bare_window "$width" "$height") && bare+=("${out% *}")
done
[ -z "${STARTUP_SAMPLES:-}" ] || { echo "orvella: ${program[*]}"; echo "bare: ${bare[*]}"; }
p=$(echo "${program[*]}" | median)
b=$(echo "${bare[*]}" | median)
awk -v p="$p" -v b="$b" -v size="$size" -v runs="$runs" 'BEGIN {
  printf "main window %s, %d runs each\n", size, runs
  printf "Orvella (9,999 days, 12 pictures): median %6.1f ms\n", p / 1000
  printf "bare Qt window of the same size:   median %6.1f ms\n", b / 1000
  printf "ratio %.2f\n", p / b
}'
