#!/usr/bin/env bash
# A screen reader uses the calculator through AT-SPI2 (see screen_reader.py for its side): on a
# private session bus with the accessibility bus and its registry, the program stays off the bus
# while accessibility is off, and once the session says it is on, a pyatspi client reads and
# presses the keys, follows the display, switches to HEX and opens the About box through the
# menu. Losing the accessibility bus then leaves the program running and answering the keyboard.
# Skips (77) without dbus-run-session, the bus launcher or python3-pyatspi.
if [ -z "${E2E_IN_SESSION:-}" ]; then
  for tool in dbus-run-session dbus-send; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (package dbus)"; exit 77; }
  done
  [ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }
  /usr/bin/python3 -c "import pyatspi, dbus" 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }
  # The session's services (the launcher keeps IsEnabled in dconf) get a home of their own.
  session_home=$(mktemp -d "${TMPDIR:-/tmp}/quorix-a11y-home.XXXXXX")
  status=0
  HOME="$session_home" XDG_CONFIG_HOME="$session_home/.config" XDG_CACHE_HOME="$session_home/.cache" \
    E2E_IN_SESSION=1 dbus-run-session -- bash "$0" "$@" || status=$?
  rm -rf "$session_home"
  exit "$status"
fi
source "$(dirname "$0")/lib.sh"
READER="$(dirname "$0")/screen_reader.py"
unset AT_SPI_BUS_ADDRESS QUORIX_ACCESSIBILITY
start_x

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_DIR/launcher.log" 2>&1 &
LAUNCHER=$!
E2E_PIDS+=("$LAUNCHER")
a11y_address() {
  dbus-send --session --dest=org.a11y.Bus --print-reply=literal /org/a11y/bus org.a11y.Bus.GetAddress
}
wait_for 10 a11y_address || fail "the accessibility bus did not start: $(cat "$E2E_DIR/launcher.log")"

# Off: the session has not turned accessibility on, and no bus is named on the root window (the
# launcher names the one it started there).
xprop -root -remove AT_SPI_BUS
start_quorix
timeout 30 /usr/bin/python3 "$READER" absent || fail "the program is on the bus while accessibility is off"
end_quorix

dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.freedesktop.DBus.Properties.Set \
  string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null || fail "cannot turn accessibility on"
start_quorix
QUORIX_PID=$QPID timeout 60 /usr/bin/python3 "$READER" use "$WIN" | tee "$E2E_DIR/reader.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the screen reader's walk failed (above)"
shot after-walk

# The accessibility bus goes away: the program says so once and goes on.
# Under the launcher that owns org.a11y.Bus: when the first GetAddress came before ours had taken
# the name, the session bus started a second launcher, and that one's bus is the one in use.
OWNER=$(dbus-send --session --dest=org.freedesktop.DBus --print-reply=literal /org/freedesktop/DBus \
  org.freedesktop.DBus.GetConnectionUnixProcessID string:org.a11y.Bus | awk '{print $2}') || true
BUS_DAEMON=$(pgrep -P "${OWNER:-$LAUNCHER}" dbus-daemon | head -n1) || true
[ -n "$BUS_DAEMON" ] || fail "no accessibility bus daemon under the launcher ${OWNER:-$LAUNCHER}"
"$QUORIX_PROBE" grab "$WIN" "$E2E_DIR/before.png"
kill "$BUS_DAEMON"
wait_for 10 grep -q "accessibility bus went away" "$E2E_DIR/quorix.err" || fail "the program did not notice the bus going"
keys 7
wait_for 10 differs_from "$E2E_DIR/before.png" || fail "the program stopped answering the keyboard without the bus"
running || fail "the program ended with the bus"
end_quorix
note "screen reader walk passed; the program outlived its accessibility bus"
