#!/usr/bin/env bash
# Installs everything Vorlan needs to build, test, fuzz and benchmark on Debian 12.
# Works as root or through sudo; safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  qt6-base-dev libx11-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  xvfb xauth xdotool openbox imagemagick poppler-utils desktop-file-utils shared-mime-info
  gpsbabel libexpat1-dev libpugixml-dev libzstd-dev zlib1g-dev nlohmann-json3-dev hyperfine
  libgeographiclib-dev libgdal-dev gdal-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
