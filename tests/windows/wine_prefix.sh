#!/usr/bin/env bash
# Sets up the Windows build's Wine prefix once (wineboot), and keeps one wineserver running for
# the tests that follow. The graphics driver is X11 where a display is given, else Wine's null
# driver, so the headless runs need no X server. The face's Gothic face (MS UI Gothic on Japanese
# Windows) is the IPA Gothic of the Linux build.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
need_wine
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || fail "wineboot made no prefix in $WINEPREFIX"
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f >/dev/null
  for face in "MS UI Gothic" "MS Gothic" "MS PGothic"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAGothic /f >/dev/null
  done
  wineserver -w
fi
wineserver -p 600
echo "wine prefix ready: $WINEPREFIX"
