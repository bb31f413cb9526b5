#!/usr/bin/env bash
# Builds the demo's web page into build-web/ and serves it on http://127.0.0.1:8000/.
#
#   scripts/web.sh                  build (the native build first, for its Data), then serve
#   scripts/web.sh --build-only     build, do not serve
#   scripts/web.sh --data DIR       pack DIR as the data set instead of build/Data
#
# The page is index.html with emberhall.js, emberhall.wasm and emberhall.data; any web
# server can serve build-web/ as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

serve=1
data=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build-only) serve=0 ;;
    --data) data="$(realpath "${2:?--data needs a folder}")"; shift ;;
    *) echo "usage: scripts/web.sh [--build-only] [--data DIR]" >&2; exit 2 ;;
  esac
  shift
done

scripts/install-deps.sh web
if [ -z "$data" ]; then
  scripts/build.sh
  data="$(pwd)/build/Data"
fi
[ -d "$data" ] || { echo "web.sh: no data set at $data" >&2; exit 1; }

# Emscripten's optimiser needs Debian's acorn, which another Node.js does not find by itself.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DEMBERHALL_WERROR="$werror" \
  -DEMBERHALL_DATA_DIR="$data" >/dev/null
cmake --build build-web -j"$(nproc)"

[ "$serve" = 1 ] || exit 0
echo "Brindlequay is at http://127.0.0.1:8000/ (Ctrl+C stops the server)" >&2
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web
