#!/usr/bin/env bash
# Typing through the keyboard's real layout: on a French keyboard the digits are shifted and
# "*" and "=" are elsewhere than on a US one, and Ctrl+A is the key a US keyboard calls Q. The
# typed sum reaches the face's keys, a held key taps once, Ctrl+A opens the About box (not
# Exit), and Ctrl+Q ends the program.
source "$(dirname "$0")/lib.sh"
command -v setxkbmap >/dev/null || skip "setxkbmap is not installed (x11-xkb-utils)"
start_x
setxkbmap fr 2>/dev/null || skip "no French layout (xkb-data)"
reference "$E2E_DIR/product.png" "7 * 6 ="
reference "$E2E_DIR/one.png" "7 * 6 = 1"
start_quorix
timeout 5 xdotool windowfocus --sync "$WIN" 2>/dev/null || true
xdotool type --delay 60 "7*6="
wait_same "$E2E_DIR/product.png" "typing 7*6= on a French layout did not give 42" product
xdotool keydown 1
sleep 1  # past the server's repeat delay
xdotool keyup 1
wait_same "$E2E_DIR/one.png" "a held 1 did not type exactly one 1" held
keys ctrl+a
wait_differs "$E2E_DIR/one.png" "Ctrl+A on a French layout showed no About box" ctrl-a
running || fail "Ctrl+A on a French layout ended the program (it was taken as Ctrl+Q)"
keeps_title
tap navok
wait_same "$E2E_DIR/one.png" "the About box did not close"
keys ctrl+q
wait_exit 15
[ "$EXIT_STATUS" = 0 ] || fail "Ctrl+Q ended with status $EXIT_STATUS"
note "typed 7*6= and a held 1 on a French layout; Ctrl+A and Ctrl+Q as labelled"
