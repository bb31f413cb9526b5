#!/usr/bin/env bash
# Sets up, builds and runs every test headless (no display or GPU needed): the GoogleTest
# suites, the desktop tests on a throwaway Xvfb screen, the package test
# (scripts/test-package.sh: builds the .deb, installs it into a temporary root and plays
# it), then the web page in headless Chromium. Under CI (CI=true) the sanitizer pass
# (scripts/sanitize.sh) and the fuzz targets (scripts/fuzz.sh, 60 s each) follow, and each
# stage's time is told.
set -euo pipefail
cd "$(dirname "$0")/.."
stage() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "$name took $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s" >&2
}
stage "build" scripts/build.sh
stage "tests" bash -c 'cd build && ctest --output-on-failure -j"$(nproc)"'
stage "web page" scripts/web-test.sh
if [ "${CI:-}" = "true" ]; then
  stage "sanitizer pass" scripts/sanitize.sh
  stage "fuzzing" scripts/fuzz.sh
fi
