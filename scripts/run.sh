#!/usr/bin/env bash
# Installs the dependencies, builds, and starts Vorlan on the bundled sample track.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec build/src/cli/vorlan-cli info samples/ridge-dm.txt
