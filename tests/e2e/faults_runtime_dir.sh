#!/usr/bin/env bash
# A runtime folder that is missing, not a folder, read-only or full: the calculator cannot be
# found by other processes then, but it starts, computes and ends as usual. The read-only and
# full cases need a tmpfs mount (root); elsewhere they are skipped with a message.
source "$(dirname "$0")/lib.sh"
start_x
SCALE=2
MOUNTS=()
unmount_all() { local m; for m in "${MOUNTS[@]}"; do umount "$m" 2>/dev/null || true; done; e2e_cleanup; }
trap unmount_all EXIT

check_starts() {
  local what=$1
  start_quorix
  reference "$E2E_DIR/expected.png" "7 * 6 ="
  for key in 7 "*" 6 =; do tap "$key"; done
  wait_for 5 same_as "$E2E_DIR/expected.png" || { shot "$what"; fail "$what: the face does not show 42 after the keys"; }
  end_quorix
  note "$what: started, computed, ended"
}

saved=$XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=/proc/self/quorix-run check_starts "missing"
: >"$E2E_DIR/runfile"
XDG_RUNTIME_DIR="$E2E_DIR/runfile" check_starts "a file"
mkdir -p "$E2E_DIR/ro" "$E2E_DIR/full"
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o ro,size=64k,mode=0700 tmpfs "$E2E_DIR/ro" 2>/dev/null; then
  MOUNTS+=("$E2E_DIR/ro")
  XDG_RUNTIME_DIR="$E2E_DIR/ro" check_starts "read-only"
else
  note "SKIPPED read-only: cannot mount a tmpfs here"
fi
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=64k,mode=0700 tmpfs "$E2E_DIR/full" 2>/dev/null; then
  MOUNTS+=("$E2E_DIR/full")
  dd if=/dev/zero of="$E2E_DIR/full/filler" bs=4k count=64 2>/dev/null || true
  XDG_RUNTIME_DIR="$E2E_DIR/full" check_starts "full"
else
  note "SKIPPED full: cannot mount a tmpfs here"
fi
XDG_RUNTIME_DIR=$saved
