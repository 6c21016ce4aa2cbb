#!/usr/bin/env bash
# Rewrites the player's golden traces in tests/golden/ from a fresh build of volleyplay.
# Review the diff like a code change: a golden changes only when the engine, the catalogue or
# the frame loop changes on purpose. Usage: tools/regen_goldens.sh [build-dir]   (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja > /dev/null
cmake --build "$BUILD" --target volleyplay volley_assets volleyplay_test \
  volleyedit_model_test
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

# the catalogue's sets and the designer's statistics text, written by their tests (the one
# golden check rewrites what it compares when VOLLEY_UPDATE_GOLDEN is set)
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/volleyplay_test" --gtest_filter='BarrageCatalogue.Every*' \
  --gtest_brief=1 > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/volleyedit_model_test" --gtest_filter='StatsText.*' \
  --gtest_brief=1 > /dev/null
echo "wrote tests/golden/barrage_catalogue.txt and tests/golden/designer_stats.txt"
