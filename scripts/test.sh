#!/usr/bin/env bash
# Sets up, builds and runs every test headless (no display or GPU needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
ctest --output-on-failure -j2
