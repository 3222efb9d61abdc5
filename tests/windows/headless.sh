#!/usr/bin/env bash
# The Windows build's headless driver under Wine keeps the driver's contract: the shown number on
# standard output (LF line ends), captions as tokens, tokens from standard input, an unknown token
# refused with status 2 and nothing run, screenshots of the device screen at each scale whose face
# has the Linux build's geometry.
# usage: headless.sh QUORIX.EXE LINUX_QUORIX SOURCE_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
need_wine
exe=$1 linux=$2 src=$3
[ -x "$linux" ] || { echo "no Linux build at $linux: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ "$(wine "$exe" --headless --keys "1 2 ＋ 3 ＝" | od -c | head -1)" = "$(printf '15.\n' | od -c | head -1)" ] ||
  fail "1 2 ＋ 3 ＝ did not print exactly '15.' and a line feed"
[ "$(echo "HEX F F NOT" | wine "$exe" --headless --keys -)" = "FFFF FF00" ] || fail "--keys - from standard input"
status=0
wine "$exe" --headless --keys "1 nonsense" >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 2 ] && [ ! -s "$work/out" ] && grep -q "nonsense" "$work/err" || fail "an unknown token: status $status"
[ "$(wine "$exe" --version)" = "quorix 3.12" ] || fail "--version"

# The face at scale 1 and 2 (the grid is the same at 2, each device pixel a 2 x 2 block).
keys="TRIG 1 . 5 sin M+ 7 ＋"
wine "$exe" --headless --taps "$keys" --screenshot "$work/win.png" >/dev/null
"$linux" --headless --taps "$keys" --screenshot "$work/linux.png" >/dev/null
python3 "$src/tests/windows/face_geometry.py" "$work/linux.png" "$work/win.png" \
  --system-drawn 4 88 46 23 --system-drawn 95 88 46 23 || fail "the face's geometry"
wine "$exe" --headless --keys "$keys" --screenshot "$work/win2.png" --scale 2 >/dev/null
python3 - "$work/win2.png" <<'PY' || fail "the scale-2 screenshot is not 480 x 640"
import struct, sys
w, h = struct.unpack(">II", open(sys.argv[1], "rb").read()[16:24])
sys.exit(0 if (w, h) == (480, 640) else 1)
PY
echo "headless driver under Wine: ok"
