#!/usr/bin/env bash
# The installer under Wine, silently (/S) as a user without administrator rights: it installs the
# programs, the Start-menu entry, the Apps & features entry, the help pages and the program's key,
# the installed program runs; the uninstaller (/S) leaves none of them behind. The zip holds the
# programs and the help pages.
# usage: installer.sh SETUP.EXE ZIP SOURCE_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
need_wine
setup=$1 zip=$2 src=$3
[ -f "$setup" ] || { echo "no installer (makensis missing?): skipped"; exit 77; }

unix() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
key_exists() { wine reg query "$1" >/dev/null 2>&1; }
local_app=$(wine cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
start_menu=$(wine cmd /c echo '%APPDATA%' 2>/dev/null | tr -d '\r')'\Microsoft\Windows\Start Menu\Programs'
install=$(unix "$local_app\\Programs\\Quorix")
device=$(unix "$local_app\\Quorix")
menu=$(unix "$start_menu\\Quorix")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorix'
program_key='HKCU\Software\Larkwell\Gearset1\Quorix'
[ -n "$install" ] && [ -n "$device" ] && [ -n "$menu" ] || fail "Wine gave no per-user folders"
[ ! -e "$install" ] || fail "already installed in $install"

wine "$setup" /S
for f in quorix.exe quorix-send.exe uninstall.exe; do [ -f "$install/$f" ] || fail "$f was not installed"; done
[ -f "$menu/Quorix.lnk" ] || fail "no Start-menu entry"
key_exists "$uninstall_key" || fail "no Apps & features entry"
wine reg query "$uninstall_key" /v UninstallString | grep -q 'uninstall.exe' || fail "no uninstall command"
key_exists "$program_key" || fail "the program's key was not created"
for page in "$src"/resources/help/*; do
  cmp -s "$page" "$device/device/Windows/$(basename "$page")" || fail "help page $(basename "$page") not installed"
done
[ "$(wine "$install/quorix.exe" --headless --keys "1 + 2 =")" = "3." ] || fail "the installed program does not run"

wine "$install/uninstall.exe" /S
# The uninstaller runs on from a copy of itself: wait for it to finish.
for _ in $(seq 100); do
  [ ! -e "$install" ] && [ ! -e "$menu" ] && [ ! -e "$device" ] && ! key_exists "$uninstall_key" && break
  sleep 0.2
done
[ ! -e "$install" ] || fail "left behind: $(ls "$install")"
[ ! -e "$menu" ] || fail "the Start-menu entry is left"
[ ! -e "$device" ] || fail "left behind: $(find "$device")"
! key_exists "$uninstall_key" || fail "the Apps & features entry is left"
! key_exists 'HKCU\Software\Larkwell' || fail "the program's registry key is left"

python3 - "$zip" "$src" <<'PY' || fail "the zip"
import os, sys, zipfile
names = set(zipfile.ZipFile(sys.argv[1]).namelist())
wanted = {"Quorix/quorix.exe", "Quorix/quorix-send.exe"}
wanted |= {"Quorix/help/" + n for n in os.listdir(os.path.join(sys.argv[2], "resources/help"))}
sys.exit(0 if wanted <= names else print("missing from the zip:", sorted(wanted - names)) or 1)
PY
echo "installer under Wine: ok"
