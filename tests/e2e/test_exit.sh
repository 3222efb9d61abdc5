#!/usr/bin/env bash
# Ctrl+Q ends the program with exit status 0, and so does closing the desktop window, even
# while the About box is open.
source "$(dirname "$0")/lib.sh"
start_x
start_quorix
keys ctrl+q
wait_exit 15
[ "$EXIT_STATUS" = 0 ] || fail "Ctrl+Q ended with status $EXIT_STATUS"

start_quorix
"$QUORIX_PROBE" close "$WIN"
wait_exit 15
[ "$EXIT_STATUS" = 0 ] || fail "closing the window ended with status $EXIT_STATUS"

# Closed while the About box is up: the box goes with the main window.
start_quorix
keys ctrl+a
wait_title "Quorix のバージョン情報"
"$QUORIX_PROBE" close "$WIN"
wait_exit 15
[ "$EXIT_STATUS" = 0 ] || fail "closing the window over the About box ended with status $EXIT_STATUS"
note "Ctrl+Q and the close button (also over the About box) end with status 0"
