#!/usr/bin/env bash
# A second start brings the running copy's window to the front and ends with status 0 without a
# window of its own, and the window shows its face again where the covering window was.
source "$(dirname "$0")/lib.sh"
start_x
start_quorix
first=$WIN
"$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/before.png"
"$QUORIX_PROBE" cover 30 >"$E2E_DIR/cover" &
E2E_PIDS+=("$!")
wait_for 10 test -s "$E2E_DIR/cover" || fail "the covering window did not appear"
wait_for 5 sh -c "! '$QUORIX_PROBE' top $first" || fail "the covering window is not above quorix"

status=0
timeout 20 "$QUORIX_BIN" --scale 1 >"$E2E_DIR/second.out" 2>&1 || status=$?
[ "$status" = 0 ] || fail "the second start ended with status $status: $(cat "$E2E_DIR/second.out")"
wait_for 10 "$QUORIX_PROBE" top "$first" || fail "the first copy's window was not brought to the front"
count=$(xdotool search --class quorix | wc -l)
[ "$count" -eq 1 ] || fail "$count quorix windows exist"
running || fail "the first copy ended"
wait_for 5 same_as "$E2E_DIR/before.png" || fail "the raised window did not show its face again"
end_quorix
note "second start raised the first window, which showed its face again, and left"
