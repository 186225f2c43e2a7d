#!/usr/bin/env bash
# The Windows build, as far as this machine can take it: cross-builds the core, the
# portable INI layer, the host simulator, the Win32 adapters and their tests with
# MinGW-w64 for 64 and 32 bits, and runs the 64-bit tests under Wine (headless, in a
# Wine prefix of the build folder's own). The 32-bit tests run too when 32-bit Wine is
# installed. The Qt program itself needs Qt for Windows (see the README).
set -euo pipefail
cd "$(dirname "$0")/.."

build() {
  local arch=$1
  local dir=build-windows-$arch
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMETRA_BUILD_GUI=OFF \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$arch-w64-mingw32.cmake" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}

run_tests() {
  local dir=build-windows-$1
  rm -rf "$dir/bin/reports"
  (cd "$dir" && ctest --output-on-failure --timeout 600)
  WINEPREFIX="$PWD/$dir/wineprefix" wineserver -k 2>/dev/null || true
  # What ran, from the test reports: a program that did not run under Wine has none.
  local total=0
  for report in "$dir"/bin/reports/*.xml; do
    local count
    count=$(sed -n 's/.*<testsuites[^>]* tests="\([0-9]*\)".*/\1/p' "$report" | head -1)
    total=$((total + ${count:-0}))
  done
  echo "Windows ($1): $total tests ran under Wine, none failed"
}

build x86_64
run_tests x86_64

build i686
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
  run_tests i686
else
  echo "Windows (i686): built; its tests were not run (32-bit Wine, package wine32, is not installed)"
fi
