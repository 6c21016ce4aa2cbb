#!/usr/bin/env bash
# Builds Volley twice (plain, and with AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# every test of both builds (window tests on a private Xvfb display), then the package stage
# (the Debian package and an example game built against the installed library), the memory
# stage (valgrind) and the fuzz stage (libFuzzer, bounded time). Exits non-zero on any failure.
# Usage: scripts/test.sh   (from anywhere; JOBS sets the build parallelism, FUZZ_SECONDS the
# fuzzing time per target)
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}

stage() { printf '\n==== %s ====\n' "$*"; }

configure_and_build() {  # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j "$JOBS"
}

run_ctest() {  # dir, label regex to exclude
  local dir=$1 exclude=$2
  # One X server for the whole run; tests that need a window find it in DISPLAY. Tests that
  # open windows run one at a time: real key events go to whichever window has the focus.
  # -noreset: by default the server starts over each time its last client leaves, and a
  # program that connects during that reset finds no display (SDL then refuses to open a
  # window); window tests follow each other closely enough to hit that.
  xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash -c '
    ctest --test-dir "$1" --output-on-failure -j "$2" --timeout 300 -LE "$3|window" </dev/null &&
    ctest --test-dir "$1" --output-on-failure -j 1 --timeout 300 -L window -LE "$3" </dev/null
  ' run_ctest "$dir" "$JOBS" "$exclude"
}

mkdir -p build build-asan
stage "plain build"
configure_and_build build -DCMAKE_INSTALL_PREFIX=/usr
stage "plain build: tests"
run_ctest build bench

stage "package: the Debian package, and examples/dodge built against an installation"
bash scripts/package_check.sh build

stage "memory: headless player and scripted designer under valgrind"
bash scripts/memcheck.sh build

stage "sanitizer build (ASan + UBSan)"
configure_and_build build-asan -DVOLLEY_SANITIZE=ON -DVOLLEY_BENCH=OFF
stage "sanitizer build: tests"
ASAN_OPTIONS=abort_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_ctest build-asan "bench|slow"

stage "fuzz: every loader and parser (libFuzzer, bounded time) and every regression input"
FUZZ_SECONDS=${FUZZ_SECONDS:-12} bash scripts/fuzz.sh

stage "all tests passed"
