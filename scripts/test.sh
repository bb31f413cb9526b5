#!/usr/bin/env bash
# Sets up, builds and runs every test headless (no display or GPU needed): the GoogleTest
# suites, the desktop tests on a throwaway Xvfb screen, the package test
# (scripts/test-package.sh: builds the .deb, installs it into a temporary root and plays
# it), then the web page in headless Chromium. Under CI (CI=true) the fuzz targets follow,
# 60 s each (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
(cd build && ctest --output-on-failure -j2)
scripts/web-test.sh
if [ "${CI:-}" = "true" ]; then scripts/fuzz.sh; fi
