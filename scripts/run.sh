#!/usr/bin/env bash
# Installs the dependencies, builds, and starts the Vorlan desktop program (any arguments, such
# as a .vrl document, are passed on).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec build/src/app/vorlan "$@"
