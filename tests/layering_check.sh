#!/usr/bin/env bash
# Holds the code to its one direction, app -> face -> engine -> platform, with resources on the
# platform alone. Reads every #include of the program and the platform, and the symbols each
# program library takes from the others, and prints each step against the direction with its
# rule. Exit status 1 when there is one.
#
# usage: layering_check.sh SOURCE_DIR [LIBRARY=ARCHIVE ...]
#   LIBRARY is platform, resources, engine, face or app; ARCHIVE its static library.
set -uo pipefail
export LC_ALL=C

# Platform room headers the program may include: none. The program sees the Win32 subset
# (platform/windows.h, platform/win_*.h) and the few extras of platform/extras.h.
ALLOWED_ROOM_HEADERS=()

# The program's folders each name the ones they must not include.
declare -A FORBIDDEN=(
  [engine]="face app"
  [face]="app"
  [resources]="engine face app"
  [app]=""
)
# Which program libraries each library may take symbols from.
declare -A MAY_LINK=(
  [platform]=""
  [resources]="platform"
  [engine]="platform"
  [face]="engine platform"
  [app]="face engine resources platform"
)
# Third-party headers, and the only platform rooms that may include them (several rooms: space
# between). The accessibility room reads the X root window and speaks D-Bus, whatever draws.
THIRD_PARTY='SDL|ft2build\.h|freetype|fontconfig/|png\.h|pngconf\.h|xcb/|X11/|dbus/'
declare -A THIRD_PARTY_ROOM=(
  [SDL]=platform/drivers/sdl/
  [ft2build.h]=platform/gdi/fonts/
  [freetype]=platform/gdi/fonts/
  [fontconfig/]=platform/gdi/fonts/
  [png.h]=platform/gdi/
  [pngconf.h]=platform/gdi/
  [xcb/]="platform/drivers/x11/ platform/access/"
  [dbus/]=platform/access/
  [X11/]=platform/drivers/x11/
)

src=${1:?usage: layering_check.sh SOURCE_DIR [LIBRARY=ARCHIVE ...]}
shift
cd "$src" || exit 2
failures=0

fail()
{
  echo "$1: $2"
  failures=$((failures + 1))
}

is_allowed_room_header()
{
  local h
  for h in "${ALLOWED_ROOM_HEADERS[@]}"; do [ "$1" = "$h" ] && return 0; done
  return 1
}

# Every include line of the program and the platform, as FILE:LINE:TEXT.
include_lines()
{
  grep -rnE --include='*.h' --include='*.cpp' --include='*.c' '^[[:space:]]*#[[:space:]]*include' \
    app engine face resources platform
}

check_include()
{
  local file=$1 line=$2 text=$3
  local where="$file:$line" folder=${file%%/*}
  [[ $text =~ include[[:space:]]*[\<\"]([^\>\"]*) ]] || return
  local target=${BASH_REMATCH[1]}

  if [[ $target =~ ^($THIRD_PARTY) ]]; then
    local rooms=${THIRD_PARTY_ROOM[${BASH_REMATCH[1]}]} room
    for room in $rooms; do [[ $file == "$room"* ]] && return; done
    fail "$where" "$target is private to $rooms ($text)"
    return
  fi
  if [ "$folder" = platform ]; then
    [[ $target =~ (^|/)(app|engine|face|resources|tests|tools)/ ]] &&
      fail "$where" "the platform knows nothing of the program ($text)"
    return
  fi
  local other=${target%%/*}
  for forbidden in ${FORBIDDEN[$folder]}; do
    [ "$other" = "$forbidden" ] && fail "$where" "$folder/ must not include $forbidden/: app -> face -> engine -> platform ($text)"
  done
  if [[ $target == platform/*/* ]] && ! is_allowed_room_header "$target"; then
    fail "$where" "the program includes only the platform's public headers, platform/*.h ($text)"
  fi
}

while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  check_include "$file" "${rest%%:*}" "${rest#*:}"
done < <(include_lines)

# Links: a library's undefined symbols that another program library defines must come from one
# it may link. Weak symbols (inline functions, templates) are everyone's and do not count.
declare -A ARCHIVE=()
for arg in "$@"; do
  ARCHIVE[${arg%%=*}]=${arg#*=}
  [ -r "${arg#*=}" ] || { echo "layering: no library ${arg#*=}"; exit 2; }
done

defined_symbols()
{
  nm -g --defined-only "$1" 2>/dev/null | awk 'NF == 3 && $2 ~ /^[TDBRGSu]$/ { print $3 }' | sort -u
}

for lib in "${!ARCHIVE[@]}"; do
  for provider in "${!ARCHIVE[@]}"; do
    [ "$lib" = "$provider" ] && continue
    [[ " ${MAY_LINK[$lib]} " == *" $provider "* ]] && continue
    while read -r member symbol; do
      fail "${ARCHIVE[$lib]}(${member})" \
        "$lib uses $(c++filt "$symbol") of $provider: app -> face -> engine -> platform, resources -> platform"
    done < <(nm -A -g --undefined-only "${ARCHIVE[$lib]}" 2>/dev/null |
               awk '{ n = split($1, p, ":"); print p[n - 1], $NF }' |
               sort -k2 | join -1 2 -2 1 -o 1.1,1.2 - <(defined_symbols "${ARCHIVE[$provider]}"))
  done
done

if [ "$failures" -gt 0 ]; then
  echo "layering: $failures step(s) against the direction"
  exit 1
fi
echo "layering: every include and link points one way"
