#!/usr/bin/env bash
# Whole-process timing of a 100000-point FIT activity (3 MB, written by vorlan-bench-fit-file)
# converted by vorlan-cli into a document, side by side with gpsbabel converting the same file to
# GPX, with hyperfine:
#   bash bench/fit_vs_gpsbabel.sh [BUILD_DIR]
# Run it on a quiet machine: other work on the same cores and disk shows up in the wall times.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d "${TMPDIR:-/tmp}/vorlan-fit-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

"$build/bench/vorlan-bench-fit-file" "$work/big.fit" 100000
hyperfine -N --warmup 3 -r 20 \
  "$build/src/cli/vorlan-cli convert $work/big.fit $work/big-out.vrl" \
  "gpsbabel -i garmin_fit -f $work/big.fit -o gpx -F /dev/null"
