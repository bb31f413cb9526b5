#!/usr/bin/env bash
# Builds everything with clang's AddressSanitizer (leak checking on) and
# UndefinedBehaviorSanitizer into build-asan/, runs every test there, then plays the whole
# 200 s of the demo through the capture tool at 2 frames per second, every frame drawn.
# Every program stops at its first report, which fails the run. Leaks inside third-party
# libraries are suppressed, each for a written reason, in scripts/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

# Set before the build too: the build runs the asset generator and lists every test.
# intercept_tls_get_addr=0: clang 14's leak checker guesses the bounds of a library's
# thread-local block from the 16 bytes before it when the block starts 16 bytes past a page
# boundary; ASan's own chunk header sits there when the block comes from malloc, as the GL
# driver's does, and the checker then scans a made-up address and crashes at exit. Whether
# that happens depends only on where the heap puts the block, so it differs from machine to
# machine. Without the interception those blocks are ordinary heap memory, still found
# through each thread's own descriptor.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:strict_init_order=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0

# clang, as for the fuzz targets: it builds this tree with the sanitizers in half gcc's time.
cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DEMBERHALL_SANITIZE=ON \
  -DEMBERHALL_WERROR="$werror" >/dev/null
cmake --build build-asan -j"$(nproc)"
(cd build-asan && ctest --output-on-failure -j"$(nproc)")

# The whole demo, every frame drawn and read back, at 2 frames per second, until it quits
# by itself just past 200 s.
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
ln -s "$PWD/build-asan/Data" "$run/Data"
capture=$PWD/build-asan/emberhall-capture
(cd "$run" && "$capture" --quiet --fps 2 --png frames)
echo "sanitized 200 s run: $(ls "$run/frames" | wc -l) frames written, no reports"
