#!/usr/bin/env bash
# Taps on the face's keys in the real window reach the calculator: after "1 + 2 =" the window
# shows, pixel for pixel, what the headless program draws for those keys. Scale 2, so the
# mouse-to-device mapping is exercised too. Twice: on a server with MIT-SHM, and on one without
# it, as a remote display is, where the frames go in plain PutImage requests.
source "$(dirname "$0")/lib.sh"
SCALE=2
reference "$E2E_DIR/start.png" ""
reference "$E2E_DIR/three.png" "1 + 2 ="
reference "$E2E_DIR/four.png" "1 + 3 ="
taps_show() {
  local what=$1
  start_x
  start_quorix
  wait_same "$E2E_DIR/start.png" "$what: the first picture is not the start-up screen"
  for key in 1 + 2 =; do tap "$key"; done
  wait_same "$E2E_DIR/three.png" "$what: after tapping 1 + 2 = the window differs from the headless picture" "$what"
  differs_from "$E2E_DIR/four.png" >/dev/null || fail "the picture of 1 + 3 = matches too: the comparison proves nothing"
  shot "$what-after-1-plus-2"
  end_quorix
  stop_x
}
taps_show shm
E2E_XVFB_ARGS="-extension MIT-SHM" taps_show no-shm
note "1 + 2 = tapped and shown, with and without MIT-SHM"
