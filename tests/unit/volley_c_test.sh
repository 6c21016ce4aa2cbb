#!/usr/bin/env bash
# Runs the C11 test program: it must pass, print no tracker report by default, and print a
# clean one ("All memory deallocated") when it turns the report on.
set -u
PROGRAM=$1
MODE=$2
OUT=$("$PROGRAM" "$MODE" "$3" </dev/null 2>&1)
RC=$?
printf '%s\n' "$OUT"
if [ "$RC" -ne 0 ]; then echo "exit code $RC"; exit 1; fi
if [ "$MODE" = report ]; then
  grep -q '(LEAKSCOPE) All memory deallocated' <<<"$OUT" || { echo "no clean report"; exit 1; }
  if grep -q 'not deallocated' <<<"$OUT"; then echo "blocks left"; exit 1; fi
else
  if grep -q 'LEAKSCOPE' <<<"$OUT"; then
    echo "the report was printed without being asked"
    exit 1
  fi
fi
