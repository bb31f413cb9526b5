#!/usr/bin/env bash
# Builds the .deb and .tar.gz from a finished build (default build/), checks the .deb as
# Debian does (lintian, with not a word to say), installs it into a temporary root the way
# dpkg lays it out, checks that its dependencies can be met, validates its desktop entry and
# AppStream metadata, asks each tool for its version, and plays the installed demo headless
# until it is playing its sound track, started the way the desktop entry starts it, from a folder that holds no
# data; then the same from the unpacked .tar.gz. CTest runs it (scripts/test.sh, CI).
set -euo pipefail
build=$(readlink -f "${1:-$(dirname "$0")/../build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "test-package: $*" >&2
  exit 1
}

(cd "$build" && cpack -G "DEB;TGZ" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  fail "cpack failed"
}
# The files this run made, as cpack names them: packages/ may hold older versions too.
made() {
  sed -n "s|^CPack: - package: \(.*$1\) generated\.$|\1|p" "$work/cpack.log"
}
deb=$(made '\.deb')
tgz=$(made '\.tar\.gz')
[ -f "$deb" ] && [ -f "$tgz" ] || {
  cat "$work/cpack.log" >&2
  fail "cpack did not say which packages it made"
}

# apt resolves the package's dependencies against this machine without installing anything.
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || {
  cat "$work/apt.log" >&2
  fail "the .deb's dependencies cannot be met"
}

# Debian's checks of the package: any tag at all fails. lintian run by root says so on
# stderr; that notice is the only line let through.
lintian "$deb" >"$work/lintian.out" 2>"$work/lintian.err" || true
grep -v '^running with root privileges is not recommended!$' "$work/lintian.err" \
  >>"$work/lintian.out" || true
[ ! -s "$work/lintian.out" ] || {
  cat "$work/lintian.out" >&2
  fail "lintian has something to say about $(basename "$deb")"
}

# Plays the program at $1 with no display and no sound device, in a folder without data,
# until it has the installed sound track open (a busy machine may take many seconds to get
# there); it must play from the installed data and end with status 0 when asked to close.
play() {
  local program=$1 data=$2 tries
  mkdir -p "$work/empty"
  (cd "$work/empty" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy exec "$program") &
  local pid=$!
  for ((tries = 600; tries > 0; tries--)); do
    kill -0 "$pid" 2>/dev/null || fail "$program ended before it played its sound track"
    ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$(readlink -f "$data")/Data/solen.mp3" && break
    sleep 0.1
  done
  ((tries > 0)) || fail "$program did not open the installed sound track within a minute"
  [ "$(readlink -f /proc/$pid/cwd)" = "$(readlink -f "$data")" ] ||
    fail "$program plays from $(readlink -f /proc/$pid/cwd), not from $data"
  kill -TERM "$pid"
  wait "$pid" || fail "$program ended with status $? when closed"
}

root="$work/root"
dpkg-deb -x "$deb" "$root"
entry="$root/usr/share/applications/emberhall.desktop"
[ -f "$entry" ] || fail "no desktop entry"
[ -f "$root/usr/share/icons/hicolor/256x256/apps/emberhall.png" ] || fail "no icon"
# The desktop entry and the AppStream metadata: any hint at all fails (appstreamcli passes
# with infos; validate-tree also checks that the metadata finds its desktop entry and icon).
output=$(desktop-file-validate "$entry" 2>&1) && [ -z "$output" ] ||
  fail "desktop-file-validate: $output"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstream() {
  local output
  output=$(appstreamcli "$@" 2>&1) && ! grep -q '^ *[EWIP]: ' <<<"$output" ||
    fail "appstreamcli $*: $output"
}
appstream validate --no-net "$metainfo"
appstream validate-tree --no-net "$root"

# Every tool tells the package's version, which the changelog's latest entry and the
# metadata's releases name too.
version=$(dpkg-deb -f "$deb" Version)
for tool in emberhall-capture emberhall-studio emberhall-assets emberhall-inspect; do
  output=$("$root/usr/bin/$tool" --version 2>&1) || fail "$tool --version failed: $output"
  [ "$output" = "$tool $version" ] || fail "$tool --version says '$output', not '$tool $version'"
done
latest=$(zcat "$root/usr/share/doc/emberhall/changelog.gz" | sed -n 1p)
[[ "$latest" == "emberhall ($version) "* ]] || fail "the changelog's latest entry is '$latest'"
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "the AppStream metadata's releases do not name $version"

command=$(sed -n 's/^Exec=//p' "$entry")
[ "$command" = "emberhall-windowed" ] || fail "the desktop entry starts '$command'"
play "$root/usr/bin/$command" "$root/usr/share/emberhall"

mkdir "$work/tgz"
tar -xzf "$tgz" -C "$work/tgz"
top=$(ls -d "$work"/tgz/emberhall-*)
play "$top/bin/emberhall-windowed" "$top/share/emberhall"

echo "test-package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) and" \
  "$(basename "$tgz") ($(du -k "$tgz" | cut -f1) KiB) install and play"
