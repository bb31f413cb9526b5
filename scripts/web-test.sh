#!/usr/bin/env bash
# Builds the web page (scripts/web.sh) and checks it in headless Chromium against the
# native build's stills (tests/web/page_test.py). Arguments go to the checks: --out DIR
# keeps both builds' stills, --measure reports loading times and frame rates.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/web.sh --build-only
python3 tests/web/page_test.py build-web build "$@"
