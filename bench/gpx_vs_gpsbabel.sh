#!/usr/bin/env bash
# Whole-process timing of a 10000-point GPX file (1.3 MB, written by big_gpx.py) converted by
# vorlan-cli, side by side with gpsbabel reading the same file, with hyperfine:
#   bash bench/gpx_vs_gpsbabel.sh [BUILD_DIR]
# Run it on a quiet machine: other work on the same cores and disk shows up in the wall times.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d "${TMPDIR:-/tmp}/vorlan-gpx-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

python3 "$root/bench/big_gpx.py" "$work/10k.gpx" 10000
hyperfine -N --warmup 5 -r 40 \
  "$build/src/cli/vorlan-cli convert $work/10k.gpx $work/10k-out.vrl" \
  "gpsbabel -i gpx -f $work/10k.gpx -o gpx -F /dev/null"
