#!/usr/bin/env bash
# Checks that the deviation markers in the code and the entries of docs/DEVIATIONS.md agree.
# Usage: tools/check_deviations.sh [SOURCE_DIR]
# Fails, naming what differs, when a marked id has no entry, an entry's id is marked nowhere,
# an id is listed twice, a marker has no id (or one that is not kebab-case), or an entry lacks
# one of its What / Why / Tier / Test lines. Code is every tracked file outside docs/.
set -eu

ROOT="${1:-$(dirname "$0")/..}"
DOC="$ROOT/docs/DEVIATIONS.md"
SELF="tools/check_deviations.sh"
WORD="DEVIATION"  # kept apart so that this file carries no marker itself

[ -f "$DOC" ] || { echo "check_deviations: $DOC is missing"; exit 1; }

# Every line of code that mentions the word, as FILE:LINE:TEXT.
code_lines() {
  if git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$ROOT" grep -n -I -w "$WORD" -- . ':!docs' ":!$SELF" || true
  else
    (cd "$ROOT" && grep -rn -I -w "$WORD" --exclude-dir=docs --exclude-dir=.git \
       --exclude-dir='build*' . | grep -v "^\./$SELF:" || true)
  fi
}

LINES=$(code_lines)
MARKED=$(grep -o -E "$WORD\([a-z0-9]+(-[a-z0-9]+)*\):" <<<"$LINES" |
         sed -E "s/^$WORD\(//; s/\):$//" | sort -u || true)
LISTED_ALL=$(grep -o -E '^### `[^`]*`:' "$DOC" | sed -E 's/^### `//; s/`:$//' || true)
LISTED=$(sort -u <<<"$LISTED_ALL")

FAILED=0
report() { echo "check_deviations: $*"; FAILED=1; }

# A marker must carry a well-formed id: every "WORD:" or "WORD(...)" on a line is "WORD(an-id):".
while IFS= read -r L; do
  [ -n "$L" ] || continue
  TEXT=${L#*:*:}
  ANY=$(grep -o -E "$WORD *[:(]" <<<"$TEXT" | wc -l)
  GOOD=$(grep -o -E "$WORD\([a-z0-9]+(-[a-z0-9]+)*\):" <<<"$TEXT" | wc -l)
  if [ "$ANY" -ne "$GOOD" ]; then
    report "marker without a kebab-case id at $(cut -d: -f1,2 <<<"$L")"
  fi
done <<<"$LINES"

for ID in $(comm -23 <(echo "$MARKED") <(echo "$LISTED")); do
  report "id '$ID' is marked in the code but has no entry in docs/DEVIATIONS.md"
done
for ID in $(comm -13 <(echo "$MARKED") <(echo "$LISTED")); do
  report "entry '$ID' in docs/DEVIATIONS.md is marked nowhere in the code"
done
for ID in $(sort <<<"$LISTED_ALL" | uniq -d); do
  report "entry '$ID' appears more than once in docs/DEVIATIONS.md"
done

# Each entry, up to the next heading, has its four lines.
for ID in $LISTED; do
  BODY=$(awk -v H="### \`$ID\`:" 'index($0, H) == 1 {on = 1; next} /^#/ {on = 0} on' "$DOC")
  for FIELD in What Why Tier Test; do
    grep -q -E "^- \*\*$FIELD:\*\*" <<<"$BODY" || report "entry '$ID' has no '$FIELD' line"
  done
done

if [ "$FAILED" -ne 0 ]; then exit 1; fi
echo "check_deviations: $(wc -w <<<"$MARKED") ids, marked in the code and listed in the doc alike"
