#!/usr/bin/env bash
# The Windows build's GoogleTest cases under Wine. First plants what they cannot make from inside
# Wine: Unix links in a device folder (C:\quorix-links) that lead out of it, to the folder above
# and to the file beside it.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
need_wine
links="$WINEPREFIX/drive_c/quorix-links"
rm -rf "$links"
mkdir -p "$links/device/Windows"
echo "must survive" >"$links/canary.txt"
ln -s .. "$links/device/dirlink"
ln -s ../canary.txt "$links/device/filelink"
ln -s ../.. "$links/device/Windows/dirlink"
status=0
wine "$@" || status=$?
rm -rf "$links"
exit "$status"
