#!/usr/bin/env bash
# Taps on the face's keys in the real window reach the calculator: after "1 + 2 =" the window
# shows, pixel for pixel, what the headless program draws for those keys. Scale 2, so the
# mouse-to-device mapping is exercised too. Three times: on a server with MIT-SHM; on one without
# it, as a remote display is, where the frames go in plain PutImage requests; and under a window
# manager that frames the window and shows it late, so that the picture sent with the map request
# is lost and only answering the window manager's Expose shows the face.
source "$(dirname "$0")/lib.sh"
SCALE=2
reference "$E2E_DIR/start.png" ""
reference "$E2E_DIR/three.png" "1 + 2 ="
reference "$E2E_DIR/four.png" "1 + 3 ="
taps_show() {
  local what=$1
  start_x
  if [ "$what" = window-manager ]; then
    "$QUORIX_PROBE" frame-wm 60 >"$E2E_DIR/wm" &
    E2E_PIDS+=("$!")
    wait_for 10 test -s "$E2E_DIR/wm" || fail "the window manager did not start"
  fi
  start_quorix
  if [ "$what" = window-manager ]; then
    local parent root
    parent=$(xwininfo -tree -id "$WIN" | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
    [ -n "$parent" ] && [ "$parent" != "$root" ] || fail "the window manager did not frame the window"
  fi
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
taps_show window-manager
note "1 + 2 = tapped and shown, with and without MIT-SHM, and under a window manager"
