#!/usr/bin/env bash
# Builds and runs the benchmarks (our own time per scan; not part of the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh -DLUMETRA_BUILD_BENCH=ON >/dev/null
build/bin/lumetra_bench "$@"
build/bin/lumetra_list_bench "$@"
