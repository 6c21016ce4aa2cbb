#!/usr/bin/env bash
# Rewrites every golden file in tests/golden/ from a fresh build: the player's traces (written
# by volleyplay itself), the CRC of the page drawn with our fonts and sprites, the programmes'
# timetable, the designer's statistics text, start-up table, loaded limits and session digests
# (written by their tests). Review the diff like a code change: a golden changes only when the
# engine, the catalogue, the frame loop or the artwork changes on purpose.
# Usage: tools/regen_goldens.sh BUILD_DIR. Any failure stops the script with a non-zero status.
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
BUILD=$1
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja > /dev/null
cmake --build "$BUILD" --target volleyplay image_golden_test volley_assets volleyplay_test \
  volleyedit_model_test sessions_e2e_test harness_test draw2d_core_test \
  volleyplay_e2e_test leakscope_test pixbank_image_test_edit font_test volleyedit_core_test
RUN="$BUILD/run"
GOLDEN="$PWD/tests/golden"

# name, then the arguments (the same as tests/e2e/volleyplay_golden_test.cpp)
trace() {
  local name=$1; shift
  (cd "$RUN" && ./volleyplay "$@" --trace "$GOLDEN/$name" > /dev/null)
  echo "wrote tests/golden/$name ($(wc -l < "$GOLDEN/$name") frames)"
}

trace volleyplay_frames_1_14.jsonl --headless --frames 14
trace volleyplay_frames_2026_2029.jsonl --headless --frames 2029 --trace-from 2026 --trace-to 2029

# The page checksum, the programmes' timetable and the designer's statistics text are written by
# their tests: the one golden check rewrites what it compares when VOLLEY_UPDATE_GOLDEN is set.
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/image_golden_test" --gtest_brief=1 > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/volleyplay_test" --gtest_brief=1 > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/volleyedit_model_test" \
  --gtest_filter='StatsText.*:Designer*:KeyRepeat.*:BarrageFileTest.*' \
  --gtest_brief=1 > /dev/null
# The digests of the command sessions (tests/golden/sessions/ and tests/golden/designer/).
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/sessions_e2e_test" --gtest_brief=1 > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/volleyplay_e2e_test" --gtest_filter='*Headless*' > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/leakscope_test" --gtest_filter='LeakscopeExit.*' > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/harness_test" --gtest_brief=1 \
  --gtest_filter='KeyScript.Golden*:HarnessOptions.BadOptionsAreRefused*' > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/pixbank_image_test_edit" --gtest_filter='Image.FilesLoad*' \
  --gtest_brief=1 > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/font_test" --gtest_filter='Font.TextsDraw*' --gtest_brief=1 \
  > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/volleyedit_core_test" --gtest_filter='DesignerChooserKeys.*' \
  --gtest_brief=1 > /dev/null
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/draw2d_core_test" --gtest_filter='Draw2d*' \
  --gtest_brief=1 > /dev/null
echo "wrote tests/golden/image_page.crc, image_assets.txt, image_sheets.txt, font_rows.txt,"
echo "volleyplay_timetable.txt, volleyplay_runs.txt, leakscope_exit.txt, designer_*.txt,"
echo "harness_key_scripts.txt, harness_options.txt, draw2d_*.txt, sessions/*.out and"
echo "designer/*.out"
git diff --stat -- tests/golden
