#!/usr/bin/env bash
# Builds the program and runs it on a ready demo workspace (demo-workspace/).
# With a display it opens the window; without one (or with --headless) it runs
# offscreen and unattended for a while and prints the operator log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh >/dev/null

root="$PWD/demo-workspace"
rm -rf "$root"
mkdir -p "$root/program" "$root/windows" "$root/drive_c/VELMORA/PRODUCT" "$root/drive_c/csv"

cat > "$root/program/ORX.INI" <<'INI'
[VOZEZIZO]
Settings=9600,N,8,1
CommPort=1
CommPollTime=100
GCodePath=C:\VELMORA\PRODUCT\
CSVInPath=C:\csv\
CSVOutPath=C:\Lumetra.csv
AutoClear= 0
Overwrite= 1
Exclusion=10100000
INI

# The scan simulator opens a pseudo-terminal and plays the sample scans into it.
build/bin/lumetra-scan --pty --wait 3000 --pause 2500 --hold 4000 --file demo/scans.txt \
  > "$root/scanner-device" 2> "$root/scanner.log" &
scan_pid=$!
for _ in $(seq 50); do [ -s "$root/scanner-device" ] && break; sleep 0.1; done
printf 'Com1Device=%s\r\n' "$(cat "$root/scanner-device")" >> "$root/program/ORX.INI"

export LUMETRA_PROGRAM_DIR="$root/program"
export LUMETRA_WINDOWS_DIR="$root/windows"
export LUMETRA_DRIVE_C="$root/drive_c"
export LUMETRA_LOG="$root/operator.log"
export LUMETRA_HOST_JOURNAL="$root/host-journal.tsv"

headless=0
if [ "${1:-}" = "--headless" ] || [ -z "${DISPLAY:-}" ]; then
  headless=1
fi

if [ "$headless" = 1 ]; then
  export QT_QPA_PLATFORM=offscreen LUMETRA_UNATTENDED=1
  build/bin/lumetra &
  pid=$!
  wait "$scan_pid" 2>/dev/null || true
  sleep 1
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "--- operator log ($LUMETRA_LOG)"
  cat "$LUMETRA_LOG"
else
  build/bin/lumetra
  kill "$scan_pid" 2>/dev/null || true
fi
