#!/usr/bin/env bash
# Sets up, builds and plays the demo in a window. Any key ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "emberhall needs a display to play on, and this session has none (DISPLAY is not set)." >&2
  echo "Run this command from a desktop session, or under a virtual display: xvfb-run scripts/play.sh" >&2
  exit 1
fi
cd build
exec ./emberhall-windowed
