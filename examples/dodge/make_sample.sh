#!/usr/bin/env bash
# Makes sample.json, the programme that dodge plays, with Volley's own tools: the designer,
# driven by key scripts, saves two designs, and volleypattern joins them into one programme.
#   1. the designer's start-up design: a spiral of four bullets a shot;
#   2. an aimed spread: five slower bullets every half second at the target;
# the spread starts 240 frames (four seconds) after the spiral.
# Usage: examples/dodge/make_sample.sh BUILD_DIR   (a built tree; writes examples/dodge/sample.json)
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
RUN="$(cd "${1:?usage: make_sample.sh BUILD_DIR}" && pwd)/run"
WORK="$(mktemp -d /tmp/volleysampleXXXXXX)"
trap 'rm -rf "$WORK"' EXIT
export VOLLEY_DATA_DIR="$RUN"

FRAME=2
KEYS=""
press() {  # KEY [TIMES]: one press per pair of frames
  for ((i = 0; i < ${2:-1}; i++)); do
    KEYS+="$FRAME $1 down"$'\n'"$((FRAME + 1)) $1 up"$'\n'
    FRAME=$((FRAME + 2))
  done
}
design() {  # NAME: saves the menu as it stands (F1 writes barrage.vly) and keeps it as NAME
  press F1
  printf '%s' "$KEYS" > "$WORK/$1.keys"
  (cd "$WORK" && printf '622' | "$RUN/volleyedit" --headless --keys "$1.keys" \
     --frames $((FRAME + 2)) > "$1.log" 2>&1)
  mv "$WORK/barrage.vly" "$WORK/$1.vly"
}

design spiral
KEYS="" FRAME=2
press Down; press Left                 # row 1: the cannon aims at its target
press Down 16; press Right 26          # row 17: 30 frames between shots
press Down; press Right 26             # row 18: and 30 frames at most
press Down 4; press Right              # row 22: five bullets a shot
press Down; press Left 10              # row 23: 15 degrees apart
press Down; press Left 15              # row 24: 2.5 pixels a frame
design spread

"$RUN/volleypattern" join "$WORK/spiral.vly" "$WORK/spread.vly:240" -o "$HERE/sample.json"
"$RUN/volleypattern" info "$HERE/sample.json"
