#!/usr/bin/env bash
# Ends the run's wineserver and X server (see wine_prefix.sh).
. "$(dirname "$0")/lib.sh"
command -v wineserver >/dev/null && wineserver -k 2>/dev/null
[ -s "$WINE_XVFB_PID_FILE" ] && kill "$(cat "$WINE_XVFB_PID_FILE")" 2>/dev/null
rm -f "$WINE_DISPLAY_FILE" "$WINE_XVFB_PID_FILE"
exit 0
