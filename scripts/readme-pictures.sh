#!/usr/bin/env bash
# Makes the README's pictures in docs/ from the program: stills of the default data set by
# `emberhall-capture --at T --scale 2` at the six times the README names, as JPEG files
# (ffmpeg, full-resolution colour). Run it whenever what the demo draws changes, and
# commit the pictures with the change.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh play

# Demo time in seconds and the picture's name, in the README's order.
pictures=(35:figure-echoes 50:title 110:forest-figure 130:cube-fractal 160:stone-hall 190:credits)
fps=60
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$PWD/build/Data" "$work/Data"
stills=()
for picture in "${pictures[@]}"; do stills+=(--at "${picture%%:*}"); done
(cd "$work" && "$OLDPWD/build/emberhall-capture" --quiet --fps "$fps" --scale 2 "${stills[@]}")
for picture in "${pictures[@]}"; do
  time=${picture%%:*} name=${picture#*:}
  ffmpeg -v error -y -i "$work/frame-$(printf %06d $((time * fps))).png" -pix_fmt yuvj444p \
    -q:v 4 "docs/$name.jpg"
  echo "docs/$name.jpg: the frame at $time s"
done
