#!/usr/bin/env bash
# Builds the Debian package of this build and checks what it holds and what it asks for: every installed
# file under /usr and nothing else, and the run-time packages a fresh system needs.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR CPACK
set -euo pipefail
build=$1 source=$2 cpack=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/orvella_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single orvella_*.deb in $(ls "$work")"
deb=${debs[0]}

dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./usr/||' | LC_ALL=C sort > "$work/held"
"$here/installed_files.sh" "$source" > "$work/expected"
diff -u "$work/expected" "$work/held" || fail "the package's files differ from the installed files (- missing, + extra)"

[ "$(dpkg-deb -f "$deb" Package)" = orvella ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',|' '\n\n' <<< "$depends" | awk '{print $1}')
for need in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6multimedia6 libqt6multimediawidgets6 \
            libjpeg62-turbo libstdc++6 gstreamer1.0-plugins-base gstreamer1.0-plugins-good fonts-liberation \
            fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji fonts-symbola; do
  grep -qxF "$need" <<< "$names" || fail "Depends lacks $need: $depends"
done
echo "package ok: $(basename "$deb")"
