#!/usr/bin/env bash
# Captures the demo as a video in parts side by side and joins them: GNU parallel runs
# `emberhall-capture --chunk K/N` for every part, on this machine's cores or on the hosts
# given with --sshlogin, then `emberhall-capture --join` puts the parts together (the picture
# copied, the sound track encoded once). Run it where the capture's Data folder is.
#
# Hosts given with --sshlogin must see this folder at the same path (a shared file system, as
# render farms and clusters have) and run the same build of emberhall-capture; the join
# refuses parts whose machines draw other pixels.
#
#   scripts/capture-parallel.sh demo.mp4                         all cores, the whole demo
#   scripts/capture-parallel.sh -j 4 4k.mp4 --size 3840x2160 --upscale 3
#   scripts/capture-parallel.sh --sshlogin 8/farm1 --sshlogin 8/farm2 --parts 32 demo.mp4
set -euo pipefail

usage() {
  cat <<'USAGE'
usage: scripts/capture-parallel.sh [-j JOBS] [--parts N] [--sshlogin LOGIN]... OUT.mp4
                                   [CAPTURE OPTIONS...]
  -j JOBS           parts captured at once on each machine (default: its cores)
  --parts N         parts to cut the range into (default: JOBS for each machine)
  --sshlogin LOGIN  a host to capture on, as GNU parallel takes it (such as 8/user@host);
                    repeatable; ":" is this machine
  CAPTURE OPTIONS   emberhall-capture's options for the range and the frame (--from, --to,
                    --fps, --size, --upscale, --lossless, ...)
The capture program is $EMBERHALL_CAPTURE, else emberhall-capture on PATH, else build/'s.
USAGE
}

jobs=$(nproc)
parts=
logins=()
hosts=0
while [ $# -gt 0 ]; do
  case "$1" in
    -j | --jobs) jobs=$2 && shift 2 ;;
    --parts) parts=$2 && shift 2 ;;
    -S | --sshlogin) logins+=(--sshlogin "$2" --workdir "$PWD") && hosts=$((hosts + 1)) && shift 2 ;;
    -h | --help) usage && exit 0 ;;
    -*) echo "capture-parallel.sh: unknown option $1" >&2 && usage >&2 && exit 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { usage >&2 && exit 2; }
out=$1
shift
[ -n "$parts" ] || parts=$((jobs * (hosts > 0 ? hosts : 1)))

capture=${EMBERHALL_CAPTURE:-$(command -v emberhall-capture || true)}
[ -n "$capture" ] || capture=$(cd "$(dirname "$0")/.." && pwd)/build/emberhall-capture
command -v parallel >/dev/null || {
  echo "capture-parallel.sh: GNU parallel is not installed (sudo apt-get install parallel)" >&2
  exit 1
}

# The parts go beside the output, where every host sees them, and go once joined.
work=$(mktemp -d "$(dirname "$out")/.capture-parts.XXXXXX")
work=$(cd "$work" && pwd)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
started=$(now)
parallel --jobs "$jobs" --halt now,fail=1 "${logins[@]}" -q \
  "$capture" --quiet "$@" --chunk "{}/$parts" --video "$work/part-{}.mp4" ::: $(seq "$parts")
captured=$(now)
"$capture" --join "$out" $(for k in $(seq "$parts"); do echo "$work/part-$k.mp4"; done)
joined=$(now)
awk -v parts="$parts" -v a="$started" -v b="$captured" -v c="$joined" -v out="$out" \
  'BEGIN { printf "capture-parallel.sh: %d parts in %.1f s, joined in %.1f s, into %s\n",
           parts, b - a, c - b, out > "/dev/stderr" }'

