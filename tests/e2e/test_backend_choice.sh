#!/usr/bin/env bash
# Which backend shows the window when none is asked for. The x11 run: X11 itself, also when
# QUORIX_BACKEND names neither backend (said in one line). The sdl run: SDL2, on a 16-bit
# screen that the X11 window cannot draw on.
source "$(dirname "$0")/lib.sh"
[ "$E2E_BACKEND" = sdl ] && E2E_SCREEN=800x600x16
start_x
asked=$E2E_BACKEND
unset QUORIX_BACKEND
start_quorix
shown_by "$asked" || fail "with QUORIX_BACKEND unset, the window is not shown by $asked"
[ ! -s "$E2E_DIR/quorix.err" ] || fail "something was said: $(cat "$E2E_DIR/quorix.err")"
end_quorix
if [ "$asked" = x11 ]; then
  export QUORIX_BACKEND=wayland
  start_quorix
  shown_by x11 || fail "with QUORIX_BACKEND=wayland, the window is not shown by x11"
  [ "$(wc -l <"$E2E_DIR/quorix.err")" = 1 ] && grep -q "QUORIX_BACKEND='wayland'" "$E2E_DIR/quorix.err" ||
    fail "not one line about the unknown backend: $(cat "$E2E_DIR/quorix.err")"
  end_quorix
fi
note "unset: $asked"
