#!/usr/bin/env bash
# The Windows build's real window under Wine on the run's Xvfb: it opens with the handheld's work
# area (client area and menu bar 240 x 294), keys tapped with the pen (xdotool) and typed on the
# keyboard work, and the face has the geometry of the Linux build's headless screenshot after the
# same keys (text aside); a second start and quorix-send find it; Ctrl+Q ends the run with 0.
# usage: window.sh QUORIX.EXE LINUX_BUILD_DIR SOURCE_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
need_wine
exe=$1 linux=$2/quorix probe=$2/quorix_e2e_probe src=$3
[ -x "$linux" ] && [ -x "$probe" ] || { echo "no Linux build with its probe in $2: skipped"; exit 77; }
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "Xvfb or xdotool missing: skipped"; exit 77; }
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

if [ ! -s "$WINE_DISPLAY_FILE" ]; then
  # Run alone: an X server of its own, and a wineserver session whose desktop draws on it.
  exec 5>"$work/display"
  Xvfb -displayfd 5 -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$work/display")"
  wineserver -k 2>/dev/null || true
  wineserver -w
  need_wine
fi

export QUORIX_DEVICE_ROOT='C:\quorix-window-test'
wine "$exe" >"$work/out" 2>&1 &
app=$!
pids+=($app)
win=""
for _ in $(seq 600); do
  win=$(xdotool search --onlyvisible --name '^Quorix V3\.12$' 2>/dev/null | head -1) && [ -n "$win" ] && break
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$win" ]; then
  kill -0 "$app" 2>/dev/null && state="still running" || state="ended"
  fail "no window titled Quorix V3.12 appeared (the program has $state; it wrote: $(head -c 2000 "$work/out"))"
fi
sleep 1

root=$(xwininfo -root | awk '/Window id:/ {print $4}')
# The client area's top-left corner on the screen: the face's rule runs along client row 89 from
# column 0, and nothing above it on the screen has its colour.
origin()
{
  "$probe" grab "$root" "$work/screen.png"
  python3 - "$work/screen.png" "$src" <<'PY'
import sys
sys.path.insert(0, sys.argv[2] + "/tests/windows")
from face_geometry import read_png
rows = read_png(sys.argv[1])
for y, row in enumerate(rows):
    if (0, 102, 204) in row:
        print(row.index((0, 102, 204)), y - 89)
        break
PY
}
read -r ox oy < <(origin) || fail "the face's rule is not on the screen"

# Taps at the Linux layout's key centres (device coordinates: the client area starts at row 26).
keys="HEX F F NOT 1"
while read -r x y; do
  xdotool mousemove $((ox + x)) $((oy + y - 26)) click 1
  sleep 0.2
done < <("$probe" layout $keys)
xdotool windowfocus --sync "$win"
xdotool type --delay 150 "+2"
xdotool key Return
sleep 0.7
"$linux" --headless --taps "$keys + 2 =" --screenshot "$work/linux.png" >/dev/null
"$probe" grab "$root" "$work/screen.png"
python3 "$src/tests/windows/face_geometry.py" "$work/linux.png" "$work/screen.png" --crop 0 26 240 294 \
  --window-crop "$ox" "$oy" 240 294 --system-drawn 49 62 46 23 --system-drawn 95 62 46 23 ||
  { cp "$work/screen.png" "${QUORIX_WIN_BUILD}/window-failed.png"; fail "the window's face differs from the Linux build's"; }

# The same program headless draws the same pixels: every key, tapped or typed, did its work.
wine "$exe" --headless --taps "$keys + 2 =" --screenshot "$work/headless.png" >/dev/null
python3 - "$work/headless.png" "$work/screen.png" "$ox" "$oy" "$src" <<'PY' || { cp "$work/headless.png" "$work/screen.png" "$QUORIX_WIN_BUILD/"; fail "the window is not what the headless run of the same keys draws"; }
import sys
sys.path.insert(0, sys.argv[5] + "/tests/windows")
from face_geometry import read_png
headless, screen, ox, oy = read_png(sys.argv[1]), read_png(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
wrong = sum(1 for y in range(294) for x in range(240) if headless[26 + y][x] != screen[oy + y][ox + x])
print(f"window against the headless picture: {wrong} pixels differ")
diff = [(x, y) for y in range(294) for x in range(240) if headless[26 + y][x] != screen[oy + y][ox + x]]
if diff:
    print("first at", diff[0], "box", min(p[0] for p in diff), min(p[1] for p in diff), max(p[0] for p in diff), max(p[1] for p in diff))
sys.exit(1 if wrong else 0)
PY

# A second start brings the first forward and ends at once; quorix-send reaches the window.
send=$(dirname "$exe")/quorix-send.exe
timeout 60 wine "$exe" || fail "a second start did not end with 0"
[ "$(xdotool search --name '^Quorix V3\.12$' | wc -l)" = 1 ] || fail "a second start made a second window"
status=0
timeout 60 wine "$send" 65536 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "quorix-send with a bad command: status $status"
timeout 60 wine "$send" 40020 || fail "quorix-send did not deliver a command"  # Ctrl+C's copy

xdotool key ctrl+q
status=0
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
wait "$app" || status=$?
[ "$status" = 0 ] || fail "Ctrl+Q ended the run with status $status"
status=0
timeout 60 wine "$send" exit 2>/dev/null || status=$?
[ "$status" = 1 ] || fail "quorix-send with nothing running: status $status"
echo "real window under Wine: ok"
