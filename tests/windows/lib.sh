# Shared by the Windows build's tests: the build's own Wine prefix and X server, and skipping
# (exit 77) where Wine is not installed. Source it; QUORIX_WIN_BUILD names the Windows build folder.
# Wine's desktop takes its graphics driver from the first program of a wineserver's session, so
# every test of a run uses the one X server that wine_prefix.sh started (build-win/wine-display).
export WINEPREFIX="${QUORIX_WIN_BUILD:?}/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no offers to install Mono or Gecko
WINE_DISPLAY_FILE="$QUORIX_WIN_BUILD/wine-display"
WINE_XVFB_PID_FILE="$QUORIX_WIN_BUILD/wine-xvfb.pid"
[ -s "$WINE_DISPLAY_FILE" ] && export DISPLAY=":$(cat "$WINE_DISPLAY_FILE")"

need_wine()
{
  if ! command -v wine >/dev/null; then
    echo "wine is not installed: skipped"
    exit 77
  fi
  # One wineserver for the run, kept after each program ends, and its services (started by the
  # session's first program) holding none of this test's output, which ctest waits to see closed.
  wineserver -p 600 </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

fail()
{
  echo "FAIL: $*"
  exit 1
}
