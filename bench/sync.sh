#!/usr/bin/env bash
# Times `orvella-cli sync` against a Radicale it starts on 127.0.0.1 (htpasswd, a temporary storage folder)
# beside vdirsyncer syncing the same events between a local folder and the same server: a first sync into
# an empty collection, a sync with nothing changed and a sync with one day changed, for calendars of DAYS
# days (default 2000 and 9999). Prints the wall time and the HTTP requests of each (counted in the server's
# log, the same way for both). Radicale reads every stored object again at each new one, so a first sync of
# 9,999 events takes either client the better part of half an hour.
# Usage: bench/sync.sh [DAYS...]
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(2000 9999)
build=build-rel
tools/install-deps.sh --bench > /dev/null
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVELLA_SANITIZE=OFF \
  -DORVELLA_BUILD_TESTS=OFF -DORVELLA_BUILD_BENCH=ON > /dev/null
cmake --build $build --target orvella-cli > /dev/null
cli=$PWD/$build/bin/orvella-cli

work=$(mktemp -d)
server_pid=
trap 'if [ -n "$server_pid" ]; then kill "$server_pid" 2> /dev/null || true; fi; rm -rf "$work"' EXIT
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
base=http://127.0.0.1:$port
printf 'ann:secret\n' > "$work/users"
cat > "$work/radicale.conf" << EOF
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $work/users
htpasswd_encryption = plain
[storage]
filesystem_folder = $work/storage
[rights]
type = owner_only
[logging]
level = info
EOF
/usr/bin/python3 -m radicale --config "$work/radicale.conf" > "$work/radicale.log" 2>&1 &
server_pid=$!
for _ in $(seq 100); do curl -s -o /dev/null "$base/" && break; sleep 0.1; done
printf 'secret\n' > "$work/pw"
chmod 600 "$work/pw"

requests() { grep -c ' request for ' "$work/radicale.log" || true; }
# Runs a command; prints its wall time in seconds and the requests the server saw meanwhile.
measure() {
  local before t0 t1
  before=$(requests)
  t0=$EPOCHREALTIME
  "$@" > "$work/out" 2>&1 || { cat "$work/out" >&2; exit 1; }
  t1=$EPOCHREALTIME
  printf '%8.2f s %6d requests' "$(awk "BEGIN {print $t1 - $t0}")" "$(( $(requests) - before ))"
}
mkcalendar() { curl -s -f -o /dev/null -u ann:secret -X MKCALENDAR "$base/ann/$1/"; }

for days in "${sizes[@]}"; do
  last=$((days - 1))
  # Orvella: one calendar of DAYS days of two lines each from 1 January 2000 (day 36526) on.
  folder=$work/orvella-$days
  mkdir -p "$folder/Data"
  printf 'User1\r\n' > "$folder/CalUsers.DAT"
  perl -e "print pack('d<a1020', 36526 + \$_, \"Reminder \$_\\r\\nSecond line\") for 0 .. $last" \
    > "$folder/Data/User1.DBX"
  mkcalendar "orvella-$days"
  "$cli" --folder "$folder" sync-setup "$base/ann/orvella-$days/" --user ann --password-file "$work/pw" > /dev/null
  first=$(measure "$cli" --folder "$folder" sync)
  same=$(measure "$cli" --folder "$folder" sync)
  "$cli" --folder "$folder" set 2000-01-02 'Reminder 1\nchanged'
  one=$(measure "$cli" --folder "$folder" sync)
  echo "$days days, Orvella: first sync $first, nothing changed $same, one day changed $one"

  # vdirsyncer: the same events as files of a local folder.
  local_dir=$work/vdir-$days
  mkdir -p "$local_dir" "$work/status-$days"
  perl -MPOSIX=strftime -e "
    for my \$n (0 .. $last) {
      my \$t = (36526 + \$n - 25569) * 86400;
      my (\$d, \$e) = (strftime('%Y%m%d', gmtime(\$t)), strftime('%Y%m%d', gmtime(\$t + 86400)));
      open(my \$f, '>', \"$local_dir/\$d-user1.ics\") or die;
      print \$f \"BEGIN:VCALENDAR\\r\\nVERSION:2.0\\r\\nPRODID:-//Bench//EN\\r\\nBEGIN:VEVENT\\r\\n\",
        \"UID:\$d-user1\@orvella\\r\\nDTSTAMP:20260101T000000Z\\r\\nDTSTART;VALUE=DATE:\$d\\r\\n\",
        \"DTEND;VALUE=DATE:\$e\\r\\nSUMMARY:Reminder \$n\\r\\nDESCRIPTION:Reminder \$n\\\\nSecond line\\r\\n\",
        \"TRANSP:TRANSPARENT\\r\\nEND:VEVENT\\r\\nEND:VCALENDAR\\r\\n\";
    }"
  mkcalendar "vdir-$days"
  cat > "$work/vdir-$days.conf" << EOF
[general]
status_path = "$work/status-$days/"
[pair bench]
a = "bench_local"
b = "bench_remote"
collections = null
conflict_resolution = "a wins"
[storage bench_local]
type = "filesystem"
path = "$local_dir/"
fileext = ".ics"
[storage bench_remote]
type = "caldav"
url = "$base/ann/vdir-$days/"
username = "ann"
password = "secret"
EOF
  export VDIRSYNCER_CONFIG=$work/vdir-$days.conf
  { yes || true; } | vdirsyncer discover > /dev/null 2>&1
  vfirst=$(measure vdirsyncer sync)
  vsame=$(measure vdirsyncer sync)
  sed -i 's/^DESCRIPTION:.*/DESCRIPTION:Reminder 1\\nchanged/' "$local_dir/20000102-user1.ics"
  vone=$(measure vdirsyncer sync)
  echo "$days days, vdirsyncer: first sync $vfirst, nothing changed $vsame, one day changed $vone"

  echo "$days days                  Orvella                      vdirsyncer"
  echo "  first sync      $first    $vfirst"
  echo "  nothing changed $same    $vsame"
  echo "  one day changed $one    $vone"
done
