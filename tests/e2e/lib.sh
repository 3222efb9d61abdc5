# Shared by the end-to-end tests: a private X server and device for each test, the program in a
# real window, and waits that give up after a while instead of hanging.
# Needs QUORIX_BIN and QUORIX_PROBE (ctest sets them); QUORIX_SEND may be empty. QUORIX_BACKEND
# (x11 or sdl) is the desktop backend under test; every window started is checked to be its.
set -euo pipefail

E2E_BACKEND=${QUORIX_BACKEND:-}
E2E_NAME=$(basename "$0" .sh)${E2E_BACKEND:+-$E2E_BACKEND}
E2E_SKIP=77

skip() { echo "SKIP: $*"; exit "$E2E_SKIP"; }
fail() {
  echo "FAIL: $*" >&2
  if [ -n "${E2E_DIR:-}" ] && [ -s "$E2E_DIR/quorix.err" ]; then
    echo "--- the program's standard error:" >&2
    head -n 60 "$E2E_DIR/quorix.err" >&2
  fi
  exit 1
}
note() { echo "$E2E_NAME: $*"; }

[ -n "${QUORIX_BIN:-}" ] && [ -x "$QUORIX_BIN" ] || fail "QUORIX_BIN is not set to the program"
[ -n "${QUORIX_PROBE:-}" ] && [ -x "$QUORIX_PROBE" ] || fail "QUORIX_PROBE is not set to the probe"
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"

E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quorix-e2e.XXXXXX")
E2E_SHOTS=${QUORIX_E2E_SHOTS:-$E2E_DIR/shots}
mkdir -p "$E2E_SHOTS"
E2E_PIDS=()
XVFB_PID=""

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

# A private user: runtime directory (the published windows live there), device root and home.
mkdir -m 700 "$E2E_DIR/run"
mkdir -p "$E2E_DIR/device" "$E2E_DIR/home"
export XDG_RUNTIME_DIR="$E2E_DIR/run" QUORIX_DEVICE_ROOT="$E2E_DIR/device" HOME="$E2E_DIR/home"
unset WAYLAND_DISPLAY XDG_DATA_HOME
export LC_ALL=C.UTF-8
# In a sanitizer build, leaks of the desktop's libraries are not ours to report.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp"

# Runs "$@" until it succeeds, at most $1 seconds (in tenths).
wait_for() {
  local seconds=$1; shift
  local tries=$((seconds * 10))
  while ! "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Xvfb picks a free display itself (-displayfd), so tests in other build trees never collide;
# E2E_SCREEN may ask for another screen than 1024x768x24, E2E_XVFB_ARGS for more options;
# a server that does not answer (a display number still being given up by another) is replaced.
start_x() {
  local attempt
  for attempt in 1 2 3; do
    : >"$E2E_DIR/display"
    # -noreset: an X server resets when its last client leaves, and a client connecting meanwhile
    # (a test's xdotool after xdpyinfo and the bus launcher have come and gone) is refused.
    # shellcheck disable=SC2086
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset ${E2E_XVFB_ARGS:-} 3>"$E2E_DIR/display" 2>"$E2E_DIR/xvfb.log" &
    XVFB_PID=$!
    if wait_for 15 test -s "$E2E_DIR/display"; then
      export DISPLAY=":$(head -n1 "$E2E_DIR/display")"
      wait_for 10 xdpyinfo && return 0
    fi
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  done
  fail "no X server could be started: $(cat "$E2E_DIR/xvfb.log")"
}

# Ends the X server start_x started.
stop_x() {
  [ -n "$XVFB_PID" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

# Starts the program in a window at scale $SCALE; sets QPID and WIN.
SCALE=1
start_quorix() {
  "$QUORIX_BIN" --scale "$SCALE" >"$E2E_DIR/quorix.out" 2>"$E2E_DIR/quorix.err" &
  QPID=$!
  E2E_PIDS+=("$QPID")
  WIN=$(timeout 20 xdotool search --sync --onlyvisible --class quorix | head -n1) || true
  [ -n "$WIN" ] || fail "no quorix window appeared: $(cat "$E2E_DIR/quorix.err")"
  shown_by "${QUORIX_BACKEND:-}" || fail "the window is not shown by the ${QUORIX_BACKEND:-} backend"
}

# The running program's window is shown by backend $1 (x11 or sdl; empty: either): only SDL2's
# window maps libSDL2.
shown_by() {
  local sdl=no
  grep -q 'libSDL2' "/proc/$QPID/maps" 2>/dev/null && sdl=yes
  case "$1" in
    x11) [ "$sdl" = no ] ;;
    sdl) [ "$sdl" = yes ] ;;
    *) true ;;
  esac
}

# The program has not ended (an ended child not yet waited for does not count as running).
running() {
  local state
  state=$(ps -o stat= -p "$QPID" 2>/dev/null) && [ "${state#Z}" = "$state" ]
}
ended() { ! running; }

# Waits at most $1 seconds for the program to end and sets EXIT_STATUS.
wait_exit() {
  wait_for "$1" ended || fail "quorix did not end within $1 s"
  EXIT_STATUS=0
  wait "$QPID" || EXIT_STATUS=$?
}

# Closes the window as a window manager would; the program must end with status 0 (in a
# sanitizer build, a report ends it otherwise).
end_quorix() {
  "$QUORIX_PROBE" close "$WIN"
  wait_exit 15
  [ "$EXIT_STATUS" = 0 ] || fail "the program ended with status $EXIT_STATUS"
}

title() { xdotool getwindowname "$WIN"; }
title_is() { [ "$(title)" = "$1" ]; }
# The desktop title names the program whatever dialog is up on the device screen.
keeps_title() { title_is "Quorix V3.12" || fail "the desktop title became '$(title)'"; }

# Device coordinates of the probe's layout names, one "x y" line each.
where() { "$QUORIX_PROBE" layout "$@"; }

# Taps the device point (x, y): the centre of that device pixel in the window.
tap_at() {
  xdotool mousemove --window "$WIN" $(($1 * SCALE + SCALE / 2)) $(($2 * SCALE + SCALE / 2)) click 1
}
tap() {
  local x y
  read -r x y < <(where "$1") || fail "no layout for '$1'"
  tap_at "$x" "$y"
}

shot() { "$QUORIX_PROBE" grab "$WIN" "$E2E_SHOTS/$E2E_NAME-$1.png"; }
# The window's picture equals (or differs from) a PNG file of the same size.
same_as() { "$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/now.png" && "$QUORIX_PROBE" compare "$E2E_DIR/now.png" "$1"; }
differs_from() { "$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/now.png" && ! "$QUORIX_PROBE" compare "$E2E_DIR/now.png" "$1"; }
# Waits for the picture to become (or stop being) the PNG file $1; fails with $2.
wait_same() { wait_for 10 same_as "$1" || { shot "${3:-mismatch}"; fail "$2"; }; }
wait_differs() { wait_for 10 differs_from "$1" || { shot "${3:-unchanged}"; fail "$2"; }; }
# The device screen after these key tokens, as the headless program draws it.
reference() {
  "$QUORIX_BIN" --headless --keys "$2" --scale "$SCALE" --screenshot "$1" >/dev/null || fail "headless reference failed"
}
keys() {
  timeout 5 xdotool windowfocus --sync "$WIN" 2>/dev/null || true
  xdotool key --delay 30 "$@"
}
