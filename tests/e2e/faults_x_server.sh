#!/usr/bin/env bash
# The X server goes away under the running calculator: it must end by itself within a few
# seconds, with a message on standard error and a failure status (not a signal), and withdraw
# its published window on the way out.
source "$(dirname "$0")/lib.sh"
start_x
start_quorix
wait_for 5 test -n "$(ls "$XDG_RUNTIME_DIR/quorix/" 2>/dev/null)" || fail "the window was never published"
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=""
wait_exit 5
[ "$EXIT_STATUS" -ne 0 ] || fail "the program ended with status 0 when its display went away"
[ "$EXIT_STATUS" -lt 128 ] || fail "the program died of a signal (status $EXIT_STATUS)"
[ -s "$E2E_DIR/quorix.err" ] || fail "nothing was said on standard error"
grep -qiE "display|connection|X server" "$E2E_DIR/quorix.err" || fail "the message does not say what went: $(cat "$E2E_DIR/quorix.err")"
if grep -qE "AddressSanitizer|runtime error|LeakSanitizer" "$E2E_DIR/quorix.err"; then fail "a sanitizer spoke up"; fi
[ -z "$(ls "$XDG_RUNTIME_DIR/quorix/" 2>/dev/null)" ] || fail "the published window was left behind: $(ls "$XDG_RUNTIME_DIR/quorix/")"
note "ended with status $EXIT_STATUS: $(head -n1 "$E2E_DIR/quorix.err")"
