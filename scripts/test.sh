#!/usr/bin/env bash
# Installs the dependencies, builds, and runs every test: once as released, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORLAN_SANITIZE=ON \
  -DVORLAN_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2

bash scripts/build.sh
ctest --test-dir build --output-on-failure -j2
