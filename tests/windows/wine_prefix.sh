#!/usr/bin/env bash
# A throw-away Wine prefix for the Windows tests: created once per build folder, with
# the null graphics driver so that windows, activation and SendInput work without a
# display.
set -euo pipefail
: "${WINEPREFIX:?}"
if [ ! -f "$WINEPREFIX/.lumetra-ready" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.lumetra-ready"
fi
# A persistent server whose own output goes nowhere: a pseudo-terminal closed under a COM
# port makes it write thousands of lines.
wineserver -p 2>/dev/null || true # one may already serve the prefix
# Wine's mount manager links dosdevices/com1 to /dev/ttyS0 when the prefix's services start:
# they are started now, so that a COM port a test links later stays linked.
wine cmd /c exit >/dev/null 2>&1 || true
echo "Wine prefix ready: $WINEPREFIX ($(wine --version 2>/dev/null))"
