#!/usr/bin/env bash
# The Help menu opens above the menu bar and closes when the pen lands elsewhere (that tap does
# nothing more); its "バージョン情報" item and Ctrl+A open the About box, whose navigation-bar ok
# closes it. The desktop title names the program all the while.
source "$(dirname "$0")/lib.sh"
start_x
reference "$E2E_DIR/start.png" ""
start_quorix
wait_same "$E2E_DIR/start.png" "the first picture is not the start-up screen"
shot start
tap menu1
wait_differs "$E2E_DIR/start.png" "tapping ヘルプ showed nothing"
sleep 0.3
"$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/menu.png"
shot help-menu
tap 5  # under the open menu's side: closes the menu, presses no key
wait_same "$E2E_DIR/start.png" "a tap outside the menu did more than close it" menu-left
tap menu1
wait_same "$E2E_DIR/menu.png" "the Help menu did not open again"
tap popup2
about_up() { differs_from "$E2E_DIR/start.png" && differs_from "$E2E_DIR/menu.png"; }
wait_for 10 about_up || { shot no-about; fail "バージョン情報 showed no About box"; }
sleep 0.3
"$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/about.png"
shot about
keeps_title
tap navok
wait_same "$E2E_DIR/start.png" "the screen is not as before the About box"
keys ctrl+a
wait_same "$E2E_DIR/about.png" "Ctrl+A did not show the About box"
keeps_title
tap navok
wait_same "$E2E_DIR/start.png" "the About box opened by Ctrl+A did not close"
end_quorix
note "Help menu and About box opened and closed"
