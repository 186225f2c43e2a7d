#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, address and undefined-behaviour
# sanitizers) into build/fuzz and runs each for a bounded time.
#   run_fuzzers.sh SOURCE_DIR SECONDS [--build-only | --run-only] [TARGET ...]
# The build is incremental: nothing is compiled again when nothing changed.
set -euo pipefail
source_dir=$(cd "$1" && pwd)
seconds=$2
shift 2
mode=all
case ${1:-} in
  --build-only) mode=build; shift ;;
  --run-only) mode=run; shift ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(label_entry)
build="$source_dir/build/fuzz"

if [ "$mode" != run ]; then
  generator=()
  command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
  [ -f "$build/CMakeCache.txt" ] && generator=()
  # Light optimisation and line tables only: half the build time of a release build with
  # full debug information, and the assertions stay on.
  cmake -S "$source_dir" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
    -DLUMETRA_BUILD_GUI=OFF -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_BUILD_FUZZ=ON >/dev/null
  fuzz_targets=()
  for target in "${targets[@]}"; do fuzz_targets+=(--target "fuzz_$target"); done
  cmake --build "$build" "${fuzz_targets[@]}" --parallel "$(nproc)" >/dev/null
fi
[ "$mode" = build ] && exit 0

for target in "${targets[@]}"; do
  corpus="$build/corpus_$target"
  mkdir -p "$corpus"
  seeds="$source_dir/tests/fuzz/seeds/$target"
  # A program barcode's body comes after up to 14 header records: room to reach it.
  options=()
  case $target in
    program_import) options=(-max_len=2048) ;;
    list_file | csv_block | profile_write) options=(-max_len=1024) ;;
  esac
  echo "fuzzing $target for ${seconds}s"
  (cd "$build" && "./bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    "${options[@]}" -print_final_stats=1 "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) 2>&1 |
    tail -n 12)
done
