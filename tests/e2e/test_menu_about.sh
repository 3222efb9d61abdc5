#!/usr/bin/env bash
# The Help menu opens above the menu bar and closes when the pen lands elsewhere (that tap does
# nothing more); its "バージョン情報" item and Ctrl+A open the About box, whose navigation-bar ok closes it.
source "$(dirname "$0")/lib.sh"
start_x
reference "$E2E_DIR/start.png" ""
start_quorix
wait_for 10 same_as "$E2E_DIR/start.png" || fail "the first picture is not the start-up screen"
shot start

tap menu1
wait_for 10 differs_from "$E2E_DIR/start.png" || fail "tapping ヘルプ showed nothing"
shot help-menu
tap 5  # under the open menu's side: closes the menu, presses no key
wait_for 10 same_as "$E2E_DIR/start.png" || { shot menu-left; fail "a tap outside the menu did more than close it"; }

tap menu1
wait_for 10 differs_from "$E2E_DIR/start.png" || fail "the Help menu did not open again"
tap popup2
wait_title "Quorix のバージョン情報"
shot about
tap navok
wait_title "Quorix V3.12"
wait_for 10 same_as "$E2E_DIR/start.png" || fail "the screen is not as before the About box"

keys ctrl+a
wait_title "Quorix のバージョン情報"
tap navok
wait_title "Quorix V3.12"
end_quorix
note "Help menu and About box opened and closed"
