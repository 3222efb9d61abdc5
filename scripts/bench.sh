#!/usr/bin/env bash
# Benchmarks the calculator's two desktop windows (X11 and SDL2) side by side with xcalc, all in
# one run on this machine: key to frame (in-process, also showing each frame in a real X11 window),
# start to first frame, memory, libraries, idle cost and close to exit of the real window under
# Xvfb, and the headless process. Two floors of the same size are measured with them: a bare XCB
# window shown through MIT-SHM (bench/x11_floor), what the X server and libxcb alone cost, and a bare
# SDL2 window (bench/sdl_floor), what the SDL2 backend alone costs. The programs take turns run by run.
# Conditions, as on a user's desktop: a session bus (a private dbus-daemon), a warm file cache
# (every program runs once unmeasured first) and the calculator's font cache kept between runs.
# Sets up what it needs (apt-get), builds into build-bench/, prints the figures and writes them to
# build-bench/bench-results.md. Timings are reported, never judged: nothing here fails on a slow
# figure.
#   scripts/bench.sh            full run (15 starts per program)
#   RUNS=5 scripts/bench.sh     fewer starts
#   BENCH_NO_BUILD=1 scripts/bench.sh   measure the binaries already in build-bench/
#   BENCH_BUS=0 scripts/bench.sh        no session bus (programs see none)
#   BENCH_REPS=5 scripts/bench.sh       fewer repetitions of each key-to-frame benchmark (default 10)
#   BENCH_SCREEN=1280x1024x24 scripts/bench.sh   another Xvfb screen (default 1024x768x24)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$root/build-bench
runs=${RUNS:-15}
headless_runs=${HEADLESS_RUNS:-50}
idle_seconds=${IDLE_SECONDS:-5}

# --- set-up -------------------------------------------------------------------------------
scripts/setup.sh
bench_packages=(libbenchmark-dev x11-apps xvfb xdotool x11-utils libx11-dev libxdamage-dev dbus
                hyperfine python3 gcc)
missing=()
for p in "${bench_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bench: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# --- build --------------------------------------------------------------------------------
if [ -z "${BENCH_NO_BUILD:-}" ]; then
  cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIX_BENCH=ON >/dev/null
  cmake --build "$out" --target quorix quorix_bench
fi
cc -O2 -Wall -Wextra -o "$out/xwatch" bench/xwatch.c -lXdamage -lX11
# A binary just written is still dirty in the page cache, and is mapped differently for it: its
# PSS reads several hundred KiB higher until the pages are written back.
sync
# shellcheck disable=SC2046
cc -O2 -Wall -Wextra -o "$out/sdl_floor" bench/sdl_floor.c $(pkg-config --cflags --libs sdl2)
# shellcheck disable=SC2046
cc -O2 -Wall -Wextra -o "$out/x11_floor" bench/x11_floor.c $(pkg-config --cflags --libs xcb xcb-shm)

# --- a private display, session bus and home ---------------------------------------------------
work=$(mktemp -d /tmp/quorix-bench-XXXXXX)
xvfb_pid="" bus_pid=""
screen=${BENCH_SCREEN:-1024x768x24}
cleanup() {
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for d in run device data config cache home; do mkdir -p "$work/$d"; done
chmod 700 "$work/run"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run QUORIX_DEVICE_ROOT=$work/device XDG_DATA_HOME=$work/data \
       XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
unset WAYLAND_DISPLAY SDL_VIDEODRIVER QUORIX_BACKEND DBUS_SESSION_BUS_ADDRESS

exec 3>"$work/displayfd"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/displayfd" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/displayfd")
bus="none"
if [ "${BENCH_BUS:-1}" = 1 ]; then
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/bus" --print-address=1 \
    >"$work/bus.addr" 2>"$work/bus.log" &
  bus_pid=$!
  for _ in $(seq 100); do [ -s "$work/bus.addr" ] && break; sleep 0.05; done
  [ -s "$work/bus.addr" ] || { echo "bench: dbus-daemon did not start: $(cat "$work/bus.log")" >&2; exit 1; }
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus.addr")
  export DBUS_SESSION_BUS_ADDRESS
  bus="a private session bus"
