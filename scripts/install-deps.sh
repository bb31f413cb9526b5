#!/usr/bin/env bash
# Installs the Debian packages emberhall needs. With no argument: everything to build, test
# and play; "play": only what building and playing need (scripts/play.sh); "web": everything,
# and the browser build and its tests besides (Emscripten, headless Chromium).
# Idempotent: does nothing when everything is already there. Every name is one that Debian
# keeps from release to release (the default clang's runtimes as libclang-rt-dev, not by a
# version of clang); a name the machine's release lacks is said before anything is installed.
set -euo pipefail

# Building and playing: the compiler, the libraries, the asset generator's MP3 encoder and
# caption font, libpng for stills, ffmpeg for the capture tool's videos, GNU parallel for
# scripts/capture-parallel.sh's parts side by side, the core X fonts SDL's message box draws
# with (without them the box cannot open and its text goes to standard error), and libpulse,
# through which the audio library asks a PulseAudio server how long its sound waits before
# it is heard.
play_packages=(
  cmake g++ pkg-config
  libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libepoxy-dev
  libegl-dev libgl1-mesa-dri libegl-mesa0
  libmp3lame-dev fonts-dejavu-core zlib1g-dev libpng-dev libpulse-dev
  ffmpeg parallel xfonts-base
)
# Tests and benchmarks: GoogleTest, Google Benchmark, clang and its sanitizer runtimes, the
# desktop tests' X server, window manager and input; a PulseAudio server that the sound tests
# and bench/sound_sync start themselves; the package test's dpkg-shlibdeps, file, lintian and
# the desktop entry's and AppStream metadata's validators.
test_packages=(
  libgtest-dev libbenchmark-dev clang libclang-rt-dev
  xvfb xdotool openbox pulseaudio
  dpkg-dev file lintian appstream desktop-file-utils
)
web_packages=(emscripten chromium python3)

case "${1:-}" in
  "") packages=("${play_packages[@]}" "${test_packages[@]}") ;;
  play) packages=("${play_packages[@]}") ;;
  web) packages=("${play_packages[@]}" "${test_packages[@]}" "${web_packages[@]}") ;;
  *)
    echo "usage: scripts/install-deps.sh [play|web]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    SUDO=sudo
  else
    echo "emberhall needs these packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi
# sudo starts the command with a clean environment: the variable goes through env.
apt=(${SUDO:-} env DEBIAN_FRONTEND=noninteractive apt-get -qq)
"${apt[@]}" update
unknown=()
for p in "${missing[@]}"; do
  [ -n "$(apt-cache policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: (none)$//;s/^ *Candidate: //p')" ] ||
    unknown+=("$p")
done
if [ ${#unknown[@]} -gt 0 ]; then
  echo "This system's package lists have no ${unknown[*]}: emberhall is made for Debian 12 and" \
    "later (or a derivative with the same package names)." >&2
  exit 1
fi
echo "Installing: ${missing[*]}" >&2
"${apt[@]}" install -y --no-install-recommends "${missing[@]}" >/dev/null
