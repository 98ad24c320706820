#!/usr/bin/env bash
# Prints a SHA-256 line for every file vorlan-cli makes from the samples: the saved document (in
# version 1, the designed layout) and SVG drawings of both plots at several window sizes, zooms,
# angles and on a printed page. Run it before and after a change that must not alter any output
# and compare the two listings:
#   bash scripts/output_digest.sh build > before.txt   ...   diff before.txt after.txt
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cli="$build/src/cli/vorlan-cli"
[ -x "$cli" ] || cli="$(find "$build" -name vorlan-cli -type f -perm -u+x | head -n 1)"
[ -x "$cli" ] || { echo "output_digest.sh: no vorlan-cli under $build" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/vorlan-digest.XXXXXX")"
trap 'rm -rf "$work"' EXIT

renders=(
  "--plot elevation"
  "--plot 3d"
  "--plot elevation --size 1920x1080"
  "--plot 3d --size 1920x1080"
  "--plot elevation --size 333x217 --zoom 4"
  "--plot 3d --size 640x480 --zoom 2 --azimuth -45 --elevation 70"
  "--plot 3d --azimuth 90 --elevation -90"
  "--plot elevation --printer --size 9583x13699 --dpi 1200"
  "--plot 3d --printer --size 9583x13699 --dpi 1200"
)

for sample in "$root"/samples/*.txt "$root"/tests/data/chart/hill.txt; do
  name="$(basename "$sample" .txt)"
  "$cli" convert --doc-version 1 "$sample" "$work/$name.vrl"
  (cd "$work" && sha256sum "$name.vrl")
  i=0
  for r in "${renders[@]}"; do
    # shellcheck disable=SC2086
    "$cli" render "$work/$name.vrl" -o "$work/$name-$i.svg" $r
    echo "$(cd "$work" && sha256sum "$name-$i.svg" | cut -d' ' -f1)  $name: $r"
    i=$((i + 1))
  done
done
