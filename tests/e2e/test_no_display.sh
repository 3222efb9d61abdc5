#!/usr/bin/env bash
# Without a display the program says so in one line, names the headless way, and ends with 1.
source "$(dirname "$0")/lib.sh"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$QUORIX_BIN" >"$E2E_DIR/out" 2>"$E2E_DIR/err" || status=$?
[ "$status" = 1 ] || fail "status $status without a display"
[ "$(wc -l <"$E2E_DIR/err")" -eq 1 ] || fail "expected one line: $(cat "$E2E_DIR/err")"
grep -q -- "--headless" "$E2E_DIR/err" || fail "the line does not show the headless way: $(cat "$E2E_DIR/err")"
[ ! -s "$E2E_DIR/out" ] || fail "something went to standard output"
note "$(cat "$E2E_DIR/err")"
