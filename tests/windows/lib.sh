# Shared by the Windows build's tests: the build's own Wine prefix, and skipping (exit 77) where
# Wine is not installed. Source it; QUORIX_WIN_BUILD names the Windows build folder.
export WINEPREFIX="${QUORIX_WIN_BUILD:?}/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no offers to install Mono or Gecko

need_wine()
{
  if ! command -v wine >/dev/null; then
    echo "wine is not installed: skipped"
    exit 77
  fi
}

fail()
{
  echo "FAIL: $*"
  exit 1
}
