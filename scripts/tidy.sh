#!/usr/bin/env bash
# clang-tidy over the program's sources with the project's .clang-tidy (faults, not
# taste); any finding fails. Uses build/compile_commands.json of scripts/build.sh.
#   scripts/tidy.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed"; exit 1; }
# The Windows sources are checked by the cross-build's compiler, not here.
find src -name '*.cpp' ! -path 'src/platform/win32/*' ! -name '*_win32.cpp' -print0 |
  xargs -0 -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "clang-tidy: no findings"
