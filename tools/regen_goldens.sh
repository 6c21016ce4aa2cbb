#!/usr/bin/env bash
# Rewrites the player's golden traces in tests/golden/ from a fresh build of volleyplay.
# Review the diff like a code change: a golden changes only when the engine, the catalogue or
# the frame loop changes on purpose. Usage: tools/regen_goldens.sh [build-dir]   (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja > /dev/null
cmake --build "$BUILD" --target volleyplay volley_assets
RUN="$BUILD/run"
GOLDEN="$PWD/tests/golden"

# name, then the arguments (the same as tests/e2e/volleyplay_golden_test.cpp)
regen() {
  local name=$1; shift
  (cd "$RUN" && ./volleyplay "$@" --trace "$GOLDEN/$name" > /dev/null)
  echo "wrote tests/golden/$name ($(wc -l < "$GOLDEN/$name") frames)"
}

regen volleyplay_frames_1_14.jsonl --headless --frames 14
regen volleyplay_frames_2026_2029.jsonl --headless --frames 2029 --trace-from 2026 --trace-to 2029

# The designer's trace of the programme session's frames before its first programme key: the
# keys of those frames only, so the designer runs as it does without programme keys.
cmake --build "$BUILD" --target volleyedit
PREFIX_KEYS="$(cd "$BUILD" && pwd)/programme_prefix.keys"
grep -v '^#' tests/golden/volleyedit_programme.keys | awk '$1 < 20' > "$PREFIX_KEYS"
(cd "$RUN" && printf '622' | ./volleyedit --headless --frames 19 --keys "$PREFIX_KEYS" \
  --trace "$GOLDEN/volleyedit_programme_prefix.jsonl" > /dev/null 2>&1)
echo "wrote tests/golden/volleyedit_programme_prefix.jsonl"
