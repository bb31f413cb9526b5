#!/usr/bin/env bash
# Sets up, builds and runs every test headless (no display or GPU needed): the native
# suites, then the web page in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
(cd build && ctest --output-on-failure -j2)
scripts/web-test.sh
