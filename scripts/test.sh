#!/usr/bin/env bash
# Everything from a fresh Debian 12 machine: packages, build, every test; then the
# Windows cross-build and its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --windows
scripts/build.sh
# Most tests wait on a program or a port rather than compute: three at a time per core.
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j "$(($(nproc) * 3))")
scripts/windows-test.sh
