#!/usr/bin/env bash
# Runs every libFuzzer harness of tests/fuzz (clang, AddressSanitizer and UBSan) for the given
# seconds each (default 60) on a copy of its corpus, offscreen with a temporary HOME.
#   ./fuzz.sh [seconds] [harness]   e.g. ./fuzz.sh 10, ./fuzz.sh 30 antwort
#   FUZZ_RUNS=N        a fixed number of runs instead of a time (-runs=N)
#   FUZZ_HARNESS=name  one harness only (as the second argument)
#   FUZZ_WORK=dir      where the corpus copies and crash files go (default build-fuzz/work)
#   FUZZ_LOGS=dir      one log per harness there instead of the terminal
#   FUZZ_JOBS=n        n harnesses at a time (default 1, one after another)
set -euo pipefail
cd "$(dirname "$0")"

SECONDS_EACH=${1:-60}
ONLY=${2:-${FUZZ_HARNESS:-}}
ONLY=${ONLY#fuzz_}

tools/ensure-packages.sh cmake make clang libfuzzer-14-dev qt6-base-dev libqt6sql6-sqlite libgl-dev

BUILD=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVOR_FUZZ=ON \
  -DBUILD_TESTING=OFF >/dev/null
if [ -n "$ONLY" ]; then
  cmake --build "$BUILD" -j"$(nproc)" --target "fuzz_$ONLY"
else
  cmake --build "$BUILD" -j"$(nproc)"
fi

WORK=$(realpath -m "${FUZZ_WORK:-$BUILD/work}")
mkdir -p "$WORK"
# Memory-backed where there is one: the harnesses write their files for every input.
TMPHOME=$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/kelvor-fuzz.XXXXXX")
trap 'rm -rf "$TMPHOME"' EXIT
mkdir -p "$TMPHOME/runtime" "$TMPHOME/config" "$TMPHOME/tmp"
chmod 700 "$TMPHOME/runtime"
export HOME="$TMPHOME" XDG_RUNTIME_DIR="$TMPHOME/runtime" XDG_CONFIG_HOME="$TMPHOME/config" TMPDIR="$TMPHOME/tmp"
export QT_QPA_PLATFORM=offscreen
# No fill pattern for new blocks (it finds nothing an over-read would not) and no allocation
# stacks: recording them cost more than the harnesses' own work on every input. A finding still
# shows where it read or wrote; for where its block came from, run the crash input again with
# ASAN_OPTIONS=malloc_context_size=30.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:max_malloc_fill_size=0:malloc_context_size=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

if [ -n "${FUZZ_RUNS:-}" ]; then
  limit=(-runs="$FUZZ_RUNS")
else
  limit=(-max_total_time="$SECONDS_EACH")
fi

# One harness; its line goes to $WORK/<reader>.result, 0 or 1 to $WORK/<reader>.rc.
run_one() {
  local src=$1 name reader corpus crashes log maxlen rc runs crash
  name=$(basename "$src" .cpp)
  reader=${name#fuzz_}
  corpus="$WORK/corpus/$reader"
  crashes="$WORK/crashes/$reader"
  mkdir -p "$corpus" "$crashes"
  # A copy: what the fuzzer adds never lands in the repository.
  cp -n tests/fuzz/corpus/"$reader"/* "$corpus"/
  log="$WORK/$reader.log"
  [ -n "${FUZZ_LOGS:-}" ] && mkdir -p "$FUZZ_LOGS" && log="$FUZZ_LOGS/$reader.log"
  # A list file is 100200 bytes; every other input stays small, which keeps the runs fast.
  maxlen=2048
  [ "$reader" = listendatei ] && maxlen=101000
  # Leaks are not looked for (as in ./test.sh): Qt keeps caches for the life of the process.
  set +e
  "$BUILD/tests/fuzz/$name" "${limit[@]}" -print_final_stats=1 -artifact_prefix="$crashes/" \
    -max_len=$maxlen -detect_leaks=0 -rss_limit_mb=4096 "$corpus" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ $rc -ne 0 ]; then
    crash=$(ls -t "$crashes" 2>/dev/null | head -1)
    {
      echo "$reader: FINDING after ${runs:-?} runs, input $crashes/${crash:-?} (log $log)"
      grep -m3 -E 'FINDING|ERROR: AddressSanitizer|runtime error' "$log" | sed 's/^/  /' || true
    } >"$WORK/$reader.result"
    echo 1 >"$WORK/$reader.rc"
  else
    echo "$reader: runs ${runs:-?}, no finding" >"$WORK/$reader.result"
    echo 0 >"$WORK/$reader.rc"
  fi
}

JOBS=${FUZZ_JOBS:-1}
readers=()
for src in tests/fuzz/fuzz_*.cpp; do
  reader=$(basename "$src" .cpp)
  reader=${reader#fuzz_}
  [ -n "$ONLY" ] && [ "$reader" != "$ONLY" ] && continue
  readers+=("$reader")
  rm -f "$WORK/$reader.result" "$WORK/$reader.rc"
  if [ "$JOBS" -le 1 ]; then
    run_one "$src"
    cat "$WORK/$reader.result"
  else
    while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do
      wait -n || true
    done
    run_one "$src" &
  fi
done
wait
failed=0
for reader in "${readers[@]}"; do
  [ "$JOBS" -gt 1 ] && cat "$WORK/$reader.result"
  [ "$(cat "$WORK/$reader.rc")" = 0 ] || failed=1
done
exit $failed
