#!/usr/bin/env bash
# docs/windows-main-window.png: the real Windows program (Qt's windows platform plug-in)
# under Wine and Xvfb, in a Wine desktop of 1024x768, after a two-record label.
# Usage: windows-picture.sh PROGRAM_FOLDER [OUTPUT.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(cd "$1" && pwd)
output=${2:-$root/docs/windows-main-window.png}
for tool in Xvfb xwd xwdtopnm pnmtopng wine; do # x11-apps, netpbm; fonts-wine for the captions
  command -v "$tool" >/dev/null || { echo "windows-picture: $tool is missing (x11-apps, netpbm)"; exit 1; }
done
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  [ -n "${scanner:-}" ] && kill "$scanner" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display
wineboot -i >/dev/null 2>&1
wineserver -w
# The services first: Wine's mount manager links COM1 to /dev/ttyS0 when they start.
wineserver -p 2>/dev/null
wine cmd /c exit >/dev/null 2>&1
cp -r "$folder" "$WINEPREFIX/drive_c/Lumetra"
mkdir -p "$WINEPREFIX/drive_c/PRODUCT"
printf '[VOZEZIZO]\r\nCommPort=1\r\nCommPollTime=100\r\nGCodePath=C:\\PRODUCT\\\r\nAutoClear= 0\r\n' \
  >"$WINEPREFIX/drive_c/Lumetra/ORX.INI"

# The scanner: a pseudo-terminal as COM1, fed by the Linux scan simulator.
# Each line a scan, sent once the program has started; the first two make one label.
{
  sleep 8
  printf '%%12P100!N!%%\n'
  sleep 1.5
  printf '%%22600!400!18!%%\n'
  sleep 2.5
  printf '%%13DOOR21!A!%%\n'
  sleep 20
} | "$root/build/bin/lumetra-scan" --pty >"$work/pty" 2>/dev/null &
scanner=$!
for _ in $(seq 50); do [ -s "$work/pty" ] && break; sleep 0.1; done
ln -sfn "$(head -1 "$work/pty")" "$WINEPREFIX/dosdevices/com1"
LUMETRA_UNATTENDED=1 LUMETRA_HOST=simulator LUMETRA_LOG='C:\Lumetra\Lumetra.log' \
  wine explorer /desktop=Lumetra,1024x768 'C:\Lumetra\lumetra.exe' -platform windows \
  >/dev/null 2>&1 &
log=$WINEPREFIX/drive_c/Lumetra/Lumetra.log
for _ in $(seq 200); do
  grep -q 'scan.*DOOR21' "$log" 2>/dev/null && break
  sleep 0.1
done
sleep 1.5
xwd -root -silent -display "$display" | xwdtopnm 2>/dev/null | pnmtopng >"$output"
grep -q 'scan.*DOOR21' "$log" || { cat "$log"; echo "windows-picture: the scans did not arrive"; exit 1; }
echo "windows-picture: $output"
