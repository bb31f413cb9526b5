#!/usr/bin/env bash
# Installs what is missing, then configures and builds emberhall into build/.
# Under CI (CI=true) warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEMBERHALL_WERROR="$werror" >/dev/null
cmake --build build -j2
