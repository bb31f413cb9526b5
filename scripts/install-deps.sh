#!/usr/bin/env bash
# Installs the Debian packages emberhall needs to build, test and play; with the argument
# "web", also those of the browser build and its tests (Emscripten, headless Chromium).
# Idempotent: does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake g++ pkg-config
  libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libepoxy-dev
  libegl-dev libgl1-mesa-dri libegl-mesa0
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  libmp3lame-dev fonts-dejavu-core zlib1g-dev
  ffmpeg xvfb xdotool
  # The core X fonts SDL's message box draws with; without them the box cannot open and its
  # text goes to standard error. openbox: the window manager of the desktop tests.
  xfonts-base openbox
  # Packaging: dpkg-shlibdeps and file work out the .deb's library dependencies.
  dpkg-dev file
)
web_packages=(emscripten chromium python3)
[ "${1:-}" = "web" ] && packages+=("${web_packages[@]}")

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
echo "Installing: ${missing[*]}" >&2
${SUDO:-} apt-get update -qq
DEBIAN_FRONTEND=noninteractive ${SUDO:-} apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
