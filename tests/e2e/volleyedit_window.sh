#!/usr/bin/env bash
# volleyedit in a real window (Xvfb), driven by real key events from xdotool: the start-up
# answers come through a pipe, Down moves the selection, Escape quits. Passes when the program
# exits with code 0, its window has the expected size and its tracker reports a clean exit.
# Never waits for ever: every wait has a deadline and the program is killed if it outlives it.
# A failure prints the X window tree and the program's output.
# Usage: volleyedit_window.sh PROGRAM ANSWERS WIDTHxHEIGHT   (exit 77: no X display or xdotool)
set -u
PROGRAM=$1
ANSWERS=$2
SIZE=$3

[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
RUN_DIR=$(dirname "$PROGRAM")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
for F in korvane.pal kv_bullet.put tiny_font.put qzfntdg.put; do
  ln -s "$RUN_DIR/$F" "$WORK/$F"
done
cd "$WORK" || exit 1

# In the OpenGL modes LeakSanitizer's exit scan crashes on Mesa's software-renderer threads
# (a sanitizer build only); our own blocks are still checked by the tracker's report below.
case "$ANSWERS" in
  4*|5*) export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0" ;;
esac
printf '%s' "$ANSWERS" | "$PROGRAM" >out.txt 2>err.txt &
PID=$!
fail() {
  echo "FAIL: $*"
  echo "--- X window tree"; xwininfo -root -tree 2>&1 | head -n 40
  kill "$PID" 2>/dev/null; sleep 1; kill -9 "$PID" 2>/dev/null
  echo "--- stdout"; cat out.txt; echo "--- stderr"; tr '\r' '\n' <err.txt
  exit 1
}

# The window appears (SDL's "Volley" window or the GLFW window of the OpenGL modes).
WID=""
for _ in $(seq 1 150); do
  kill -0 "$PID" 2>/dev/null || fail "the program ended before its window appeared"
  WID=$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | head -n 1)
  [ -n "$WID" ] ||
    WID=$(xdotool search --onlyvisible --name '^(Volley|GLFW Window)$' 2>/dev/null | head -n 1)
  [ -n "$WID" ] && break
  sleep 0.2
done
[ -n "$WID" ] || fail "no window within 30 s"
GEOMETRY=$(xdotool getwindowgeometry --shell "$WID" 2>/dev/null)
SHOWN=$(echo "$GEOMETRY" | sed -n 's/^WIDTH=//p')x$(echo "$GEOMETRY" | sed -n 's/^HEIGHT=//p')
[ "$SHOWN" = "$SIZE" ] || fail "the window is $SHOWN, not $SIZE"
sleep 0.5
xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID" 2>/dev/null

# A few frames of real keys: Down held briefly, then Escape held until the program ends.
# The window is focused again before each key: another window on the same X server may have
# taken the focus meanwhile.
focus() { xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID" 2>/dev/null; }
press() { focus; xdotool keydown "$1"; sleep 0.25; xdotool keyup "$1"; sleep 0.2; }
press Down
press Down
# Escape is pressed again every 2 s: on a loaded machine the window may not hold the focus
# yet when the first press arrives.
for i in $(seq 1 100); do
  if [ $((i % 10)) -eq 1 ]; then
    xdotool keyup Escape 2>/dev/null
    focus
    xdotool keydown Escape
  fi
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.2
done
xdotool keyup Escape
kill -0 "$PID" 2>/dev/null && fail "still running 20 s after Escape"
wait "$PID"
CODE=$?
[ "$CODE" -eq 0 ] || fail "exit code $CODE"
grep -q "All memory deallocated" out.txt || fail "the tracker did not report a clean exit"
grep -q "All memory deallocated" err.txt || fail "no clean report on standard error"
echo "ok: answers $ANSWERS, window $WID of $SHOWN, exit 0, clean tracker report"
