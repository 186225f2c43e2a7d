#!/usr/bin/env bash
# The Windows build, as far as this machine can take it: cross-builds the core, the
# portable INI layer, the host simulator, the Win32 adapters and their tests with
# MinGW-w64 for 64 bits and runs the tests under Wine (headless, in a Wine prefix of the
# build folder's own); builds the one piece that must be 32-bit (lumetra-expand32.exe,
# the compression library's helper) with the i686 toolchain; lays out the program folder
# from both. The Qt program itself needs Qt for Windows (see the README).
set -euo pipefail
cd "$(dirname "$0")/.."

configure() {
  local arch=$1
  shift
  cmake -S . -B "build-windows-$arch" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMETRA_BUILD_GUI=OFF -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$arch-w64-mingw32.cmake" \
    "$@" >/dev/null
}

# What ran, from the test reports: a program that did not run under Wine has none.
summary() {
  local dir=$1 tests=0 failed=0 skipped=0
  for report in "$dir"/bin/reports/*.xml; do
    local count failures errors skips
    count=$(sed -n 's/.*<testsuites[^>]* tests="\([0-9]*\)".*/\1/p' "$report" | head -1)
    failures=$(sed -n 's/.*<testsuites[^>]* failures="\([0-9]*\)".*/\1/p' "$report" | head -1)
    errors=$(sed -n 's/.*<testsuites[^>]* errors="\([0-9]*\)".*/\1/p' "$report" | head -1)
    skips=$(grep -c 'result="skipped"' "$report" || true)
    tests=$((tests + ${count:-0}))
    failed=$((failed + ${failures:-0} + ${errors:-0}))
    skipped=$((skipped + skips))
  done
  echo "Windows (x86_64) under Wine: $((tests - failed - skipped)) passed, $failed failed," \
    "$skipped skipped"
}

# No Qt for Windows exists in Debian: the Qt program's sources are compiled for Windows
# as far as syntax and types go, against this machine's Qt 6 headers, so that the
# Windows-only code of the composition root is compiled at least this far.
check_qt_sources() {
  local qt=/usr/include/x86_64-linux-gnu/qt6 failed=0
  local sources
  sources=$({ grep -rl '#include <Q' src tools --include='*.cpp'; ls src/app/*.cpp; } |
    grep -v 'app/termination.cpp' | sort -u)
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

configure i686
cmake --build build-windows-i686 --target lumetra-expand32 --parallel "$(nproc)"
helper32=$PWD/build-windows-i686/bin/lumetra-expand32.exe
x86_64-w64-mingw32-objdump -f "$helper32" | grep -q 'file format pei-i386' ||
  { echo "lumetra-expand32.exe is not a 32-bit program"; exit 1; }
echo "Windows (i686): lumetra-expand32.exe built for 32 bits"

configure x86_64 -DLUMETRA_EXPAND32_EXE="$helper32"
cmake --build build-windows-x86_64 --parallel "$(nproc)"
rm -rf build-windows-x86_64/bin/reports
status=0
(cd build-windows-x86_64 && ctest --output-on-failure --timeout 600) || status=$?
WINEPREFIX="$PWD/build-windows-x86_64/wineprefix" wineserver -k 2>/dev/null || true
summary build-windows-x86_64
[ "$status" -eq 0 ] || exit "$status"
check_qt_sources

# The program folder as `cmake --install` lays it out (without the Qt program here).
folder=build-windows-x86_64/program-folder
rm -rf "$folder"
cmake --install build-windows-x86_64 --prefix "$folder" >/dev/null
for file in lumetra-expand32.exe ORX.INI.sample ini-keys.md README-Windows.txt; do
  [ -f "$folder/$file" ] || { echo "the program folder lacks $file"; exit 1; }
done
x86_64-w64-mingw32-objdump -f "$folder/lumetra-expand32.exe" | grep -q 'file format pei-i386' ||
  { echo "the program folder's helper is not the 32-bit one"; exit 1; }
echo "Windows: the program folder holds $(ls "$folder" | tr '\n' ' ')"
