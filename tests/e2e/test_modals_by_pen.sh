#!/usr/bin/env bash
# Every modal closes by pen alone, at once: the Uninstall message box by its OK, the About box by
# the navigation bar's ok, the Help drop-down by a tap beside it. After each, one digit typed
# reaches the calculator once and nothing else: the screen is then exactly the headless picture
# of that digit.
source "$(dirname "$0")/lib.sh"
[ -n "${QUORIX_SEND:-}" ] && [ -x "$QUORIX_SEND" ] || skip "quorix-send is not built"
start_x
"$QUORIX_BIN" --setup || fail "set-up failed"
reference "$E2E_DIR/start.png" ""
reference "$E2E_DIR/five.png" "5"
start_quorix
wait_for 10 same_as "$E2E_DIR/start.png" || fail "the first picture is not the start-up screen"

# Types 5 and expects the face to show just that, then clears it with Escape (C/CE).
five_then_clear() {
  keys 5
  wait_for 10 same_as "$E2E_DIR/five.png" || { shot "after-$1"; fail "after closing $1 by pen, 5 did not show 5 alone"; }
  keys Escape
  wait_for 10 same_as "$E2E_DIR/start.png" || fail "Escape after $1 did not clear the display"
}

"$QUORIX_SEND" 40008 || fail "quorix-send could not deliver 40008"
wait_differs "$E2E_DIR/start.png" "Uninstall showed no message box"
tap boxok
wait_same "$E2E_DIR/start.png" "the message box did not close at once on its OK" box-left
five_then_clear "the message box"

tap menu1
wait_for 10 differs_from "$E2E_DIR/start.png" || fail "tapping ヘルプ showed nothing"
sleep 0.3
"$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/menu.png"
tap popup2
about_up() { differs_from "$E2E_DIR/start.png" && differs_from "$E2E_DIR/menu.png"; }
wait_for 10 about_up || { shot no-about; fail "バージョン情報 showed no About box"; }
tap navok
wait_same "$E2E_DIR/start.png" "the About box did not close on the navigation bar's ok" about-left
five_then_clear "the About box"

tap menu1
wait_for 10 differs_from "$E2E_DIR/start.png" || fail "the Help menu did not open"
tap 9  # beside the drop-down: closes it, presses nothing
wait_for 10 same_as "$E2E_DIR/start.png" || { shot menu-left; fail "the tap beside the drop-down did more than close it"; }
five_then_clear "the drop-down"

running || fail "the program ended"
end_quorix
note "message box, About box and drop-down each closed by pen; the next key reached the calculator alone"
