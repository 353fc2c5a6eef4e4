#!/usr/bin/env bash
# Prints every file an installation of Orvella holds, relative to its prefix, one a line, sorted.
# Usage: installed_files.sh SOURCE_DIR
set -euo pipefail
source=$1
{
  echo bin/orvella
  echo bin/orvella-cli
  echo lib/orvella/orvella-media.so
  echo share/applications/org.orvella.Orvella.desktop
  echo share/metainfo/org.orvella.Orvella.metainfo.xml
  echo share/man/man1/orvella.1.gz
  echo share/man/man1/orvella-cli.1.gz
  echo share/icons/hicolor/scalable/apps/orvella.svg
  for size in 16 22 24 32 48 64 128 256; do echo "share/icons/hicolor/${size}x${size}/apps/orvella.png"; done
  (cd "$source/assets/program" && find Artwork SOUNDS -type f | sed 's|^|share/orvella/|')
} | LC_ALL=C sort
