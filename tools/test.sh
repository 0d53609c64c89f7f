#!/usr/bin/env bash
# Installs what is missing, builds the 64-bit program and its tests and the
# 32-bit program, and runs every test under wine64 in a fresh private prefix
# on a private Xvfb display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine-env.sh"
"$root/tools/deps.sh"

# KORVA_BUILD_DIR lets several builds of one checkout run side by side.
build=${KORVA_BUILD_DIR:-$root/build}/x86_64
jobs=$(nproc)
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$jobs"
# The 32-bit program must compile too; nothing here can run it.
cmake -S "$root" -B "$build/../i686" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DKORVA_TESTS=OFF >/dev/null
cmake --build "$build/../i686" -j "$jobs"

prefix=$build/wineprefix
export WINEPREFIX=$prefix
echo "test: making a fresh Wine prefix"
"$root/tools/wine-prefix.sh" "$prefix"

xvfb_pid=
cleanup() {
  WINEPREFIX=$prefix "$WINESERVER" -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
start_xvfb "$build/xvfb-display"
export KORVA_DISPLAY=$DISPLAY

# One server for the whole run; the first program started must not inherit
# CTest's pipes, or Wine's services keep CTest waiting for ever.
"$WINESERVER" -p
"$WINE64" cmd /c exit 0 </dev/null >/dev/null 2>&1
cd "$build"
ctest --output-on-failure --timeout 300 "$@"
