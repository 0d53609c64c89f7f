#!/usr/bin/env bash
# Makes a fresh Wine prefix at PREFIX (removing any old one) with the settings
# the tests and the demo need: Wine-drawn window frames (Xvfb has no window
# manager), CJK font replacements and per-program Windows versions.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
prefix=$1
export WINEPREFIX=$prefix
if [ -d "$prefix" ]; then
  "$WINESERVER" -k 2>/dev/null || true
  rm -rf "$prefix"
fi
mkdir -p "$prefix"
"$WINE64" wineboot -i </dev/null >/dev/null 2>&1
"$WINESERVER" -w
# regedit wants UTF-16 for the Chinese value names; the source is kept as UTF-8.
reg="$prefix/korva-settings.reg"
{ printf '\xff\xfe'; sed 's/$/\r/' "$here/wine-settings.reg" | iconv -f UTF-8 -t UTF-16LE; } > "$reg"
"$WINE64" regedit /S "Z:$(echo "$reg" | tr / '\\')" </dev/null >/dev/null 2>&1
"$WINESERVER" -w
