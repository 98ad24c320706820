#!/usr/bin/env bash
# Installs the dependencies, builds with warnings as errors, and runs every test: once as
# released, once under AddressSanitizer and UndefinedBehaviorSanitizer; then replays the fuzzers'
# seed files. Each run gets an empty temporary folder of its own and fails when a test leaves
# anything behind in it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# run_tests BUILD_DIR [VAR=VALUE...]: ctest with TMPDIR pointing at a fresh folder.
run_tests() {
  local build="$1"
  shift
  local scratch
  scratch="$(mktemp -d "${TMPDIR:-/tmp}/vorlan-test-tmp.XXXXXX")"
  if ! env "$@" TMPDIR="$scratch" ctest --test-dir "$build" --output-on-failure -j2; then
    rm -rf "$scratch"
    return 1
  fi
  if [ -n "$(ls -A "$scratch")" ]; then
    echo "test.sh: the tests in $build left these in the temporary folder:" >&2
    (cd "$scratch" && find . -mindepth 1 | sort) >&2
    rm -rf "$scratch"
    return 1
  fi
  rmdir "$scratch"
}

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORLAN_SANITIZE=ON \
  -DVORLAN_BUILD_BENCH=OFF -DVORLAN_WERROR=ON >/dev/null
cmake --build build-asan
run_tests build-asan ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1

bash scripts/build.sh -DVORLAN_WERROR=ON
run_tests build

# Every reader's fuzzer, once over its seed files.
bash scripts/fuzz_replay.sh
