#!/usr/bin/env bash
# Sets up the machine, builds the calculator, installs its device files and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIX_TESTS=OFF >/dev/null
cmake --build build --target quorix quorix-send
build/quorix --setup
exec build/quorix "$@"
