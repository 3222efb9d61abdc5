#!/usr/bin/env bash
# The usual signals end the window as closing it would: its published socket is removed, and the
# status is 128 + the signal's number.
source "$(dirname "$0")/lib.sh"
start_x
sockets() { find "$XDG_RUNTIME_DIR" -name '*.sock' 2>/dev/null | wc -l; }
for signal in TERM INT HUP QUIT; do
  start_quorix
  wait_for 10 test "$(sockets)" -eq 1 || fail "the window was not published"
  kill -s "$signal" "$QPID"
  wait_exit 10
  [ "$EXIT_STATUS" = $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: status $EXIT_STATUS"
  [ "$(sockets)" -eq 0 ] || fail "SIG$signal left a socket: $(find "$XDG_RUNTIME_DIR" -name '*.sock')"
done
note "TERM, INT, HUP and QUIT each closed the window and removed its socket"
