#!/usr/bin/env bash
# Taps on the face's keys in the real window reach the calculator: after "1 + 2 =" the window
# shows, pixel for pixel, what the headless program draws for those keys. Scale 2, so the
# mouse-to-device mapping is exercised too.
source "$(dirname "$0")/lib.sh"
start_x
SCALE=2
reference "$E2E_DIR/start.png" ""
reference "$E2E_DIR/three.png" "1 + 2 ="
reference "$E2E_DIR/four.png" "1 + 3 ="
start_quorix
wait_for 10 same_as "$E2E_DIR/start.png" || fail "the first picture is not the start-up screen"
for key in 1 + 2 =; do tap "$key"; done
wait_for 10 same_as "$E2E_DIR/three.png" || { shot taps-wrong; fail "after tapping 1 + 2 = the window differs from the headless picture"; }
differs_from "$E2E_DIR/four.png" >/dev/null || fail "the picture of 1 + 3 = matches too: the comparison proves nothing"
shot after-1-plus-2
end_quorix
note "1 + 2 = tapped and shown"
