#!/usr/bin/env bash
# Makes gpu-bundle/: everything scripts/gpu-check.sh needs to check the demo on a machine
# that has a GPU and its driver but none of our packages (any x86-64 Linux with glibc 2.36 or
# newer and a C++ runtime):
#   bin/        emberhall-capture, frame_times, demo_bench and still_diff from build/,
#               without their debug information
#   lib/        the shared libraries they load, found with ldd, except those every such
#               machine has (system-libraries lists them) and the GL driver, which is the
#               machine's own
#   Data/       the default data set
#   reference/  llvmpipe's reference stills, and stills.txt, the capture options that made
#               them (tests/tools/reference_stills.txt)
#   gpu-check.sh, and built.txt: where and from which commit the bundle was made
# It stays under 60 MiB, so that it travels to a lent machine as a carried folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bundle=gpu-bundle
limit_mib=60

scripts/build.sh
rm -rf "$bundle"
mkdir -p "$bundle"/{bin,lib,reference}
for program in emberhall-capture bench/frame_times bench/demo_bench bench/still_diff; do
  strip --strip-debug -o "$bundle/bin/$(basename "$program")" "build/$program"
done
cp -r build/Data "$bundle/"
cp scripts/gpu-check.sh "$bundle/"

# The machine's own: glibc's parts and the C++ runtime. Ours would shadow newer ones there,
# which its GL driver may need.
system='^(linux-vdso|ld-linux-x86-64|libc|libm|libdl|libpthread|librt|libresolv|libutil|libstdc\+\+|libgcc_s)\.so'
echo "$system" >"$bundle/system-libraries"

# The GL dispatch libraries (glvnd) are opened at run time, where ldd cannot see them (as
# LD_DEBUG=libs shows): SDL's offscreen video opens libEGL.so.1, libepoxy libGL.so.1 for the
# desktop GL entry points. Their own needs (libGLX, libGLdispatch) follow with ldd; what
# they open in turn is the driver, which stays behind.
opened=()
for name in libEGL.so.1 libGL.so.1; do
  path=$(/sbin/ldconfig -p | awk -v name="$name" '$1 == name && /x86-64/ { print $NF; exit }')
  [ -n "$path" ] || { echo "gpu-bundle: $name is not installed" >&2; exit 1; }
  cp -L "$path" "$bundle/lib/$name"
  opened+=("$path")
done
ldd "$bundle"/bin/* "${opened[@]}" | awk '$2 == "=>" { print $1, $3 }' | sort -u |
  while read -r name path; do
    [ "$path" = "not" ] && { echo "gpu-bundle: $name is not installed" >&2; exit 1; }
    [[ $name =~ $system ]] || cp -L "$path" "$bundle/lib/$name"
  done

# The stills to compare with, drawn here by llvmpipe through the bundle's own programs and
# libraries.
cp tests/tools/reference_stills.txt "$bundle/reference/stills.txt"
(
  cd "$bundle"
  export LD_LIBRARY_PATH=$PWD/lib LIBGL_ALWAYS_SOFTWARE=1 SDL_VIDEODRIVER=offscreen
  renderer=$(bin/frame_times --to 0.1 | sed -n 's/^GL renderer: //p')
  if [[ $renderer != llvmpipe* ]]; then
    echo "gpu-bundle: the reference stills must come from llvmpipe, not '$renderer'" >&2
    exit 1
  fi
  cd reference
  ln -s ../Data Data
  # shellcheck disable=SC2046  # the options are words
  ../bin/emberhall-capture --quiet $(grep -v '^#' stills.txt)
  rm Data
)

{
  echo "commit $(git describe --always --dirty)"
  echo "made $(date -u '+%Y-%m-%d %H:%M UTC') on $(uname -srm), $(ldd --version | head -1)"
} >"$bundle/built.txt"

size=$(du -sb "$bundle" | cut -f1)
echo "$bundle/: $(find "$bundle/lib" -type f | wc -l) libraries, $((size / 1024)) KiB in all"
if ((size > limit_mib * 1024 * 1024)); then
  echo "gpu-bundle: $bundle/ is over $limit_mib MiB; it would not travel to a lent machine" >&2
  exit 1
fi
