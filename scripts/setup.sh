#!/usr/bin/env bash
# Installs every Debian package that building, testing, fuzzing and benchmarking Volley need.
# Only missing packages are installed; a second run installs nothing and needs no network.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  clang libclang-rt-14-dev          # libFuzzer and the sanitizer runtimes
  libsdl2-dev                       # window, keyboard and events of the drawing library
  libglfw3-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri   # designer's OpenGL modes
  libgtest-dev libgmock-dev libbenchmark-dev
  libgif-dev libpng-dev             # recording runs
  nlohmann-json3-dev                # the pattern library's text format
  xvfb xauth xdotool                # window tests: X server and real key events
  valgrind
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
