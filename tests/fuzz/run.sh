#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each from its committed seeds.
#   tests/fuzz/run.sh [SECONDS] [TARGET...]
# SECONDS per target (default 20, as ./test.sh runs them; give 600 or more for a real hunt); every target
# unless some are named. What a run finds stays in build-fuzz/corpus/TARGET; a crash is written to
# build-fuzz/artifacts/TARGET/ and makes the script fail. Replay one with build-fuzz/fuzz/fuzz_TARGET FILE.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-20}
[ $# -gt 0 ] && shift
build=${ORVELLA_FUZZ_BUILD:-$root/build-fuzz}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DORVELLA_FUZZ=ON -DORVELLA_BUILD_TESTS=OFF -DORVELLA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target orvella_fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$build"/fuzz/fuzz_*; do targets+=("${f##*/fuzz_}"); done
fi
# The calendar store's target writes a file for every run: in memory where the system offers it.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  artifacts="$build/artifacts/$t/"
  log="$build/fuzz-$t.log"
  mkdir -p "$corpus" "$artifacts"
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts" "$corpus" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1; then
    echo "fuzz $t: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs, no fault"
  else
    echo "fuzz $t: FAULT, see $log and $artifacts"
    grep -m5 -E 'ERROR|differs|runtime error|SUMMARY' "$log" || tail -5 "$log"
    failed+=("$t")
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz targets with faults: ${failed[*]}"; exit 1; }
