#!/usr/bin/env bash
# Package stage: builds the Debian package of a plain build and checks it as a user would meet
# it: the files it holds, its dependencies, the player run from an empty directory out of the
# unpacked package, the manual pages rendered without warnings and the menu entries validated.
# Then it installs the build into a temporary prefix with cmake --install, builds the example
# game examples/dodge against that installation alone (find_package) and runs it for 300
# frames on SDL's dummy video driver, and builds a C11 program with pkg-config. Exits non-zero
# on the first failure.
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
LIBDIR="$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$BUILD/CMakeCache.txt")"
# Every installed program, and those with a menu entry, as cmake/VolleyInstall.cmake lists them.
mapfile -t PROGRAMS < <(awk '{print $1}' "$BUILD/installed_programs.txt")
mapfile -t DESKTOP < <(awk '$2 == "desktop" {print $1}' "$BUILD/installed_programs.txt")
[ ${#PROGRAMS[@]} -ge 4 ] || fail "$BUILD/installed_programs.txt lists ${#PROGRAMS[@]} programs"
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
for f in volley/volley.hpp volley/volley.h volley/engine/turret_module.hpp volley/engine/engine_variant.hpp; do
  EXPECTED+=("./usr/include/$f")
done
for f in libvolley.so "libvolley.so.${VERSION%.*}" "libvolley.so.$VERSION" libvolley.a pkgconfig/volley.pc \
         cmake/Volley/VolleyConfig.cmake cmake/Volley/VolleyConfigVersion.cmake cmake/Volley/VolleyTargets.cmake; do
  EXPECTED+=("./usr/$LIBDIR/$f")
done
for f in "${EXPECTED[@]}"; do
  grep -qxF "$f" "$WORK/contents" || fail "$DEB lacks $f"
done
DEPENDS="$(dpkg-deb -f "$DEB" Depends)"
for lib in libsdl2 libglfw3 libpng16 libgif libc6 libstdc++6; do
  [[ "$DEPENDS" == *"$lib"* ]] || fail "the package's dependencies lack $lib: $DEPENDS"
done
[ "$(dpkg-deb -f "$DEB" Description | wc -l)" -gt 3 ] || fail "the package has no long description"
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
  WARNINGS="$(MANWIDTH=80 man --warnings=w -l "$PAGE" 2>&1 >/dev/null)"  # w: every warning
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

# An installation in a temporary prefix, and a game that knows Volley only through it: the
# example built with find_package(Volley), a C11 program built with pkg-config.
INSTALLED="$WORK/prefix"
run_logged install cmake --install "$BUILD" --prefix "$INSTALLED"
run_logged dodge-configure cmake -S "$ROOT/examples/dodge" -B "$WORK/dodge" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$INSTALLED"
run_logged dodge-build cmake --build "$WORK/dodge"
(cd "$WORK/empty" && SDL_VIDEODRIVER=dummy timeout 60 "$WORK/dodge/dodge" "$ROOT/examples/dodge/sample.json" \
  --frames 300 --screenshot "$WORK/dodge.bmp" </dev/null > "$WORK/dodge.log" 2>&1) \
  || { cat "$WORK/dodge.log"; fail "dodge did not run 300 frames"; }
grep -Eq '^dodge: [0-9]+ hits after 300 frames$' "$WORK/dodge.log" || fail "dodge said: $(cat "$WORK/dodge.log")"
[[ "$(file -b "$WORK/dodge.bmp")" == *"PC bitmap"*"320 x 240"* ]] || fail "dodge's screenshot: $(file -b "$WORK/dodge.bmp")"
mkdir -p "$BUILD/artifacts"
cp "$WORK/dodge.bmp" "$BUILD/artifacts/dodge_300.bmp"
echo "package: $(cat "$WORK/dodge.log") (built against the installation with find_package);" \
     "its last frame: $BUILD/artifacts/dodge_300.bmp"

cat > "$WORK/steps.c" <<'C'
#include <stdio.h>
#include <volley/volley.h>
int main(int argc, char** argv) {
  char err[256];
  volley_programme* p = volley_programme_load(argc > 1 ? argv[1] : "", err, sizeof err);
  if (!p) { fprintf(stderr, "%s\n", err); return 1; }
  volley_cannon* c = volley_cannon_new(p);
  size_t live = 0;
  for (int f = 0; f < 60; ++f) { volley_cannon_step(c); live = volley_cannon_bullets(c, NULL, 0); }
  printf("%zu\n", live);
  volley_cannon_free(c);
  volley_programme_free(p);
  return live > 0 ? 0 : 1;
}
C
export PKG_CONFIG_PATH="$INSTALLED/$LIBDIR/pkgconfig"
run_logged pkg-config-build bash -c "cc -std=c11 -Wall -Werror '$WORK/steps.c' -o '$WORK/steps' \
  \$(pkg-config --cflags --libs volley) -Wl,-rpath,'$INSTALLED/$LIBDIR'"
LIVE="$("$WORK/steps" "$ROOT/examples/dodge/sample.json")" || fail "the pkg-config build found no live bullet"
echo "package: a C11 program built with pkg-config --cflags --libs volley sees $LIVE live bullets after 60 frames"
