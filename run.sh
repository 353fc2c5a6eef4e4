#!/usr/bin/env bash
# Installs what is missing, builds an optimised Orvella and starts it from its program folder.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVELLA_SANITIZE=OFF \
  -DORVELLA_BUILD_TESTS=OFF -DORVELLA_BUILD_BENCH=OFF
cmake --build build --target orvella orvella-cli
exec build/bin/orvella "$@"
