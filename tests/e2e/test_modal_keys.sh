#!/usr/bin/env bash
# The keyboard with modals, as on a desktop: Enter closes the About box (its default button) and
# reaches nothing else; the open Help drop-down keeps the keyboard (typed keys do not reach the
# calculator, Ctrl+A opens nothing, Escape closes it); a box opened over the drop-down from
# outside closes the drop-down, so the next tap is not swallowed.
source "$(dirname "$0")/lib.sh"
[ -n "${QUORIX_SEND:-}" ] && [ -x "$QUORIX_SEND" ] || skip "quorix-send is not built"
start_x
reference "$E2E_DIR/start.png" ""
reference "$E2E_DIR/seven.png" "2 + 5 ="
reference "$E2E_DIR/eight.png" "8"
reference "$E2E_DIR/eighty-one.png" "8 1"
reference "$E2E_DIR/eight-twelve.png" "8 1 2"
start_quorix
wait_for 10 same_as "$E2E_DIR/start.png" || fail "the first picture is not the start-up screen"

keys 2 plus
keys ctrl+a
wait_title "Quorix のバージョン情報"
keys Return
wait_title "Quorix V3.12" 5
keys 5 equal
wait_for 10 same_as "$E2E_DIR/seven.png" || { shot enter; fail "Enter in the About box reached the calculator (2 + 5 = is not 7)"; }
keys Escape 8
wait_for 10 same_as "$E2E_DIR/eight.png" || fail "8 did not show"

tap menu1
wait_for 10 differs_from "$E2E_DIR/eight.png" || fail "tapping ヘルプ showed nothing"
keys 3 ctrl+a
sleep 0.5
title_is "Quorix V3.12" || fail "Ctrl+A opened '$(title)' over the drop-down"
keys Escape
wait_for 10 same_as "$E2E_DIR/eight.png" || { shot escape; fail "Escape did not just close the drop-down (or 3 reached the calculator)"; }
tap 1
wait_for 10 same_as "$E2E_DIR/eighty-one.png" || { shot tap-after; fail "the tap after the drop-down was swallowed"; }

tap menu1
wait_for 10 differs_from "$E2E_DIR/eighty-one.png" || fail "the Help menu did not open again"
"$QUORIX_SEND" about || fail "quorix-send about failed"
wait_title "Quorix のバージョン情報"
tap navok
wait_title "Quorix V3.12" 5
tap 2
wait_for 10 same_as "$E2E_DIR/eight-twelve.png" || { shot over-menu; fail "the About box over the drop-down left it holding the pen"; }

running || fail "the program ended"
end_quorix
note "Enter closes About; the drop-down keeps the keyboard and closes on Escape and under a new box"