fi

raw=$out/bench-raw
rm -rf "$raw"
mkdir -p "$raw"
machine="$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "bench: $(date -u '+%Y-%m-%d %H:%M UTC'), $machine, load $(cut -d' ' -f1-3 /proc/loadavg)" | tee "$raw/machine"
echo "Xvfb $screen; $bus; file cache warm (one unmeasured run of each program first); the calculator's font cache kept between its runs" |
  tee "$raw/conditions"

# --- 1. key to frame ----------------------------------------------------------------------
# Headless at scale 1 (the figure kept since the start), then at scale 2 without and with a real
# X11 window shown every frame, timed on the program thread's CPU clock: the last two differ by
# what showing costs the program, whatever the X server and the rest of the machine do meanwhile.
echo "bench: key to frame (in-process: headless at scales 1 and 2, and shown in an X11 window at 2)"
key_bench() {  # output name, environment...
  local name=$1; shift
  env "$@" "$out/quorix_bench" --benchmark_repetitions="${BENCH_REPS:-10}" --benchmark_report_aggregates_only=true \
    --benchmark_out="$raw/$name.json" --benchmark_out_format=json >/dev/null
}
key_bench keys
key_bench keys-s2 QUORIX_BENCH_SCALE=2 QUORIX_BENCH_CLOCK=thread
key_bench keys-x11 QUORIX_BENCH_SCALE=2 QUORIX_BENCH_BACKEND=x11 QUORIX_BENCH_CLOCK=thread

# --- 2, 3, 5. start, memory, close: the programs in turn, so load hits them alike ----------------
# Both windows at scale 2 (480 x 640), the size the SDL2 window takes by default on these screens
# (the X11 window follows Xvfb's stated 100 dpi to scale 1 by default); sdl_floor at that size too.
# Each program is started itself, as a user starts it: the backend is chosen through xwatch's own
# environment, never by an `env` in front, whose exec would count in the program's start.
declare -A command=([x11]="$out/quorix --scale 2" [sdl]="$out/quorix --scale 2"
                    [xcalc]="xcalc" [x11_floor]="$out/x11_floor 480 640" [sdl_floor]="$out/sdl_floor 480 640")
declare -A backend=([x11]=x11 [sdl]=sdl)
programs=(x11 sdl xcalc x11_floor sdl_floor)
watch() {  # program, extra xwatch options...
  local name=$1; shift
  # shellcheck disable=SC2086
  QUORIX_BACKEND=${backend[$name]:-} "$out/xwatch" "$@" -- ${command[$name]} 2>>"$raw/$name.stderr"
}
echo "bench: start, memory and close, $runs runs each"
for name in "${programs[@]}"; do watch "$name" >/dev/null || true; done  # warm the file cache
for i in $(seq "$runs"); do
  for name in "${programs[@]}"; do
    watch "$name" >>"$raw/$name.runs" || echo "bench: $name run $i failed" >&2
  done
done

# --- 4. idle -------------------------------------------------------------------------------
echo "bench: idle, ${idle_seconds} s each"
for name in "${programs[@]}"; do
  watch "$name" --idle "$idle_seconds" >>"$raw/$name.idle" || echo "bench: $name idle run failed" >&2
done

# --- 6. the headless process ---------------------------------------------------------------
echo "bench: headless process, $headless_runs runs"
hyperfine -N --style none --warmup 5 --runs "$headless_runs" --export-json "$raw/headless.json" \
  "$out/quorix --headless --keys '1 2 ＋ 3 ＝'" >/dev/null

python3 bench/summarize.py "$raw" "$idle_seconds" | tee "$out/bench-results.md"
