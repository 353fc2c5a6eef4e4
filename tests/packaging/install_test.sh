#!/usr/bin/env bash
# Installs the build into a staging folder as `cmake --install` lays it out under /usr, checks the desktop
# files with the desktop's own validators, and runs the installed programs from the tree made read-only:
# they answer without a display, keep the user's files in the user's own folder, and write nothing into it.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR CMAKE VERSION
set -euo pipefail
build=$1 source=$2 cmake=$3 version=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

stage=$work/stage
DESTDIR=$stage "$cmake" --install "$build" --prefix /usr > /dev/null
usr=$stage/usr
(cd "$usr" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) > "$work/installed"
"$here/installed_files.sh" "$source" > "$work/expected"
diff -u "$work/expected" "$work/installed" || fail "installed files differ (- missing, + extra)"

# The launcher and the software-centre entry, as the desktop reads them.
desktop=$usr/share/applications/org.orvella.Orvella.desktop
metainfo=$usr/share/metainfo/org.orvella.Orvella.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
grep -qx "Exec=orvella" "$desktop" && [ -x "$usr/bin/orvella" ] ||
  fail "the launcher does not start the installed program"
grep -qx "Icon=orvella" "$desktop" || fail "the launcher names another icon"
grep -q '<launchable type="desktop-id">org.orvella.Orvella.desktop</launchable>' "$metainfo" || fail "launchable"
grep -q "<release version=\"$version\"" "$metainfo" || fail "no release $version in the metainfo"
# Qt Multimedia comes with the module, loaded at the first sound: linked into the program it slowed every start.
readelf -d "$usr/bin/orvella" | grep -q 'NEEDED.*Multimedia' && fail "orvella itself needs Qt Multimedia"
readelf -d "$usr/lib/orvella/orvella-media.so" | grep -q 'NEEDED.*libQt6Multimedia' || fail "the media module lacks Qt Multimedia"
zcat "$usr/share/man/man1/orvella.1.gz" | grep -q "^\.TH ORVELLA 1 .*\"Orvella $version\"" || fail "orvella.1 version"

chmod -R a-w "$stage"
snapshot() { (cd "$stage" && find . -printf '%p %y %s %m %T@\n' | LC_ALL=C sort); }
before=$(snapshot)
export HOME=$work/home XDG_DATA_HOME=$work/data
mkdir -p "$HOME"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# Help and version in the usual form, without a display.
for program in orvella orvella-cli; do
  [ "$("$usr/bin/$program" --version 2>/dev/null)" = "$program (Orvella) $version" ] || fail "$program --version"
  "$usr/bin/$program" --help > "$work/help" 2>/dev/null || fail "$program --help exit status"
  grep -q "^Usage: $program \[OPTION\]\.\.\." "$work/help" || fail "$program --help: $(head -1 "$work/help")"
  grep -q -- "--version" "$work/help" || fail "$program --help does not list --version"
done
# Each command of the help has its entry in the manual page.
commands=$("$usr/bin/orvella-cli" --help | sed -n '/^commands:/,/^[^ c]/p' | awk '/^  [a-z]/ {print $1}')
[ -n "$commands" ] || fail "no commands in orvella-cli --help"
entries=$(zcat "$usr/share/man/man1/orvella-cli.1.gz" | awk '/^\.TP/ {getline; print}' |
  sed -E 's/\\f[BIRP]//g; s/\\-/-/g; s/^\.B[IR]? //' | awk '{print $1}')
for c in $commands; do grep -qx "$c" <<< "$entries" || fail "orvella-cli.1 has no entry for the command $c"; done

# First start of the installed command-line tool: the user's own program folder, started with the pictures
# and sounds, and the calendar there.
cli=$usr/bin/orvella-cli
folder=$XDG_DATA_HOME/orvella
"$cli" set 2026-05-04 "Installed" || fail "orvella-cli set"
[ "$("$cli" show 2026-05-04)" = "Installed" ] || fail "orvella-cli show"
[ -f "$folder/Data/User1.DBX" ] || fail "no calendar in $folder: $(ls -R "$folder")"
diff -r "$usr/share/orvella/Artwork" "$folder/Artwork" && diff -r "$usr/share/orvella/SOUNDS" "$folder/SOUNDS" ||
  fail "the shipped pictures and sounds were not copied into $folder"
[ "$(stat -c %a "$folder")" = 700 ] || fail "$folder is open to others"
# Without XDG_DATA_HOME the folder is in the home folder; --folder goes elsewhere and makes no user folder.
(unset XDG_DATA_HOME; "$cli" calendars > /dev/null) || fail "orvella-cli without XDG_DATA_HOME"
[ -d "$HOME/.local/share/orvella/Artwork" ] || fail "no program folder under $HOME/.local/share"
mkdir "$work/elsewhere"
XDG_DATA_HOME=$work/other "$cli" --folder "$work/elsewhere" set 2026-05-04 "There" || fail "orvella-cli --folder"
[ -f "$work/elsewhere/Data/User1.DBX" ] && [ ! -e "$work/other" ] ||
  fail "--folder did not take the place of the user folder"
# A portable copy keeps everything beside itself.
mkdir "$work/stick"
cp "$build/bin/orvella-cli" "$work/stick/"
XDG_DATA_HOME=$work/other "$work/stick/orvella-cli" set 2026-05-04 "Portable" || fail "portable orvella-cli"
[ -f "$work/stick/Data/User1.DBX" ] && [ ! -e "$work/other" ] ||
  fail "the portable copy did not keep its files beside itself"

# The program's printout for scripts, at the first start of another user: the same folder, and the month's
# picture found among the copies.
export XDG_DATA_HOME=$work/data2
"$usr/bin/orvella" --print-calendar 2026-05 --pdf "$work/may.pdf" || fail "orvella --print-calendar"
diff -r "$usr/share/orvella/Artwork" "$XDG_DATA_HOME/orvella/Artwork" > /dev/null || fail "no pictures for the printout"
width=$(file -b "$usr/share/orvella/Artwork/05-May.jpg" | grep -oE '[0-9]+x[0-9]+' | tail -1)
grep -aq "/Width ${width%x*}" "$work/may.pdf" || fail "the printout lacks May's picture (${width})"
# The windows at the first start of a third user: the folder is made before the first window asks anything.
export XDG_DATA_HOME=$work/data3
QT_QPA_PLATFORM=offscreen "$usr/bin/orvella" > "$work/windows.log" 2>&1 &
windows=$!
for _ in $(seq 600); do
  [ -d "$XDG_DATA_HOME/orvella/SOUNDS" ] && [ -d "$XDG_DATA_HOME/orvella/Data" ] && break
  sleep 0.1
done
kill -0 $windows 2> /dev/null || { cat "$work/windows.log"; fail "the windows ended at the first start"; }
kill $windows
wait $windows || true
diff -r "$usr/share/orvella/Artwork" "$XDG_DATA_HOME/orvella/Artwork" > /dev/null ||
  fail "the windows did not start the user's folder: $(ls -R "$XDG_DATA_HOME")"

[ "$before" = "$(snapshot)" ] || fail "something was written into the install tree"
echo "install ok"
