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

# No Qt for Windows exists in Debian: the Qt program's sources are compiled for Windows
# as far as syntax and types go, against this machine's Qt 6 headers, so that the
# Windows-only code of the composition root is compiled at least this far.
check_qt_sources() {
  local qt=/usr/include/x86_64-linux-gnu/qt6 failed=0
  local sources
  sources=$(grep -rl '#include <Q' src tools --include='*.cpp' | grep -v 'app/termination.cpp' | sort)
  for source in $sources; do
    local out
    out=$(x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic \
      -Wno-attributes -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 \
      -DQT_NO_CAST_FROM_ASCII -DQT_NO_CAST_TO_ASCII -DQT_NO_CAST_FROM_BYTEARRAY \
      -DLUMETRA_VERSION='"0"' -Isrc -I"$qt" -I"$qt/QtCore" -I"$qt/QtGui" -I"$qt/QtWidgets" \
      -I"$qt/QtSerialPort" "$source" 2>&1 | grep -E '^(src|tools)/.*warning|error:' || true)
    if [ -n "$out" ]; then
      echo "$out"
      failed=1
    fi
  done
  [ "$failed" -eq 0 ] || { echo "The Qt program's sources do not compile for Windows"; exit 1; }
  echo "Windows: the Qt program's $(echo "$sources" | wc -l) sources compile for Windows" \
    "(syntax and types, against this machine's Qt headers)"
}

build x86_64
run_tests x86_64
check_qt_sources

build i686
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
  run_tests i686
else
  echo "Windows (i686): built; its tests were not run (32-bit Wine, package wine32, is not installed)"
fi
