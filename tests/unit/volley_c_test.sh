#!/usr/bin/env bash
# Runs the C11 test program (arguments: program, mode, golden directory): it must pass, and
# the tracker may say only that all memory was deallocated (once per stream) when the program
# turns its report on, and nothing otherwise.
set -u
OUT=$("$1" "$2" "$3" </dev/null 2>&1) || { printf '%s\nexit code %s\n' "$OUT" "$?"; exit 1; }
printf '%s\n' "$OUT"
WANT=""
if [ "$2" = report ]; then WANT="(LEAKSCOPE) All memory deallocated"; fi
GOT=$(tr -d '\r' <<<"$OUT" | grep -o '(LEAKSCOPE)[^(]*' | sort -u)
[ "$GOT" = "$WANT" ] || { echo "tracker lines: \"$GOT\", want \"$WANT\""; exit 1; }
