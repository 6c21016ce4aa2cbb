#!/usr/bin/env bash
# Fuzz stage: builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz/, replays every
# regression input and seed of each target, then fuzzes each target for a bounded time.
# Exits non-zero on any crash, leak, timeout or broken promise. Prints per target the number
# of executions run.
#   FUZZ_SECONDS   seconds of fuzzing per target (default 15)
#   FUZZ_JOBS      targets fuzzed at the same time (default 2)
#   FUZZ_BUILD     build directory (default <repo>/build-fuzz)
#   FUZZ_TARGETS   space-separated subset of targets (default: all, as fuzz/targets.cmake lists them)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${FUZZ_BUILD:-$ROOT/build-fuzz}"
SECONDS_PER_TARGET="${FUZZ_SECONDS:-15}"
JOBS="${FUZZ_JOBS:-2}"

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOLLEY_FUZZ=ON -DVOLLEY_TESTS=OFF -DVOLLEY_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j2 --target fuzz_all
TARGETS="${FUZZ_TARGETS:-$(cat "$BUILD/fuzz/targets.txt")}"

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:allocator_may_return_null=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0"
LOGS="$BUILD/fuzz-logs"
WORK="$BUILD/fuzz-work"
rm -rf "$LOGS" "$WORK"
mkdir -p "$LOGS" "$WORK"
COMMON=(-rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=5 -print_final_stats=1)

# First every regression input and every seed, as plain inputs.
failed=0
for t in $TARGETS; do
  inputs=()
  for dir in "$ROOT/fuzz/regressions/$t" "$ROOT/fuzz/corpus/$t"; do
    [ -d "$dir" ] || continue
    while IFS= read -r -d '' f; do inputs+=("$f"); done \
      < <(find "$dir" -maxdepth 1 -type f ! -name '.*' -print0 | sort -z)
  done
  [ ${#inputs[@]} -gt 0 ] || continue
  if ! (cd "$WORK" && "$BUILD/fuzz/fuzz_$t" "${COMMON[@]}" "${inputs[@]}") \
       >"$LOGS/$t.replay.log" 2>&1; then
    echo "fuzz: $t: a regression or seed input fails (log: $LOGS/$t.replay.log)"
    tail -n 30 "$LOGS/$t.replay.log"
    failed=1
  else
    echo "fuzz: $t: ${#inputs[@]} regression and seed inputs pass"
  fi
done
[ $failed -eq 0 ] || exit 1

# Then bounded fuzzing, JOBS targets at a time. New inputs go to a scratch corpus; crashes to
#    $LOGS/<target>/ (copy them to fuzz/regressions/<target>/ once fixed).
run_one() {
  local t="$1" corpus="$WORK/corpus-$1" art="$LOGS/$1/"
  mkdir -p "$corpus" "$art"
  cp "$ROOT"/fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true
  (cd "$WORK" && "$BUILD/fuzz/fuzz_$t" "${COMMON[@]}" -max_total_time="$SECONDS_PER_TARGET" \
     -artifact_prefix="$art" "$corpus") >"$LOGS/$t.log" 2>&1
}
pids=()
names=()
for t in $TARGETS; do
  run_one "$t" &
  pids+=($!)
  names+=("$t")
  if [ ${#pids[@]} -ge "$JOBS" ]; then
    wait "${pids[0]}" || echo "fuzz: ${names[0]}: FAILED" >>"$LOGS/failures"
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || echo "fuzz: ${names[$i]}: FAILED" >>"$LOGS/failures"
done

for t in $TARGETS; do
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$LOGS/$t.log" | tail -n 1 | awk '{print $2}')
  echo "fuzz: $t: ${execs:-?} executions"
done
if [ -s "$LOGS/failures" ]; then
  cat "$LOGS/failures"
  for t in $(awk '{print $2}' "$LOGS/failures" | tr -d :); do
    echo "---- $t ----"
    grep -E 'ERROR|broken promise|SUMMARY|Test unit written' "$LOGS/$t.log" | head -n 10
  done
  exit 1
fi
echo "fuzz: all targets pass"
