#!/usr/bin/env bash
# Installs what is missing, then configures and builds emberhall into build/: everything,
# tests and benchmarks included, or with the argument "play" only what playing needs (the
# two demo programs, the capture tool and the data set) from the packages that needs.
# Under CI (CI=true) warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DEMBERHALL_WERROR="$werror")
case "${1:-}" in
  "")
    scripts/install-deps.sh
    options+=(-DBUILD_TESTING=ON)
    targets=()
    ;;
  play)
    scripts/install-deps.sh play
    # A new build folder leaves the tests and benchmarks out, whose packages may be missing;
    # one the test command has set up keeps them, unbuilt until it runs again.
    [ -f build/CMakeCache.txt ] || options+=(-DBUILD_TESTING=OFF)
    targets=(--target emberhall emberhall-windowed emberhall-capture default_data)
    ;;
  *)
    echo "usage: scripts/build.sh [play]" >&2
    exit 2
    ;;
esac
cmake -S . -B build "${options[@]}" >/dev/null
cmake --build build -j"$(nproc)" "${targets[@]}"
