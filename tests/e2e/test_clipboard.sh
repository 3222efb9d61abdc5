#!/usr/bin/env bash
# The desktop's clipboard through a real X client (xclip), both ways: Ctrl+C hands the number
# shown to xclip, as UTF8_STRING and as STRING, again after the number changed; Ctrl+V takes what
# xclip holds. A clipboard owner that never answers changes nothing and does not hold the
# window up.
source "$(dirname "$0")/lib.sh"
command -v xclip >/dev/null || skip "xclip is not installed"
start_x
reference "$E2E_DIR/fifteen.png" "1 2 + 3 ="
reference "$E2E_DIR/pasted.png" "4 3 2 1 . 5"
reference "$E2E_DIR/pasted-7.png" "4 3 2 1 . 5 7"
start_quorix
for key in 1 2 + 3 =; do tap "$key"; done
wait_same "$E2E_DIR/fifteen.png" "the keys did not give 15"
clip() { timeout 5 xclip -o -selection clipboard "$@" 2>/dev/null; }
clip_is() { [ "$(clip -t "$1")" = "$2" ]; }
keys ctrl+c
wait_for 5 clip_is UTF8_STRING 15 || fail "xclip read '$(clip)' after Ctrl+C, not 15"
# SDL2's own selection offers UTF8_STRING and TEXT, not STRING.
[ "$E2E_BACKEND" = sdl ] || clip_is STRING 15 || fail "as STRING the clipboard holds '$(clip -t STRING)'"
tap 7
keys ctrl+c
wait_for 5 clip_is UTF8_STRING 7 || fail "after the number changed xclip read '$(clip)', not 7"

# xclip owns the clipboard now, in the foreground, until it is ended.
printf '  4,321.5\n' | xclip -i -selection clipboard -quiet >/dev/null 2>&1 &
E2E_PIDS+=("$!")
wait_for 5 clip_is UTF8_STRING "  4,321.5" || fail "xclip did not take the clipboard"
keys ctrl+v
wait_same "$E2E_DIR/pasted.png" "Ctrl+V did not show the pasted 4,321.5" paste

"$QUORIX_PROBE" mute-owner 30 >"$E2E_DIR/mute" &
E2E_PIDS+=("$!")
wait_for 10 test -s "$E2E_DIR/mute" || fail "the silent owner did not take the clipboard"
keys ctrl+v
tap 7  # answered at once, whatever the paste is still waiting for
wait_same "$E2E_DIR/pasted-7.png" "after a paste nobody answered, the window is not as expected" mute
running || fail "the program ended"
end_quorix
note "copied 15 and 7, pasted 4,321.5; an owner that never answers changed nothing"
