#!/usr/bin/env bash
# Builds the benchmarks if needed and runs every benchmark executable of the build.
# Usage: scripts/bench.sh [google-benchmark flags...]   e.g. --benchmark_filter=Scale2x
# BUILD_DIR (default build-bench) and JOBS (default 2) may be set in the environment.
# Benchmarks measure; they never fail the build. Results go to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
JOBS=${JOBS:-2}

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOLLEY_BENCH=ON \
    -DVOLLEY_TESTS=OFF > "$BUILD_DIR.configure.log" 2>&1 || { cat "$BUILD_DIR.configure.log"; exit 1; }
fi
# build the benchmark targets only (named *_bench), so unrelated parts cannot hold them up
mapfile -t targets < <(cmake --build "$BUILD_DIR" --target help | grep -oE '^[A-Za-z0-9_]+_bench' | sort -u)
[ "${#targets[@]}" -gt 0 ] || { echo "no benchmark targets in $BUILD_DIR" >&2; exit 1; }
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${targets[@]}"

found=0
for exe in "$BUILD_DIR"/bench/*_bench; do
  [ -x "$exe" ] || continue
  found=1
  printf '\n==== %s ====\n' "$(basename "$exe")"
  "$exe" "$@" </dev/null
done
[ "$found" = 1 ] || { echo "no benchmark executables in $BUILD_DIR/bench" >&2; exit 1; }
