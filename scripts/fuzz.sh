#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ (clang, libFuzzer, ASan and UBSan) into build-fuzz/ and runs
# each for FUZZ_SECONDS seconds (default 60) with a fixed seed and one worker, from a fresh
# corpus seeded with the default data set and hand-made files. Fails on any crash, leak,
# sanitizer report or broken output contract; the input that did it is kept in
# build-fuzz/findings/.
#
#   scripts/fuzz.sh                         every target, 60 s each
#   FUZZ_SECONDS=3600 scripts/fuzz.sh bmp   one target (bmp, msh or xfile) for an hour
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
seconds=${FUZZ_SECONDS:-60}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(bmp msh xfile)
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

# The asset generator's default data set, from the ordinary build.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DEMBERHALL_WERROR="$werror" >/dev/null
cmake --build build -j"$(nproc)" --target default_data emberhall-assets >/dev/null

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DEMBERHALL_FUZZ=ON -DBUILD_TESTING=OFF \
  -DEMBERHALL_WERROR="$werror" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target bmp_fuzz msh_fuzz xfile_fuzz emberhall-fuzz-seeds >/dev/null

seeds=build-fuzz/seeds
rm -rf "$seeds" build-fuzz/corpus
build-fuzz/fuzz/emberhall-fuzz-seeds "$seeds"
# The default models in every X encoding the loader reads: text, binary, compressed.
build/emberhall-assets xforms "$seeds/xforms" >/dev/null
mkdir -p build-fuzz/findings
# Files up to 64 KB: the larger pictures only repeat the smaller ones' layout, and inputs
# that size would slow every run of every mutation.
for kind in bmp msh x; do
  mkdir -p "$seeds/data-$kind"
  find build/Data -maxdepth 1 -name "*.$kind" -size -65k -exec cp {} "$seeds/data-$kind/" \;
done

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for target in "${targets[@]}"; do
  case "$target" in
    bmp) kind=bmp ;;
    msh) kind=msh ;;
    xfile) kind=x ;;
    *) echo "unknown fuzz target '$target' (bmp, msh or xfile)" >&2; exit 2 ;;
  esac
  corpus=build-fuzz/corpus/$target
  log=build-fuzz/$target.log
  mkdir -p "$corpus"
  extra=()
  [ "$target" = xfile ] && extra=("$seeds/xforms")
  if build-fuzz/fuzz/${target}_fuzz -seed=1 -max_total_time="$seconds" -timeout=30 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
      "$corpus" "$seeds/$kind" "$seeds/data-$kind" "${extra[@]}" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    coverage=$(grep -E '^#[0-9]+' "$log" | tail -1 | sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+) corp: ([0-9]+).*/\1 edges, \2 features, corpus \3/')
    echo "fuzz $target: ${runs} runs in ${seconds} s, ${coverage}"
  else
    echo "fuzz $target: FAILED; see $log and build-fuzz/findings/" >&2
    tail -40 "$log" >&2
    status=1
  fi
done
exit $status
