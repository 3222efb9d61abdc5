#!/usr/bin/env bash
# Benchmarks the calculator side by side with xcalc and galculator, all in one run on this machine:
# key to frame (in-process), start to first frame, memory, idle cost and close to exit of the real
# window under Xvfb, and the headless process. A bare SDL2 window of the same size (bench/sdl_floor)
# is measured with them, as the floor that the SDL2 backend alone costs. Sets up what it needs
# (apt-get), builds into build-bench/, prints the figures and writes them to build-bench/bench-results.md.
# Timings are reported, never judged: nothing here fails on a slow figure.
#   scripts/bench.sh            full run (15 starts per program)
#   RUNS=5 scripts/bench.sh     fewer starts
#   BENCH_NO_BUILD=1 scripts/bench.sh   measure the binaries already in build-bench/
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$root/build-bench
runs=${RUNS:-15}
headless_runs=${HEADLESS_RUNS:-50}
idle_seconds=${IDLE_SECONDS:-5}

# --- set-up -------------------------------------------------------------------------------
scripts/setup.sh
bench_packages=(libbenchmark-dev x11-apps galculator xvfb xdotool x11-utils libx11-dev libxdamage-dev
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
# shellcheck disable=SC2046
cc -O2 -Wall -Wextra -o "$out/sdl_floor" bench/sdl_floor.c $(pkg-config --cflags --libs sdl2)

# --- a private display and home -----------------------------------------------------------
work=$(mktemp -d /tmp/quorix-bench-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for d in run device data config cache home; do mkdir -p "$work/$d"; done
chmod 700 "$work/run"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run QUORIX_DEVICE_ROOT=$work/device XDG_DATA_HOME=$work/data \
       XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

exec 3>"$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/displayfd" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/displayfd")

raw=$out/bench-raw
rm -rf "$raw"
mkdir -p "$raw"
machine="$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "bench: $(date -u '+%Y-%m-%d %H:%M UTC'), $machine, load $(cut -d' ' -f1-3 /proc/loadavg)" | tee "$raw/machine"

# --- 1. key to frame ----------------------------------------------------------------------
echo "bench: key to frame (in-process, headless)"
"$out/quorix_bench" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
  --benchmark_out="$raw/keys.json" --benchmark_out_format=json >/dev/null

# --- 2, 3, 5. start, memory, close: the programs in turn, so load hits them alike ----------------
# sdl_floor opens a window of the size quorix opens on this display (scale 2 on 1280x1024).
declare -A command=([quorix]="$out/quorix" [xcalc]="xcalc" [galculator]="galculator"
                    [sdl_floor]="$out/sdl_floor 480 640")
programs=(quorix xcalc galculator sdl_floor)
watch() {  # program, extra xwatch options...
  local name=$1; shift
  # shellcheck disable=SC2086
  "$out/xwatch" "$@" -- ${command[$name]} 2>>"$raw/$name.stderr"
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
