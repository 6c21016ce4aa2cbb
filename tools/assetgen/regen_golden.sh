#!/bin/sh
# Rewrites tests/golden/image_page.crc from the current fonts and bullet sprites.
# Usage: tools/assetgen/regen_golden.sh [build directory, default build]
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$ROOT/build}
cmake --build "$BUILD" --target image_golden_test volley_assets
VOLLEY_UPDATE_GOLDEN=1 "$BUILD/tests/image_golden_test" --gtest_brief=1 || true
git -C "$ROOT" diff --stat -- tests/golden/image_page.crc
