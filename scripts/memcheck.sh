#!/usr/bin/env bash
# Memory stage: the headless player over its whole programme (6000 frames) and a scripted
# headless designer session run under valgrind's memcheck. Any error, and any block lost
# (definitely, indirectly or possibly), fails the stage, and the tracker must report
# "All memory deallocated". Headless runs never start SDL video, so no suppression is needed.
# Usage: scripts/memcheck.sh [BUILD_DIR]   (default: build/, a plain build)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
RUN="$BUILD/run"
for p in volleyplay volleyedit; do
  [ -x "$RUN/$p" ] || { echo "memcheck: $RUN/$p is missing (build $BUILD first)"; exit 1; }
done
WORK="$(mktemp -d /tmp/volleymemcheckXXXXXX)"
trap 'rm -rf "$WORK"' EXIT
for f in korvane.pal kv_bullet.put tiny_font.put qzfntdg.put qz.pal bullet.put; do
  ln -s "$RUN/$f" "$WORK/$f"
done

VALGRIND=(valgrind --tool=memcheck --error-exitcode=1 --leak-check=full --show-leak-kinds=all
          --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes)

check() {
  local name="$1" log="$WORK/$1.log"
  shift
  if ! (cd "$WORK" && "${VALGRIND[@]}" "$@") >"$log" 2>&1; then
    echo "memcheck: $name: FAILED"
    grep -E '==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|.*lost in|ERROR SUMMARY)|at 0x|by 0x' "$log" | head -n 40
    return 1
  fi
  if ! grep -q 'All memory deallocated' "$log"; then
    echo "memcheck: $name: the tracker did not report \"All memory deallocated\""
    grep 'LEAKSCOPE' "$log" | head -n 20
    return 1
  fi
  echo "memcheck: $name: $(grep -o 'ERROR SUMMARY: [0-9]* errors' "$log" | tail -n 1), $(grep -o 'All heap blocks were freed[^=]*\|definitely lost: [0-9,]* bytes' "$log" | head -n 1)"
}

# A designer session: every key of the map, a save, a load of the saved copy, the chooser
# confirmed on barrage_2.vly, and Escape. The three start-up answers come on standard input.
cat >"$WORK/session.keys" <<'KEYS'
2 Down down
3 Down up
4 Right down
20 Right up
22 Left down
24 Left up
26 Tab down
27 Tab up
29 F3 down
30 F3 up
32 F1 down
33 F1 up
40 F2 down
41 F2 up
45 F4 down
46 F4 up
48 Down down
49 Down up
51 Down down
52 Down up
54 Enter down
55 Enter up
60 Up down
75 Up up
KEYS
cp "$ROOT/fuzz/corpus/barrage_load/startup.vly" "$WORK/barrage2.vly"
cp "$ROOT/fuzz/corpus/barrage_load/extremes.vly" "$WORK/barrage_2.vly"

failed=0
check volleyplay "$RUN/volleyplay" --headless --frames 6000 </dev/null || failed=1
printf '622' | check volleyedit "$RUN/volleyedit" --headless --keys "$WORK/session.keys" --frames 300 || failed=1
[ $failed -eq 0 ] && echo "memcheck: both programs clean"
exit $failed
