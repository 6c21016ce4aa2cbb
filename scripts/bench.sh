#!/usr/bin/env bash
# Builds the benchmarks if needed and runs every benchmark executable of the build. Each one
# prints its Google Benchmark table, then a table of its targets (ratios measured in the same
# run). Benchmarks measure; a slow result never fails. The exit code is non-zero only when a
# build fails or a check inside a benchmark fails (lost bullets, different slots chosen, a
# program that does not end cleanly).
# Usage: scripts/bench.sh [google-benchmark flags...]   e.g. --benchmark_filter=Scale2x
# BUILD_DIR (default build-bench) and JOBS (default 2) may be set in the environment.
# The build is RelWithDebInfo (-O2), like the programs. The paced-loop benchmark opens real
# windows: without DISPLAY the whole run goes under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
JOBS=${JOBS:-2}

if [ -z "${DISPLAY:-}" ] && [ -z "${VOLLEY_BENCH_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
  export VOLLEY_BENCH_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" "$0" "$@"
fi

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOLLEY_BENCH=ON \
    -DVOLLEY_TESTS=OFF > "$BUILD_DIR.configure.log" 2>&1 || { cat "$BUILD_DIR.configure.log"; exit 1; }
fi
# build the benchmark targets only (named *_bench), so unrelated parts cannot hold them up
mapfile -t targets < <(cmake --build "$BUILD_DIR" --target help | grep -oE '^[A-Za-z0-9_]+_bench' | sort -u)
[ "${#targets[@]}" -gt 0 ] || { echo "no benchmark targets in $BUILD_DIR" >&2; exit 1; }
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${targets[@]}"

printf '\n==== machine ====\n'
printf 'cores: %s\nCPU: %s\nload: %s\n' "$(nproc)" \
  "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')" "$(cut -d' ' -f1-3 /proc/loadavg)"

found=0
status=0
for exe in "$BUILD_DIR"/bench/*_bench; do
  [ -x "$exe" ] || continue
  found=1
  printf '\n==== %s ====\n' "$(basename "$exe")"
  "$exe" "$@" </dev/null || status=1
done
[ "$found" = 1 ] || { echo "no benchmark executables in $BUILD_DIR/bench" >&2; exit 1; }
exit "$status"
