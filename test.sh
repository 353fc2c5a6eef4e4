#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test (window tests on Qt's offscreen platform), then each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh --test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVELLA_SANITIZE=ON \
  -DORVELLA_BUILD_TESTS=ON -DORVELLA_BUILD_BENCH=ON
cmake --build build-test
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
# Every fuzz target for 20 seconds from its committed seeds (clang's libFuzzer, in build-fuzz/); ctest has
# already run each target's checks once over those seeds.
if command -v clang++ >/dev/null; then
  tests/fuzz/run.sh 20
else
  echo "clang++ is missing: the fuzz targets only checked their seeds (tools/install-deps.sh --test installs it)" >&2
fi
