#!/usr/bin/env bash
# Package stage: builds the Debian package of a plain build and checks it as a user would meet
# it: the files it holds, its dependencies, the player run from an empty directory out of the
# unpacked package, the manual pages rendered without warnings and the menu entries validated.
# Then it installs the build into a temporary prefix with cmake --install and builds the
# example game examples/dodge against that installation alone, and runs it for 300 frames on
# SDL's dummy video driver. Exits non-zero on the first failure.
# Usage: scripts/package_check.sh [BUILD_DIR]   (default: build/, configured with
# -DCMAKE_INSTALL_PREFIX=/usr as scripts/test.sh does)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
WORK="$(mktemp -d /tmp/volleypackageXXXXXX)"
trap 'rm -rf "$WORK"' EXIT

fail() { echo "package: $*" >&2; exit 1; }
run_logged() {  # name, command...: runs the command, shows its log only when it fails
  local name=$1; shift
  "$@" > "$WORK/$name.log" 2>&1 || { cat "$WORK/$name.log"; fail "$name failed"; }
}

VERSION="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")"
PREFIX="$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$BUILD/CMakeCache.txt")"
[ "$PREFIX" = /usr ] || fail "$BUILD installs into $PREFIX; a Debian package needs -DCMAKE_INSTALL_PREFIX=/usr"
PROGRAMS=(volleyplay volleyedit)
DESKTOP=(volleyplay volleyedit)
ASSETS=(korvane.pal qz.pal kv_bullet.put bullet.put tiny_font.put qzfntdg.put)

# The package and the files it must hold.
run_logged cpack bash -c "cd '$BUILD' && cpack -G DEB"
DEB="$BUILD/volley_${VERSION}_amd64.deb"
[ -f "$DEB" ] || fail "cpack did not write $DEB"
dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's|/$||' > "$WORK/contents"
EXPECTED=()
for p in "${PROGRAMS[@]}"; do
  EXPECTED+=("./usr/bin/$p" "./usr/share/man/man1/$p.1.gz")
done
for d in "${DESKTOP[@]}"; do EXPECTED+=("./usr/share/applications/$d.desktop"); done
for a in "${ASSETS[@]}"; do EXPECTED+=("./usr/share/volley/$a"); done
for s in 32 48 64 128 256; do EXPECTED+=("./usr/share/icons/hicolor/${s}x${s}/apps/volley.png"); done
for f in "${EXPECTED[@]}"; do
  grep -qxF "$f" "$WORK/contents" || fail "$DEB lacks $f"
done
DEPENDS="$(dpkg-deb -f "$DEB" Depends)"
for lib in libsdl2 libglfw3 libpng16 libgif libc6 libstdc++6; do
  [[ "$DEPENDS" == *"$lib"* ]] || fail "the package's dependencies lack $lib: $DEPENDS"
done
echo "package: $(basename "$DEB"), $(stat -c %s "$DEB") bytes, $(wc -l < "$WORK/contents") entries"
echo "package: depends on $DEPENDS"

# The unpacked package: the player from an empty directory, with and without VOLLEY_DATA_DIR.
UNPACKED="$WORK/root"
dpkg-deb -x "$DEB" "$UNPACKED"
mkdir "$WORK/empty"
for p in "${PROGRAMS[@]}"; do
  "$UNPACKED/usr/bin/$p" --version </dev/null > "$WORK/version" 2>/dev/null
  LINE="$(head -n 1 "$WORK/version")"
  [[ "$LINE" == "$p $VERSION (commit "*")" ]] || fail "$p --version printed: $LINE"
done
(cd "$WORK/empty" && VOLLEY_DATA_DIR="$UNPACKED/usr/share/volley" \
  timeout 60 "$UNPACKED/usr/bin/volleyplay" --headless --frames 60 </dev/null > "$WORK/play.log" 2>&1) \
  || { cat "$WORK/play.log"; fail "the unpacked volleyplay did not run from an empty directory"; }
grep -q "All memory deallocated" "$WORK/play.log" || fail "the unpacked volleyplay leaked: $(cat "$WORK/play.log")"
if [ ! -e /usr/share/volley/bullet.put ]; then
  # The data directory compiled into the package's programs is the one the package fills.
  (cd "$WORK/empty" && env -u VOLLEY_DATA_DIR timeout 60 "$UNPACKED/usr/bin/volleyplay" \
    --headless --frames 60 </dev/null > "$WORK/lost.log" 2>&1) || true
  grep -qF "cannot find bullet.put in the current directory or /usr/share/volley" "$WORK/lost.log" \
    || fail "volleyplay without its assets said: $(cat "$WORK/lost.log")"
fi

# Manual pages: rendered without a warning, with every section a reader looks for.
for p in "${PROGRAMS[@]}"; do
  PAGE="$UNPACKED/usr/share/man/man1/$p.1.gz"
  WARNINGS="$(MANWIDTH=80 man --warnings -l "$PAGE" 2>&1 >/dev/null)"
  [ -z "$WARNINGS" ] || fail "man $p: $WARNINGS"
  TEXT="$(MANWIDTH=80 man -l "$PAGE" 2>/dev/null)"
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLE; do
    grep -qx "$section" <<< "$TEXT" || fail "man $p has no $section section"
  done
done

# Menu entries: valid, and naming a program and an icon that the package installs.
for d in "${DESKTOP[@]}"; do
  ENTRY="$UNPACKED/usr/share/applications/$d.desktop"
  desktop-file-validate "$ENTRY" || fail "desktop-file-validate refused $d.desktop"
  EXEC="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$ENTRY")"
  ICON="$(sed -n 's/^Icon=//p' "$ENTRY")"
  [ -x "$UNPACKED/usr/bin/$EXEC" ] || fail "$d.desktop starts $EXEC, which the package lacks"
  [ -f "$UNPACKED/usr/share/icons/hicolor/48x48/apps/$ICON.png" ] || fail "$d.desktop shows icon $ICON, which the package lacks"
done

echo "package: contents, programs, manual pages and menu entries checked"
