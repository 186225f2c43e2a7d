#!/usr/bin/env bash
# The Windows build, as far as this machine can take it: cross-builds the core, the
# portable INI layer, the host simulator, the Win32 adapters and their tests with
# MinGW-w64 for 64 bits and runs the tests under Wine (headless, in a Wine prefix of the
# build folder's own); builds the one piece that must be 32-bit (lumetra-expand32.exe,
# the compression library's helper) with the i686 toolchain; lays out the program folder
# from both. Then the Qt program itself: Qt for Windows made from Debian's source
# (scripts/windows-qt.sh, cached), lumetra.exe and its program folder, the end-to-end
# tests under Wine, the installer and its tests.
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

step_started=$SECONDS
step() {
  echo "Windows: $1 ($((SECONDS - step_started)) s)"
  step_started=$SECONDS
}

# The program folder as `cmake --install` lays it out without the Qt program.
folder=build-windows-x86_64/program-folder
rm -rf "$folder"
cmake --install build-windows-x86_64 --prefix "$folder" >/dev/null
for file in lumetra-expand32.exe ORX.INI.sample ini-keys.md README-Windows.txt; do
  [ -f "$folder/$file" ] || { echo "the program folder lacks $file"; exit 1; }
done
x86_64-w64-mingw32-objdump -f "$folder/lumetra-expand32.exe" | grep -q 'file format pei-i386' ||
  { echo "the program folder's helper is not the 32-bit one"; exit 1; }
echo "Windows: the program folder holds $(ls "$folder" | tr '\n' ' ')"

# Every DLL a binary of the program folder imports is shipped in it or is the system's
# (Wine's system32 holds a stand-in for each DLL Windows 10 has).
check_imports() {
  local folder=$1 system=$2 missing=0 binary dll
  while IFS= read -r -d '' binary; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p'); do
      # API sets (api-ms-win-…) are names the system resolves itself, never files.
      case "$dll" in api-ms-win-* | ext-ms-win-*) continue ;; esac
      if [ -z "$(find "$folder" -maxdepth 1 -iname "$dll")" ] &&
        [ -z "$(find "$system" -maxdepth 1 -iname "$dll")" ]; then
        echo "$(basename "$binary") imports $dll, which is neither shipped nor the system's"
        missing=1
      fi
    done
  done < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) ! -name 'lumetra-expand32.exe' -print0)
  [ "$missing" -eq 0 ] || exit 1
}

qt=$(scripts/windows-qt.sh)
step "Qt for Windows at $qt"
version=$(sed -n 's/^project(Lumetra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
"$qt/bin/qt-cmake" -S . -B build-windows-qt -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/toolchains/x86_64-w64-mingw32-shared-runtime.cmake" \
  -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_EXPAND32_EXE="$helper32" >/dev/null
cmake --build build-windows-qt --parallel "$(nproc)"
qt_folder=build-windows-qt/program-folder
rm -rf "$qt_folder"
cmake --install build-windows-qt --prefix "$qt_folder" >/dev/null
step "lumetra.exe built; its program folder: $(cd "$qt_folder" && find . -type f | sort | tr '\n' ' ')"

prefix=$PWD/build-windows-qt/wineprefix
WINEPREFIX=$prefix WINEDEBUG=-all bash tests/windows/wine_prefix.sh
check_imports "$qt_folder" "$prefix/drive_c/windows/system32"
step "lumetra.exe and its DLLs import only the system's DLLs and those shipped beside them"

e2e_status=0
WINEPREFIX=$prefix python3 tests/windows/program_e2e.py --folder "$qt_folder" \
  --scan build/bin/lumetra-scan --prefix "$prefix" --work build-windows-qt/e2e \
  --test-bin build-windows-x86_64/bin \
  --linux-program build/bin/lumetra || e2e_status=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
step "the program end to end under Wine"
[ "$e2e_status" -eq 0 ] || exit "$e2e_status"

msi=build-windows-qt/Lumetra-$version.msi
newer_version=${version%.*}.$((${version##*.} + 1))
scripts/windows-msi.sh "$qt_folder" "$version" "$msi"
scripts/windows-msi.sh "$qt_folder" "$newer_version" "build-windows-qt/Lumetra-$newer_version-test.msi" >/dev/null
bash tests/windows/msi_test.sh "$msi" "build-windows-qt/Lumetra-$newer_version-test.msi" \
  "$newer_version" "$PWD/build-windows-qt/msi-prefix"
step "the installer"
