#!/usr/bin/env bash
# Ctrl+Q ends the program with exit status 0, and so does closing the desktop window, even
# while the About box is open.
source "$(dirname "$0")/lib.sh"
start_x
reference "$E2E_DIR/start.png" ""
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
wait_same "$E2E_DIR/start.png" "the first picture is not the start-up screen"
keys ctrl+a
wait_differs "$E2E_DIR/start.png" "Ctrl+A showed no About box"
keeps_title
"$QUORIX_PROBE" close "$WIN"
wait_exit 15
[ "$EXIT_STATUS" = 0 ] || fail "closing the window over the About box ended with status $EXIT_STATUS"
note "Ctrl+Q and the close button (also over the About box) end with status 0"
