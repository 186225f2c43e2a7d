#!/usr/bin/env bash
# The installer under a clean Wine prefix: msiexec installs the program folder into
# Program Files\Lumetra with a Start-menu shortcut, the installed lumetra.exe --check runs,
# a newer package replaces the older one, and removing it leaves ORX.INI and the operator
# log, which are the workstation's.
# Usage: msi_test.sh OLDER.msi NEWER.msi NEWER_VERSION WINEPREFIX
set -uo pipefail
older=$1 newer=$2 newer_version=$3
export WINEPREFIX=$4 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$WINEPREFIX"
bash "$here/wine_prefix.sh" >/dev/null
installed="$WINEPREFIX/drive_c/Program Files/Lumetra"
passed=0 failed=0
verdict() {
  if [ "$2" -eq 0 ]; then
    passed=$((passed + 1))
    echo "PASS $1"
  else
    failed=$((failed + 1))
    echo "FAIL $1"
  fi
}
versions() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | grep -A40 'DisplayName.*Lumetra' | sed -n 's/.*DisplayVersion *REG_SZ *//p'
}

wine msiexec /i "$(winepath -w "$older")" /qn >/dev/null 2>&1
[ -f "$installed/lumetra.exe" ] && [ -f "$installed/platforms/qwindows.dll" ] &&
  [ -f "$installed/Qt6Widgets.dll" ] && [ -f "$installed/ORX.INI.sample" ]
verdict "msiexec /i installs the program folder into Program Files\\Lumetra" $?
find "$WINEPREFIX/drive_c" -iname 'Lumetra.lnk' | grep -q .
verdict "a Start-menu shortcut" $?

printf '[VOZEZIZO]\r\nCommPort=1\r\n' >"$installed/ORX.INI"
check_output=$(cd "$installed" && wine "C:\\Program Files\\Lumetra\\lumetra.exe" --check 2>&1 | tr -d '\r')
echo "$check_output" | grep -q 'ORX.INI'
verdict "the installed lumetra.exe --check runs" $?
echo "shift log" >"$installed/Lumetra.log"

wine msiexec /i "$(winepath -w "$newer")" /qn >/dev/null 2>&1
[ "$(versions)" = "$newer_version" ]
verdict "a newer package replaces the older one (installed: $(versions | tr '\n' ' '))" $?
[ -f "$installed/lumetra.exe" ] && [ -f "$installed/ORX.INI" ]
verdict "the upgrade keeps the program and ORX.INI" $?

wine msiexec /x "$(winepath -w "$newer")" /qn >/dev/null 2>&1
[ ! -f "$installed/lumetra.exe" ] && [ ! -f "$installed/Qt6Core.dll" ] && [ -z "$(versions)" ]
verdict "msiexec /x removes the program" $?
[ -f "$installed/ORX.INI" ] && [ "$(cat "$installed/Lumetra.log")" = "shift log" ]
verdict "and leaves ORX.INI and the operator log" $?

wineserver -k 2>/dev/null
echo "Windows installer under Wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
