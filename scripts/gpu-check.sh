#!/usr/bin/env bash
# The demo on this machine's GPU, checked in one run of at most 8 minutes, from the folder
# that scripts/gpu-bundle.sh makes (this script is copied into it). The machine needs
# nothing of ours: glibc, a C++ runtime and its GL driver are enough.
#
#   gpu-bundle/gpu-check.sh [--quick] [--allow-software] REPORT_DIR
#
# REPORT_DIR gets report.txt, written stage by stage as the check goes (and shown on the
# standard output too), log.txt with what the programs said on their standard error, and
# the three stills that differ most from llvmpipe's, if any differ. The stages:
#   machine      the system, the GPU, where the GL driver is looked for
#   libraries    every library the programs need is the bundle's or the system's own
#   gl           the GL vendor, renderer and version, and the libraries loaded from outside
#                the bundle; a software renderer fails the check here
#   stills       the reference stills (reference/stills.txt) against llvmpipe's: mean and
#                largest difference per channel
#   frame_times  per section of the demo, the time of a finished frame
#   demo_bench   the busiest frame of each section, and loading
#   demo         the whole demo through the capture tool: rendered, read back, and written
#                (to H.264 where ffmpeg is installed; else converted and discarded)
#   4k           10 s of the glade at 3840x2160, rendered at twice that and filtered down
# Each stage has a time of its own; one that runs out is stopped and the report says so, and
# a check stopped from outside leaves the stage it was in as the report's last line.
#
# --allow-software goes on past a software renderer, and --quick shortens the measuring
# stages: together they prove the check on llvmpipe on a small machine.
set -uo pipefail

usage() {
  echo "usage: gpu-check.sh [--quick] [--allow-software] REPORT_DIR" >&2
  exit 2
}
quick=false software=false report=
for arg in "$@"; do
  case $arg in
    --quick) quick=true ;;
    --allow-software) software=true ;;
    -*) usage ;;
    *) [ -z "$report" ] || usage; report=$arg ;;
  esac
done
[ -n "$report" ] || usage
mkdir -p "$report" || exit 2
report=$(cd "$report" && pwd)
bundle=$(cd "$(dirname "$0")" && pwd)
cd "$bundle" || exit 2
out=$report/report.txt log=$report/log.txt
: >"$out"
: >"$log"
rm -f "$report"/still-*.png
work=$(mktemp -d)
exec 3>&1  # the standard output, for say() where a stage's output is redirected

# The driver, wherever the machine keeps it: NVIDIA's may sit under /usr/local/nvidia without
# being known to the loader or to glvnd.
machine_libraries=${LD_LIBRARY_PATH:-}
case ":${LD_LIBRARY_PATH:-}:" in
  *":$bundle/lib:"*) ;;
  *) export LD_LIBRARY_PATH=$bundle/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} ;;
esac
for dir in /usr/local/nvidia/lib64 /usr/local/nvidia/lib; do
  [ -d "$dir" ] && LD_LIBRARY_PATH+=:$dir
done
vendor_dirs=(/etc/glvnd/egl_vendor.d /usr/share/glvnd/egl_vendor.d)
if [ -z "${__EGL_VENDOR_LIBRARY_FILENAMES:-}" ] &&
  [ -z "$(find "${vendor_dirs[@]}" -name '*.json' 2>/dev/null)" ]; then
  vendors=$(find /usr/local/nvidia/share/glvnd/egl_vendor.d -name '*.json' 2>/dev/null | paste -sd:)
  [ -n "$vendors" ] && export __EGL_VENDOR_LIBRARY_FILENAMES=$vendors
fi
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY

deadline=465  # seconds: the stages' own times add up to about this
current=start stage_end=0 running=
failures=()

