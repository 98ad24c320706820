#!/usr/bin/env bash
# Builds every libFuzzer target (clang, AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each once over its seed files, as the tests do: the checked-in seeds of fuzz/seeds/, the samples
# and the frozen documents. A short replay for every run of the tests; fuzz/run.sh fuzzes for
# longer. The fuzz build lives in $VORLAN_FUZZ_BUILD (default: build-fuzz beside the sources).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VORLAN_FUZZ_BUILD:-build-fuzz}
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DVORLAN_FUZZ=ON -DVORLAN_BUILD_APP=OFF \
    -DVORLAN_BUILD_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target vorlan_fuzzers

# replay TARGET FILES...: every file once; a crash or sanitizer report fails the run.
replay() {
  local target=$1
  shift
  echo "fuzz replay: $target ($# inputs)"
  "$build/fuzz/fuzz_$target" -runs=0 "$@" 2>"$build/replay-$target.log" || {
    cat "$build/replay-$target.log" >&2
    return 1
  }
}

for target in fit tcx kml igc nmea; do
  replay "$target" fuzz/seeds/"$target"/*
done
replay gpx samples/*.gpx
replay mapsource samples/*.txt
replay load tests/data/document/*.vrl
