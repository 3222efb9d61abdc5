#!/usr/bin/env bash
# Sets up the Windows build's Wine prefix once (wineboot), then starts the run's X server (Xvfb,
# where installed) and a fresh wineserver whose desktop draws on it. Headless runs need no X
# server: the prefix's graphics driver falls back to Wine's null driver without one. The face's
# Gothic face (MS UI Gothic on Japanese Windows) is the IPA Gothic of the Linux build.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
command -v wine >/dev/null || { echo "wine is not installed: skipped"; exit 77; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || fail "wineboot made no prefix in $WINEPREFIX"
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f >/dev/null
  for face in "MS UI Gothic" "MS Gothic" "MS PGothic"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAGothic /f >/dev/null
  done
fi
wineserver -k 2>/dev/null || true
wineserver -w
# A run that ended without wine_stop.sh left its X server: end it first.
[ -s "$WINE_XVFB_PID_FILE" ] && kill "$(cat "$WINE_XVFB_PID_FILE")" 2>/dev/null
rm -f "$WINE_DISPLAY_FILE" "$WINE_XVFB_PID_FILE"
unset DISPLAY
if command -v Xvfb >/dev/null; then
  exec 5>"$WINE_DISPLAY_FILE.new"
  setsid Xvfb -displayfd 5 -screen 0 640x480x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  echo $! >"$WINE_XVFB_PID_FILE"
  exec 5>&-
  for _ in $(seq 100); do [ -s "$WINE_DISPLAY_FILE.new" ] && break; sleep 0.1; done
  mv "$WINE_DISPLAY_FILE.new" "$WINE_DISPLAY_FILE"
  export DISPLAY=":$(cat "$WINE_DISPLAY_FILE")"
fi
need_wine
echo "wine prefix ready: $WINEPREFIX, display ${DISPLAY:-none}"
