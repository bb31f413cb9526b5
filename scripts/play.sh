#!/usr/bin/env bash
# Sets up and builds what playing needs (no tests or benchmarks), then plays the demo in a
# window (any key ends it). On a machine without a display it renders the whole demo, with
# its sound track, to build/emberhall.mp4.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh play
cd build
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./emberhall-windowed
fi
echo "No display here: rendering the whole demo to a video instead (a few minutes)." >&2
./emberhall-capture --video emberhall.mp4
echo "The demo is in $(pwd)/emberhall.mp4" >&2
