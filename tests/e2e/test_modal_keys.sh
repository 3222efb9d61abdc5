#!/usr/bin/env bash
# The keyboard with modals, as on a desktop: Enter closes the About box (its default button) and
# reaches nothing else; the open Help drop-down keeps the keyboard (typed keys do not reach the
# calculator, Ctrl+A opens nothing, Escape closes it); a box opened over the drop-down from
# outside closes the drop-down, so the next tap is not swallowed.
source "$(dirname "$0")/lib.sh"
[ -n "${QUORIX_SEND:-}" ] && [ -x "$QUORIX_SEND" ] || skip "quorix-send is not built"
start_x
reference "$E2E_DIR/start.png" ""
reference "$E2E_DIR/two-plus.png" "2 +"
reference "$E2E_DIR/seven.png" "2 + 5 ="
reference "$E2E_DIR/eight.png" "8"
reference "$E2E_DIR/eighty-one.png" "8 1"
reference "$E2E_DIR/eight-twelve.png" "8 1 2"
start_quorix
wait_for 10 same_as "$E2E_DIR/start.png" || fail "the first picture is not the start-up screen"

keys 2 plus
wait_same "$E2E_DIR/two-plus.png" "2 + did not show"
keys ctrl+a
wait_differs "$E2E_DIR/two-plus.png" "Ctrl+A showed no About box"
keys Return
wait_same "$E2E_DIR/two-plus.png" "Enter did not close the About box" enter-about
keys 5 equal
wait_for 10 same_as "$E2E_DIR/seven.png" || { shot enter; fail "Enter in the About box reached the calculator (2 + 5 = is not 7)"; }
keys Escape 8
wait_for 10 same_as "$E2E_DIR/eight.png" || fail "8 did not show"

tap menu1
wait_for 10 differs_from "$E2E_DIR/eight.png" || fail "tapping ヘルプ showed nothing"
sleep 0.3
"$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/menu.png"
keys 3 ctrl+a
sleep 0.5
same_as "$E2E_DIR/menu.png" || { shot ctrl-a-menu; fail "3 or Ctrl+A changed the screen under the open drop-down"; }
keys Escape
wait_for 10 same_as "$E2E_DIR/eight.png" || { shot escape; fail "Escape did not just close the drop-down (or 3 reached the calculator)"; }
tap 1
wait_for 10 same_as "$E2E_DIR/eighty-one.png" || { shot tap-after; fail "the tap after the drop-down was swallowed"; }

tap menu1
wait_for 10 differs_from "$E2E_DIR/eighty-one.png" || fail "the Help menu did not open again"
sleep 0.3
"$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/menu-again.png"
"$QUORIX_SEND" about || fail "quorix-send about failed"
wait_differs "$E2E_DIR/menu-again.png" "quorix-send about showed no About box"
tap navok
wait_same "$E2E_DIR/eighty-one.png" "the About box over the drop-down did not close with the drop-down" about-over-menu
tap 2
wait_for 10 same_as "$E2E_DIR/eight-twelve.png" || { shot over-menu; fail "the About box over the drop-down left it holding the pen"; }

running || fail "the program ended"
end_quorix
note "Enter closes About; the drop-down keeps the keyboard and closes on Escape and under a new box"
