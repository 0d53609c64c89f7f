#!/usr/bin/env bash
# Runs one Windows program under wine64 in the given private prefix.
# CTest uses it as the cross-compiling emulator: wine-run.sh PREFIX program.exe args...
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINEPREFIX=$1
shift
if [ -n "${KORVA_DISPLAY:-}" ]; then export DISPLAY=$KORVA_DISPLAY; fi
exec "$WINE64" "$@"
