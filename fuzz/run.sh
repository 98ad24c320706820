#!/usr/bin/env bash
# Runs one libFuzzer target for a given time, in one process on one core:
#   fuzz/run.sh mapsource|load|gpx|fit|tcx|kml|igc|nmea SECONDS [extra libFuzzer options...]
# The corpus lives in fuzz/corpus-TARGET/ (not under version control) and is seeded from
# samples/: the exports themselves for the reader, documents of both versions converted from them
# (and the frozen document of every channel) for the loader, the small GPX samples and the head of
# the long one (closed off) for the GPX reader; the other readers start from the checked-in files
# in fuzz/seeds/TARGET/ (the FIT ones written by fuzz_seed_fit).
# Findings land in fuzz/artifacts/. The fuzz build is configured and built when missing; its
# folder is $VORLAN_FUZZ_BUILD (default: build-fuzz beside the sources).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 2 ]; then
  echo "usage: fuzz/run.sh mapsource|load|gpx|fit|tcx|kml|igc|nmea SECONDS [libFuzzer options...]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
case $target in
  mapsource | load | gpx | fit | tcx | kml | igc | nmea) ;;
  *) echo "fuzz/run.sh: unknown target '$target' (mapsource, load, gpx, fit, tcx, kml, igc or nmea)" >&2
     exit 2 ;;
esac

build=${VORLAN_FUZZ_BUILD:-build-fuzz}
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DVORLAN_FUZZ=ON -DVORLAN_BUILD_APP=OFF \
    -DVORLAN_BUILD_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target vorlan_fuzzers -j2

corpus=fuzz/corpus-$target
mkdir -p "$corpus" fuzz/artifacts
if [ "$target" = gpx ] && [ -z "$(ls -A "$corpus")" ]; then
  cp samples/route-only.gpx "$corpus"/
  for f in samples/two-tracks.gpx samples/no-elevation.gpx samples/long-30000.gpx; do
    # The points of the first 60 lines, up to the last complete one.
    { head -n 60 "$f" | awk '{ b = b $0 "\n" } /<\/trkpt>/ { printf "%s", b; b = "" }'
      printf '    </trkseg>\n  </trk>\n</gpx>\n'; } >"$corpus/$(basename "$f")"
  done
fi
if [ -d "fuzz/seeds/$target" ] && [ -z "$(ls -A "$corpus")" ]; then
  cp "fuzz/seeds/$target"/* "$corpus"/
fi
if [ -z "$(ls -A "$corpus")" ]; then
  # The first lines of each sample: every coordinate format, clock and unit, small enough for
  # thousands of runs a second.
  seeds=$(mktemp -d)
  for f in samples/*.txt; do
    head -n 40 "$f" >"$seeds/$(basename "$f")"
  done
  if [ "$target" = mapsource ]; then
    cp "$seeds"/*.txt "$corpus"/
  else
    "$build"/fuzz/fuzz_seed_documents "$corpus" "$seeds"/*.txt
    cp tests/data/document/channels-v2.vrl "$corpus"/
  fi
  rm -r "$seeds"
fi

# Inputs up to 16 KB hold a few hundred lines, lines beyond the reader's 255-character buffer and
# documents of up to 800 points; pass -max_len=... after SECONDS for more.
options=(-max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048
  -artifact_prefix=fuzz/artifacts/ -print_final_stats=1)
dict="fuzz/$target.dict"
[ "$target" = load ] && dict=fuzz/document.dict
if [ -f "$dict" ]; then
  options+=(-dict="$dict")
fi
exec "$build/fuzz/fuzz_$target" "${options[@]}" "$@" "$corpus"
