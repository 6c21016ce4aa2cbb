#!/usr/bin/env bash
# volleyedit in a real window (Xvfb), driven by real key events from xdotool: the start-up
# answers come through a pipe; Down twice, then the programme keys Insert twice and Delete (two
# sets left, the second current), End, PageUp, PageDown, PageUp, F6 and F5, then Escape.
# Passes when the window has the expected size, the trace shows each programme step in order,
# the saved programme holds a delay (End repeats while held: some multiple of 10), and the
# program exits with code 0 and a clean tracker report. Every wait has a deadline and the
# program is killed if it outlives it; on failure it prints the window list, the programme
# states of the trace and the program's output.
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
printf '%s' "$ANSWERS" | "$PROGRAM" --trace trace.jsonl >out.txt 2>err.txt &
PID=$!
seen() { grep -o '"set":[0-9]*,"sets":[0-9]*,"playing":[a-z]*' trace.jsonl 2>/dev/null | uniq; }
fail() {
  echo "FAIL: $*"
  echo "--- windows"; xdotool search --name '.' getwindowname %@ 2>/dev/null | head -20
  kill "$PID" 2>/dev/null; sleep 1; kill -9 "$PID" 2>/dev/null
  echo "--- programme states in the trace"; seen
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

# Each key is held a quarter of a second (about 15 frames), the window focused before each:
# another window on the same X server may have taken the focus meanwhile.
focus() { xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID" 2>/dev/null; }
press() { focus; xdotool keydown "$1"; sleep 0.25; xdotool keyup "$1"; sleep 0.25; }
sleep 0.5
for KEY in Down Down Insert Insert Delete End Prior Next Prior F6 F5; do press "$KEY"; done
sleep 0.5

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
WANT='"set":2,"sets":2,"playing":false
"set":3,"sets":3,"playing":false
"set":2,"sets":2,"playing":false
"set":1,"sets":2,"playing":false
"set":2,"sets":2,"playing":false
"set":1,"sets":2,"playing":false
"set":1,"sets":2,"playing":true'
[ "$(seen)" = "$WANT" ] || fail "the trace does not show the keys' steps in order"
[ -f barrage.json ] || fail "F6 wrote no barrage.json"
grep -q -E '"DELAY": *[1-9][0-9]*0,' barrage.json ||
  fail "the saved programme lacks the delay set with End: $(cat barrage.json)"
echo "ok: answers $ANSWERS, window $WID of $SHOWN, exit 0: $(seen | tr '\n' ' ')"
