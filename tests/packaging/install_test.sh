#!/usr/bin/env bash
# Installs the build into a staging folder as `cmake --install` lays it out under /usr, checks the desktop
# files with the desktop's own validators, and runs the installed programs from the tree made read-only:
# they answer without a display and write nothing into it.
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
  sed -E 's/\\f[BIRP]//g; s/^\.B[IR]? //' | awk '{print $1}')
for c in $commands; do grep -qx "$c" <<< "$entries" || fail "orvella-cli.1 has no entry for the command $c"; done

[ "$before" = "$(snapshot)" ] || fail "something was written into the install tree"
echo "install ok"
