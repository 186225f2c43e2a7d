#!/usr/bin/env bash
# Configures and builds into build/ (the program lands at build/bin/lumetra).
# LUMETRA_TARGETS="a b" builds only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
if command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
else
  cmake -S . -B build "$@" >/dev/null
fi
targets=()
for target in ${LUMETRA_TARGETS:-}; do
  targets+=(--target "$target")
done
cmake --build build --parallel "$(nproc)" "${targets[@]}"
