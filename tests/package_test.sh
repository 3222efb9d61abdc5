#!/usr/bin/env bash
# The Debian package: builds it with cpack into a scratch folder, checks its fields, its files and
# that its Depends names the package of every library the programs load, then unpacks it into a
# throw-away root and runs the programs from there. Exit 77 (skipped) without dpkg-deb or cpack.
set -uo pipefail

build=${QUORIX_BUILD_DIR:?QUORIX_BUILD_DIR names the build folder}
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v dpkg-deb >/dev/null && command -v cpack >/dev/null || { echo "skip: no dpkg-deb or cpack"; exit 77; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorix-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
deb="$scratch/out/quorix_3.12_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$scratch/out")"

# --- fields -----------------------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
expect_field() { [ "$(field "$1")" = "$2" ] || fail "$1 is '$(field "$1")', not '$2'"; }
expect_field Package quorix
expect_field Version 3.12
expect_field Maintainer "Larkwell <support@example.com>"
expect_field Section utils
expect_field Architecture "$arch"
depends=$(field Depends)
depends_on() { printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | grep -qx "$1"; }
for p in libsdl2-2.0-0 libxkbcommon-x11-0 libxcb1 libxcb-shm0 libfreetype6 libfontconfig1 libpng16-16 fonts-ipafont-gothic; do
  depends_on "$p" || fail "Depends lacks $p: $depends"
done

[ "$(field Recommends)" = xdg-utils ] || fail "Recommends is '$(field Recommends)', not xdg-utils (help opens through xdg-open)"

# --- files ------------------------------------------------------------------------------------
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./||' | grep -v '/$' | sort >"$scratch/files"
expected=(usr/bin/quorix usr/bin/quorix-send usr/share/applications/quorix.desktop
          usr/share/man/man1/quorix.1 usr/share/man/man1/quorix-send.1)