say() {
  echo "$*" >>"$out"
  echo "$*" >&3
}
# Says the lines of standard input.
say_lines() {
  tee -a "$out" >&3
}
fail() {
  say "FAILED: $*"
  [[ ${#failures[@]} -gt 0 && ${failures[-1]} == "$current" ]] || failures+=("$current")
}
finish() {
  if [ ${#failures[@]} -eq 0 ]; then
    say "== done in $SECONDS s"
  else
    say "== done in $SECONDS s; failed: ${failures[*]}"
  fi
  exit $((${#failures[@]} > 0))
}
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2317  # run by the trap
stopped() {
  [ -z "$running" ] || kill -TERM "$running" 2>/dev/null
  say "== stopped by a signal in stage $current, at $SECONDS s"
  exit 130
}
trap stopped INT TERM HUP

# Starts stage NAME with at most SECONDS, less when the deadline is nearer; past the
# deadline the check ends there.
begin() {
  current=$1
  local limit=$2
  ((limit > deadline - SECONDS)) && limit=$((deadline - SECONDS))
  stage_end=$((SECONDS + limit))
  say ""
  echo "== $1" >>"$log"
  if ((limit <= 0)); then
    fail "no time left for this stage and those after it"
    finish
  fi
  say "== $1 (from $SECONDS s, at most $limit s)"
}
# Runs a command in the folder $where (the bundle's unless set) within the stage's time;
# its standard error goes to the log. It runs in the background so that a signal reaches
# the trap at once, which stops the command too.
run() {
  local left=$((stage_end - SECONDS)) status
  (cd "${where:-$bundle}" && exec timeout -k 5 "$((left > 1 ? left : 1))" "$@") 2>>"$log" &
  running=$!
  wait $running
  status=$?
  running=
  if ((status == 124 || status == 137)); then
    fail "$(basename "$1") was stopped at the end of the stage's time"
  elif ((status != 0)); then
    fail "$(basename "$1") ended with exit status $status (see log.txt)"
  fi
  return $status
}
# A folder of the work area that the capture tool can run in (it reads ./Data).
capture_dir() {
  mkdir -p "$work/$1" && ln -sfn "$bundle/Data" "$work/$1/Data" && echo "$work/$1"
}

begin machine 10
say "$(uname -srm), $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) memory"
if command -v nvidia-smi >/dev/null; then
  say "GPU: $(nvidia-smi --query-gpu=name,driver_version,memory.total --format=csv,noheader 2>&1)"
fi
sed 's/^/bundle: /' built.txt | say_lines
say "LD_LIBRARY_PATH=$LD_LIBRARY_PATH"
say "EGL vendor files: ${__EGL_VENDOR_LIBRARY_FILENAMES:-$(find "${vendor_dirs[@]}" -name '*.json' 2>/dev/null | paste -sd' ')}"
ffmpeg=$(command -v ffmpeg)
say "ffmpeg: ${ffmpeg:-none}"
# The ffmpeg that the capture tool finds first: the machine's own, with the machine's
# libraries rather than the bundle's, or where there is none a stand-in that takes the
# frames and discards them.
encoder=$work/encoder
mkdir -p "$encoder"
if [ -n "$ffmpeg" ]; then
  printf '#!/bin/sh\nLD_LIBRARY_PATH=%q exec %q "$@"\n' "$machine_libraries" "$ffmpeg"
else
  printf '#!/bin/sh\nexec cat >/dev/null\n'
fi >"$encoder/ffmpeg"
chmod +x "$encoder/ffmpeg"

begin libraries 10
chmod +x bin/* 2>/dev/null  # in case the copy that came here lost the modes
system=$(cat system-libraries)
needed=$(ldd bin/* lib/libEGL.so.1 lib/libGL.so.1 | awk '$2 == "=>" { print $1, $3 }' | sort -u)
missing=$(awk '$2 == "not" { print $1 }' <<<"$needed")
from_bundle=$(grep -c " $bundle/lib/" <<<"$needed")
elsewhere=$(grep -v " $bundle/lib/" <<<"$needed" | awk '$2 != "not"' | grep -Ev "$system")
say "$from_bundle from the bundle, $(grep -v " $bundle/lib/" <<<"$needed" | grep -Ec "$system") the system's own"
[ -z "$elsewhere" ] || fail "the bundle lacks these, found elsewhere here: $(paste -sd' ' <<<"$elsewhere")"
if [ -n "$missing" ]; then
  fail "not found: $(paste -sd' ' <<<"$missing")"
  finish
fi

begin gl 30
LD_DEBUG=libs LD_DEBUG_OUTPUT=$work/ld run bin/frame_times --to 0.1 >"$work/gl.txt"
grep '^GL ' "$work/gl.txt" | say_lines
say "loaded from outside the bundle (the driver, the system's own):"
grep -h 'calling init: /' "$work"/ld.* 2>/dev/null | awk '{ print "  " $NF }' | sort -u |
  grep -v "^  $bundle/" | say_lines
renderer=$(sed -n 's/^GL renderer: //p' "$work/gl.txt")
if [ -z "$renderer" ]; then
  fail "no GL context came up (see log.txt)"
  finish
fi
if [[ $renderer =~ llvmpipe|softpipe|Software|swrast ]]; then
  if ! $software; then
    fail "the renderer is software, the GPU's driver was not used (see the EGL vendor files above)"
    finish
  fi
  say "(a software renderer, allowed by --allow-software)"
fi

begin stills 30
options=$(grep -v '^#' reference/stills.txt)
fps=$(sed -n 's/^--fps //p' <<<"$options")
read -ra times <<<"$(sed -n 's/^--at //p' <<<"$options" | paste -sd' ')"
dir=$(capture_dir stills)
# shellcheck disable=SC2086  # the options are words
where=$dir run "$bundle/bin/emberhall-capture" --quiet $options
differing=0
for time in "${times[@]}"; do
  # The capture names a still by its frame index at the rate.
  name=$(printf 'frame-%06d.png' $((time * fps)))
  result=$(bin/still_diff "reference/$name" "$dir/$name" 2>&1)
  compared=$?
  say "$(printf '%5s s  %s' "$time" "$result")"
  [[ $compared == 0 && $result == *" differing 0 of "* ]] && continue
  differing=$((differing + 1))
  # Ranked by the sum of the channels' means; a still that could not be compared, first.
  read -r _ r g b _ <<<"$result"
  ((compared == 0)) && rank=$(awk "BEGIN { print $r + $g + $b }") || rank=1000
  echo "$rank $time $name" >>"$work/differing"
done
if ((differing == 0)); then
  say "all ${#times[@]} stills equal to llvmpipe's"
else
  fail "$differing of ${#times[@]} stills differ from llvmpipe's"
  sort -rn "$work/differing" 2>/dev/null | head -3 | while read -r _ time name; do
    cp "$dir/$name" "$report/still-${time}s.png" && say "kept still-${time}s.png"
  done
fi

begin frame_times 80
$quick && range=(--to 5) || range=()
run bin/frame_times "${range[@]}" >"$work/frame_times.txt"
grep -v '^GL ' "$work/frame_times.txt" | say_lines

begin demo_bench 50
$quick && min_time=(--benchmark_min_time=0.01) || min_time=()
run bin/demo_bench "${min_time[@]}" >"$work/demo_bench.txt"
say_lines <"$work/demo_bench.txt"

# The capture tool's measuring mode over RANGE...: frames per second rendered, read back, and
# written to a video through $encoder/ffmpeg.
capture_bench() {
  local dir
  dir=$(capture_dir "$current")
  if [ -n "$ffmpeg" ]; then
    say "('written' is encoded to H.264 by $ffmpeg)"
  else
    say "(no ffmpeg here: 'written' is converted to YUV and piped to a stand-in, not encoded)"
  fi
  where=$dir PATH=$encoder:$PATH run "$bundle/bin/emberhall-capture" --quiet --bench \
    --video "$dir/video.mp4" "$@" >"$dir/bench.txt"
  say_lines <"$dir/bench.txt"
  rm -rf "$dir"
}

begin demo 130
$quick && range=(--to 5) || range=()
capture_bench "${range[@]}"

begin 4k 135
$quick && range=(--from 5 --to 5.1) || range=(--from 110 --to 120)
capture_bench --size 3840x2160 --scale 2 "${range[@]}"

finish
