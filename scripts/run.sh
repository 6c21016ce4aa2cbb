#!/usr/bin/env bash
# Builds the player (when needed) and runs it. With a display it opens the player's window
# (press any key to end it; the allocation tracker then waits for one more key). Without a
# display it plays 20 seconds (1200 frames) headless and writes build/run/volleyplay.gif.
# Usage: scripts/run.sh   (from anywhere; set BUILD to use another build directory)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}

if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$BUILD.configure.log" 2>&1 \
    || { cat "$BUILD.configure.log"; exit 1; }
fi
cmake --build "$BUILD" --target volleyplay volley_assets

# The player reads bullet.put and qz.pal from the directory it runs in.
cd "$BUILD/run"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: volleyplay in a window; press any key to stop it, then one more for the report"
  exec ./volleyplay
fi

echo "run: no display; playing 20 seconds headless and recording them"
./volleyplay --headless --frames 1200 --gif volleyplay.gif --gif-every 2 < /dev/null
echo "run: wrote $PWD/volleyplay.gif (600 frames, 30 per second, 20 seconds)"
