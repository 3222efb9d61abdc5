#!/usr/bin/env bash
# Help asked for when the viewer cannot be started (a missing program), and when the device root
# cannot hold the help pages: the calculator goes on, still computes, and ends normally.
source "$(dirname "$0")/lib.sh"
start_x
SCALE=2

check_goes_on() {
  local what=$1
  start_quorix
  tap menu1
  sleep 0.3
  tap popup0
  sleep 1
  running || fail "$what: the program ended (status $(wait "$QPID"; echo $?))"
  reference "$E2E_DIR/expected.png" "1 2 + 3 ="
  for key in 1 2 + 3 =; do tap "$key"; done
  wait_for 5 same_as "$E2E_DIR/expected.png" || { shot "$what"; fail "$what: the face does not show 15 after the keys"; }
  end_quorix
  note "$what: went on"
}

"$QUORIX_BIN" --setup || fail "set-up failed"
QUORIX_HELP_VIEWER=/nonexistent/viewer check_goes_on "missing viewer"
QUORIX_DEVICE_ROOT=/proc/self/quorix-device QUORIX_HELP_VIEWER=/bin/true check_goes_on "unusable device root"