for side in 16 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${side}x${side}/apps/quorix.png"); done
for page in "$QUORIX_SOURCE_DIR"/resources/help/*; do expected+=("usr/share/doc/quorix/help/$(basename "$page")"); done
printf '%s\n' "${expected[@]}" | sort >"$scratch/expected"
diff -u "$scratch/expected" "$scratch/files" >&2 || fail "the package's files are not the expected ones"

root="$scratch/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"

# Every library the programs name is in a package that Depends names (or is part of the base).
for program in quorix quorix-send; do
  bin="$root/usr/bin/$program"
  [ -x "$bin" ] || fail "$program is not executable"
  for lib in $(objdump -p "$bin" | awk '$1 == "NEEDED" {print $2}'); do
    # ldd names the dynamic loader by its path alone.
    path=$(ldd "$bin" | awk -v l="$lib" '$1 == l {print $3} $1 ~ ("/" l "$") {print $1}')
    [ -n "$path" ] && [ -e "$path" ] || fail "$program: $lib does not resolve"
    owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(realpath "$path")" 2>/dev/null)
    owner=${owner%%:*}
    [ -n "$owner" ] || fail "$program: no package owns $path"
    case $owner in libc6|libgcc-s1|libstdc++6) ;;  # essential, or pulled in by every C++ program
      *) depends_on "$owner" || fail "$program needs $lib of $owner, which Depends lacks: $depends" ;;
    esac
  done
done

# Libraries loaded with dlopen are in no NEEDED entry: the window's libSDL2, the X11 window's
# libxkbcommon-x11, FreeType (for glyphs not stored yet) and libpng (for screenshots) are found by
# the names the program carries, and their packages must be named in Depends all the same.
for lib in libSDL2-2.0.so.0 libxkbcommon-x11.so.0 libfreetype.so.6 libpng16.so.16; do
  grep -qaF "$lib" "$root/usr/bin/quorix" || fail "quorix does not name $lib: the check below checks nothing"
  objdump -p "$root/usr/bin/quorix" | awk '$1 == "NEEDED" {print $2}' | grep -qx "$lib" &&
    fail "quorix links $lib: a headless run would load it"
  path=$(ldconfig -p | awk -v l="$lib" '$1 == l {print $NF; exit}')
  [ -n "$path" ] || fail "$lib is not installed on this machine"
  owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(realpath "$path")" 2>/dev/null)
  owner=${owner%%:*}
  [ -n "$owner" ] || fail "no package owns $path"
  depends_on "$owner" || fail "quorix loads $lib of $owner, which Depends lacks: $depends"
done

# --- desktop entry, icons, manual pages -------------------------------------------------------
desktop="$root/usr/share/applications/quorix.desktop"
for line in "Type=Application" "Name=Quorix" "Exec=quorix" "Icon=quorix" "Terminal=false" \
            "Categories=Utility;Calculator;" "StartupWMClass=quorix"; do
  grep -qx "$line" "$desktop" || fail "the desktop entry lacks '$line'"
done
grep -q '^Name\[ja\]=.' "$desktop" || fail "the desktop entry has no Japanese name"
[ "$(head -1 "$desktop")" = "[Desktop Entry]" ] || fail "the desktop entry does not start with its group"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" >&2 || fail "desktop-file-validate rejects the desktop entry"
fi

png_u32() { od -An -tu4 --endian=big -j "$2" -N4 "$1" | tr -d ' '; }
for side in 16 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${side}x${side}/apps/quorix.png"
  [ "$(od -An -tx1 -N8 "$png" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
  [ "$(png_u32 "$png" 16)x$(png_u32 "$png" 20)" = "${side}x${side}" ] || fail "$png is not ${side}x${side}"
  [ "$(od -An -tu1 -j25 -N1 "$png" | tr -d ' ')" = 6 ] || fail "$png has no alpha channel"
done

if command -v groff >/dev/null; then
  for page in quorix.1 quorix-send.1; do
    warnings=$(LC_ALL=C.UTF-8 groff -k -man -ww -z -Tutf8 "$root/usr/share/man/man1/$page" 2>&1)
    [ -z "$warnings" ] || fail "$page: $warnings"
  done
fi

# --- the unpacked programs run ----------------------------------------------------------------
home="$scratch/home"
mkdir -p "$home/run" && chmod 700 "$home/run"
run() {
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" QUORIX_DEVICE_ROOT="$home/device" "$@"
}
[ "$(run "$root/usr/bin/quorix" --version)" = "quorix 3.12" ] || fail "--version says '$(run "$root/usr/bin/quorix" --version)'"
out=$(run "$root/usr/bin/quorix" --headless --keys "1 + 2 =") || fail "the headless run failed"
[ "$out" = "3." ] || fail "1 + 2 = gave '$out'"
out=$(run "$root/usr/bin/quorix" --headless --keys "HEX F F NOT") || fail "the HEX run failed"
[ "$out" = "FFFF FF00" ] || fail "HEX F F NOT gave '$out'"
run "$root/usr/bin/quorix" --headless --keys "1 nonsense" >/dev/null 2>&1
[ $? -eq 2 ] || fail "an unknown token did not give exit status 2"
run "$root/usr/bin/quorix" --help | grep -q -- "--setup" || fail "--help does not mention --setup"
run "$root/usr/bin/quorix-send" about >/dev/null 2>&1
[ $? -eq 1 ] || fail "quorix-send with nothing running did not give exit status 1"

# --setup writes the pages built into the program: they must be the ones packed as documentation.
run "$root/usr/bin/quorix" --setup || fail "--setup failed"
for page in "$root"/usr/share/doc/quorix/help/*; do
  name=$(basename "$page")
  copy=$(find "$home/device" -iname "$name" -type f | head -1)
  [ -n "$copy" ] || fail "--setup did not write $name"
  cmp -s "$page" "$copy" || fail "the packed $name differs from the one --setup writes"
done
echo "package ok: $(basename "$deb"), Depends: $depends"
