#!/usr/bin/env bash
# Builds the program and runs it on a ready demo workspace (demo-workspace/).
# With a display it opens the window; without one (or with --headless) it runs
# offscreen and unattended for a while and prints the operator log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
echo "Building the program and its tools (not the tests)..."
LUMETRA_TARGETS="lumetra lumetra-scan lumetra-editor lumetra-ini" scripts/build.sh

root="$PWD/demo-workspace"
rm -rf "$root"
mkdir -p "$root/program" "$root/windows" "$root/drive_c/VELMORA/PRODUCT" "$root/drive_c/csv" \
  "$root/drive_c/velmora/bin"
cp demo/PRODUCT/* "$root/drive_c/VELMORA/PRODUCT/"
cp demo/P100.CSV "$root/drive_c/csv/"
# The stand-in editor answers for the machine control's program editor.
ln -s "$PWD/build/bin/lumetra-editor" "$root/drive_c/velmora/bin/Scrivon.exe"

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
AutoSelSetting=1
PNameMSel=0
PNameNandMLR=0
PNameNandMCPos=12
PNameNandMText=M
HalfLimitX=1500
HalfLimitY=600
FieldCode_SFN=N
FieldCode_SFM=M
FieldCode_FFS=S1
FieldFlag_FFS= 1
FieldCode_FFR=R1
FieldFlag_FFR= 1
FieldCode_SFS=S
FieldFlag_SFS= 1
FieldCode_SFA=A
FieldFlag_SFA= 1
FieldCode_DFN=N
INI

# The sample scans, then a program barcode carrying demo/programs/CABINET and a
# compressed scan of a one-record label, built by the scan simulator.
cp demo/scans.txt "$root/scans.txt"
build/bin/lumetra-scan --print --program demo/programs/CABINET:CABINET:X=900:Y=560:U=N \
  >> "$root/scans.txt"
build/bin/lumetra-scan --print --compress '%11DRAWER N 13 %' >> "$root/scans.txt"

# The scan simulator opens a pseudo-terminal and plays the scans into it.
build/bin/lumetra-scan --pty --wait 3000 --pause 2500 --hold 600000 --file "$root/scans.txt" \
  > "$root/scanner-device" 2> "$root/scanner.log" &
scan_pid=$!
for _ in $(seq 50); do [ -s "$root/scanner-device" ] && break; sleep 0.1; done
printf 'Com1Device=%s\r\n' "$(cat "$root/scanner-device")" >> "$root/program/ORX.INI"

export LUMETRA_PROGRAM_DIR="$root/program"
export LUMETRA_WINDOWS_DIR="$root/windows"
export LUMETRA_DRIVE_C="$root/drive_c"
export LUMETRA_LOG="$root/operator.log"
export LUMETRA_HOST_JOURNAL="$root/host-journal.tsv"
# The stand-in editor's Open dialog opens programs from the program folder.
export LUMETRA_EDITOR_FOLDER="$root/drive_c/VELMORA/PRODUCT"

# What an integrator runs first on a new workstation: the check reads the setup as the
# program will, and says what is wrong (here only its warnings, errors and summary).
echo "--- workstation check (build/bin/lumetra --check; every item with --check alone)"
build/bin/lumetra --check | grep -v '^ok ' || true

headless=0
if [ "${1:-}" = "--headless" ] || [ -z "${DISPLAY:-}" ]; then
  headless=1
fi

if [ "$headless" = 1 ]; then
  export QT_QPA_PLATFORM=offscreen LUMETRA_UNATTENDED=1
  build/bin/lumetra &
  pid=$!
  # The last scan is the compressed DRAWER label; then the program is closed (SIGTERM
  # shuts it down in order) before the scanner goes away.
  for _ in $(seq 120); do
    grep -q 'AddLine.DRAWER' "$LUMETRA_HOST_JOURNAL" 2>/dev/null && break
    sleep 0.5
  done
  sleep 2
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  kill "$scan_pid" 2>/dev/null || true
  wait "$scan_pid" 2>/dev/null || true
  echo "--- operator log ($LUMETRA_LOG)"
  cut -f2- "$LUMETRA_LOG"
  echo "--- work-list lines the host received ($LUMETRA_HOST_JOURNAL)"
  grep -P '\tAddLine\t' "$LUMETRA_HOST_JOURNAL" | cut -f4- || true
  echo "--- what the scanner received"
  grep '^received' "$root/scanner.log" || true
  echo "--- the collecting CSV file"
  cat "$root/drive_c/Lumetra.csv" 2>/dev/null || true
else
  echo "The main window opens; the scans arrive over the next minute. Close the window to end."
  build/bin/lumetra || true
  kill "$scan_pid" 2>/dev/null || true
fi
