#!/usr/bin/env bash
# Uninstall, reached only through quorix-send 40008: the help files and the registry subkey go
# and the message box says so. Sent again, with only the subkey gone, it shows the box again;
# with the whole key gone, it shows nothing.
source "$(dirname "$0")/lib.sh"
[ -n "${QUORIX_SEND:-}" ] && [ -x "$QUORIX_SEND" ] || skip "quorix-send is not built"
start_x
"$QUORIX_BIN" --setup || fail "set-up failed"
help_files() { find "$QUORIX_DEVICE_ROOT" -type f -iname 'quorix*.ht[cp]' | wc -l; }
[ "$(help_files)" -eq 7 ] || fail "set-up left $(help_files) help files, not 7"
[ "$("$QUORIX_PROBE" regkey)" = present ] || fail "set-up made no registry key"
reference "$E2E_DIR/start.png" ""
start_quorix
wait_for 10 same_as "$E2E_DIR/start.png" || fail "the first picture is not the start-up screen"

"$QUORIX_SEND" 40008 || fail "quorix-send could not deliver 40008"
wait_differs "$E2E_DIR/start.png" "no message box appeared"
keeps_title
shot message-box
[ "$(help_files)" -eq 0 ] || fail "$(help_files) help files are left"
[ "$("$QUORIX_PROBE" regkey)" = absent ] || fail "the registry subkey is still there"
keys Return
wait_same "$E2E_DIR/start.png" "the message box left something on the screen"

# The key is there, its subkey is not: the box comes all the same.
"$QUORIX_SEND" 40008 || fail "quorix-send could not deliver 40008 the second time"
wait_differs "$E2E_DIR/start.png" "no message box the second time"
keys Return
wait_same "$E2E_DIR/start.png" "the second message box did not close"

# No key at all: no box. The About box asked for next proves the queue was served; once it is
# closed, the screen must be the start-up screen again, with no box left behind it.
"$QUORIX_PROBE" regdel || fail "could not delete the registry key"
"$QUORIX_SEND" 40008 || fail "quorix-send could not deliver 40008 the third time"
"$QUORIX_SEND" 40003 || fail "quorix-send could not deliver 40003"
wait_differs "$E2E_DIR/start.png" "the About box did not come"
tap navok
wait_for 10 same_as "$E2E_DIR/start.png" || { shot after-third; fail "something is on the screen after the third uninstall"; }
running || fail "the program ended"
end_quorix
note "uninstall removed 7 files and the subkey; box again without the subkey; nothing without the key"
