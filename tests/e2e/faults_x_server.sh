#!/usr/bin/env bash
# The X server goes away under the running calculator: it must end by itself within a few
# seconds, with a message on standard error and a failure status (not a signal), and withdraw
# its published window on the way out. Twice: while idle, and in the middle of a paste that a
# silent clipboard owner leaves waiting.
source "$(dirname "$0")/lib.sh"

# Published windows are sockets; the start lock beside them stays on purpose.
sockets() { find "$XDG_RUNTIME_DIR/quorix/" -name '*.sock' 2>/dev/null; }

server_goes_away() {
  local what=$1
  kill "$XVFB_PID"
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
  wait_exit 5
  [ "$EXIT_STATUS" -ne 0 ] || fail "$what: the program ended with status 0 when its display went away"
  [ "$EXIT_STATUS" -lt 128 ] || fail "$what: the program died of a signal (status $EXIT_STATUS)"
  [ -s "$E2E_DIR/quorix.err" ] || fail "$what: nothing was said on standard error"
  # The program's own line, not Xlib's default one (which would mean our handler was never installed).
  grep -q "^quorix: lost the connection to the display" "$E2E_DIR/quorix.err" ||
    fail "$what: the message is not the program's own: $(cat "$E2E_DIR/quorix.err")"
  if grep -qE "AddressSanitizer|runtime error|LeakSanitizer" "$E2E_DIR/quorix.err"; then fail "$what: a sanitizer spoke up"; fi
  [ -z "$(sockets)" ] || fail "$what: the published window was left behind: $(sockets)"
  note "$what: ended with status $EXIT_STATUS: $(head -n1 "$E2E_DIR/quorix.err")"
}

start_x
start_quorix
wait_for 5 test -n "$(sockets)" || fail "the window was never published"
server_goes_away "idle"

start_x
start_quorix
"$QUORIX_PROBE" mute-owner 30 >"$E2E_DIR/mute" &
E2E_PIDS+=("$!")
wait_for 10 test -s "$E2E_DIR/mute" || fail "the silent owner did not take the clipboard"
keys ctrl+v
server_goes_away "pasting"
