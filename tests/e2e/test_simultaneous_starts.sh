#!/usr/bin/env bash
# Two starts at the same moment (a double-click on a launcher) open one window: the other start
# finds it and ends with status 0. A headless copy waiting for commands is not the running copy
# of the desktop: a desktop start still opens its window.
source "$(dirname "$0")/lib.sh"
[ -n "${QUORIX_SEND:-}" ] && [ -x "$QUORIX_SEND" ] || skip "quorix-send is not built"
start_x
windows() { xdotool search --onlyvisible --class quorix 2>/dev/null | wc -l; }
no_windows() { [ "$(windows)" -eq 0 ]; }
ended_pid() { local s; ! s=$(ps -o stat= -p "$1" 2>/dev/null) || [ "${s#Z}" != "$s" ]; }

ROUNDS=${QUORIX_E2E_ROUNDS:-12}
for round in $(seq "$ROUNDS"); do
  "$QUORIX_BIN" --scale 1 >"$E2E_DIR/a.err" 2>&1 & a=$!
  "$QUORIX_BIN" --scale 1 >"$E2E_DIR/b.err" 2>&1 & b=$!
  E2E_PIDS+=("$a" "$b")
  # One of the two finds the other's window and leaves; the other keeps its window.
  wait_for 20 sh -c "! ps -o stat= -p $a >/dev/null || ! ps -o stat= -p $b >/dev/null || \
    ps -o stat= -p $a | grep -q Z || ps -o stat= -p $b | grep -q Z" || {
    fail "round $round: both starts are still running, with $(windows) windows"; }
  if ended_pid "$a"; then left=$a; stays=$b; else left=$b; stays=$a; fi
  status=0; wait "$left" || status=$?
  [ "$status" = 0 ] || fail "round $round: the start that left ended with status $status"
  WIN=$(timeout 20 xdotool search --sync --onlyvisible --class quorix | head -n1)
  sleep 0.2
  [ "$(windows)" -eq 1 ] || fail "round $round: $(windows) windows are open"
  QPID=$stays
  end_quorix
  wait_for 10 no_windows || fail "round $round: a window is left after closing"
done
note "$ROUNDS rounds of two simultaneous starts: one window each time"

"$QUORIX_BIN" --headless >"$E2E_DIR/headless.out" 2>&1 &
headless=$!
E2E_PIDS+=("$headless")
wait_for 10 "$QUORIX_SEND" 1019 || fail "the headless copy never answered"
start_quorix
running || fail "the desktop start ended instead of opening its window"
"$QUORIX_SEND" exit || fail "quorix-send exit failed"
wait_exit 10
"$QUORIX_SEND" exit || fail "the headless copy did not take exit after the window ended"
wait_for 10 ended_pid "$headless" || fail "the headless copy did not end"
note "a headless copy did not stop the desktop window"
