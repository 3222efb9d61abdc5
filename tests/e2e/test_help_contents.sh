#!/usr/bin/env bash
# "目次..." starts the help viewer on the help index, anew each time: a recorder stands in for
# the viewer and writes down what it was given.
source "$(dirname "$0")/lib.sh"
start_x
"$QUORIX_BIN" --setup || fail "set-up failed"
export QUORIX_HELP_VIEWER="$(dirname "$0")/viewer_recorder.sh" QUORIX_VIEWER_LOG="$E2E_DIR/viewer.log"
start_quorix
viewer_starts() { if [ -f "$QUORIX_VIEWER_LOG" ]; then wc -l <"$QUORIX_VIEWER_LOG"; else echo 0; fi; }
started_at_least() { [ "$(viewer_starts)" -ge "$1" ]; }
for round in 1 2; do
  tap menu1
  sleep 0.3
  tap popup0
  wait_for 10 started_at_least "$round" || fail "the viewer was not started (round $round)"
done
[ "$(wc -l <"$QUORIX_VIEWER_LOG")" -eq 2 ] || fail "expected two viewer starts: $(cat "$QUORIX_VIEWER_LOG")"
while read -r page; do
  [ "$(basename "$page")" = quorix-index.htc ] || fail "the viewer got '$page', not the help index"
  case "$page" in "$QUORIX_DEVICE_ROOT"/*) ;; *) fail "'$page' is not in the device";; esac
  [ -f "$page" ] || fail "'$page' does not exist"
done <"$QUORIX_VIEWER_LOG"
title_is "Quorix V3.12" || fail "the program's window changed: $(title)"
end_quorix
note "the viewer started twice with $(head -n1 "$QUORIX_VIEWER_LOG")"
