#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12; does nothing when all is there.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev libpng-dev
          libxcb1-dev libxcb-shm0-dev libxcb-xkb-dev libxkbcommon-dev libxkbcommon-x11-dev
          fonts-ipafont-gothic googletest libgtest-dev xvfb xdotool x11-utils x11-xkb-utils xkb-data xclip
          dpkg-dev valgrind libdbus-1-dev dbus at-spi2-core python3-pyatspi python3-dbus
          python3 mingw-w64 binutils-mingw-w64-x86-64 wine wine64 nsis)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
