#!/usr/bin/env bash
# Installs what is missing, builds an optimised Orvella and packs it for Debian as
# build-deb/orvella_<version>_<architecture>.deb; install it with  sudo apt install ./build-deb/orvella_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --package
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVELLA_SANITIZE=OFF \
  -DORVELLA_BUILD_TESTS=OFF -DORVELLA_BUILD_BENCH=OFF
cmake --build build-deb
(cd build-deb && cpack -G DEB)
ls build-deb/orvella_*.deb
