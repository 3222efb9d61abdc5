#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) in build-fuzz
# and runs each for a time budget: scripts/fuzz.sh [seconds] [target ...] (default 20 s, all targets).
# Each target grows its own working corpus in build-fuzz/fuzz-corpus/<target>, seeded read-only from
# fuzz/corpus/<target>; crashing inputs land in build-fuzz/fuzz-artifacts/. Fails when any target
# finds a crash, a leak, a hang or a broken invariant. FUZZ_SKIP_BUILD=1 runs what is built;
# FUZZ_BIN (default build-fuzz) is where the targets are, FUZZ_OUT where corpora, logs and findings go.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
build=build-fuzz
clang=${FUZZ_CXX:-clang++-14}

# clang and its libFuzzer runtime, installed like the rest of what the tests need.
install_clang() {
  local missing=() p sudo=""
  for p in clang-14 libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "fuzz.sh: installing ${missing[*]}"
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

if [[ "${FUZZ_SKIP_BUILD:-0}" != 1 ]]; then
  [[ -n "${FUZZ_CXX:-}" ]] || install_clang
  if ! command -v "$clang" >/dev/null; then
    echo "fuzz.sh: $clang not found (apt-get install clang-14 libclang-rt-14-dev)" >&2
    exit 1
  fi
  cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORIX_FUZZ=ON -DQUORIX_TESTS=OFF >/dev/null
  cmake --build "$build" -- -j"$(nproc)" $(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
fi

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  mapfile -t targets < <(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
fi

bin=${FUZZ_BIN:-$build}
out=${FUZZ_OUT:-$build}
mkdir -p "$out/fuzz-artifacts" "$out/fuzz-logs"
failed=()
for target in "${targets[@]}"; do
  corpus="$out/fuzz-corpus/$target"
  log="$out/fuzz-logs/$target.log"
  mkdir -p "$corpus"
  echo "fuzz.sh: $target for ${seconds}s"
  status=0
  # -timeout: one input running 10 s is a hang; -rss_limit_mb: runaway memory is a finding too.
  "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/fuzz-artifacts/$target-" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)
  echo "  ${done_line:-no DONE line} | corpus files: $(ls "$corpus" | wc -l)"
  if [[ $status -ne 0 ]]; then
    echo "fuzz.sh: $target FAILED (status $status); log: $log" >&2
    grep -E 'ERROR|invariant broken|SUMMARY|Test unit written' "$log" | head -10 >&2 || true
    failed+=("$target")
  fi
done

if [[ ${#failed[@]} -ne 0 ]]; then
  echo "fuzz.sh: findings in: ${failed[*]}" >&2
  exit 1
fi
