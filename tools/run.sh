#!/usr/bin/env bash
# Builds Setup.exe and the sample install folder, prepares a private demo
# Wine prefix and starts the installer from the sample folder.
#  - With a display: the real launcher opens for you to use.
#  - Without one: a private Xvfb is started and a scripted walk goes through
#    a complete install, saving a screenshot of every window on the way into
#    build/demo/screenshots, then prints what the spooler holds.
# LANG=zh_CN.UTF-8 gives the Chinese installer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine-env.sh"
"$root/tools/deps.sh"

build=${KORVA_BUILD_DIR:-$root/build}/x86_64
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target Setup sample_folder demo_walk

demo=${KORVA_BUILD_DIR:-$root/build}/demo
folder=$demo/install
shots=$demo/screenshots
rm -rf "$folder" "$shots"
mkdir -p "$demo" "$shots"
cp -r "$build/sample" "$folder"
cp "$build/launcher/Setup.exe" "$folder/"

export LANG=${LANG:-en_US.UTF-8}
export LC_ALL=$LANG
export WINEPREFIX=$demo/wineprefix
echo "run: preparing the demo Wine prefix ($WINEPREFIX)"
"$root/tools/wine-prefix.sh" "$WINEPREFIX"

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "run: starting Setup.exe on $DISPLAY"
  cd "$folder"
  "$WINE64" Setup.exe
  "$WINESERVER" -w
  exit 0
fi

xvfb_pid=
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
start_xvfb "$demo/xvfb-display"
echo "run: no display; walking through an install on Xvfb $DISPLAY"

cd "$folder"
# The walk asks for each screenshot with "SHOT <name>" and waits for our answer.
coproc WALK { "$WINE64" "$build/tests/e2e/demo_walk.exe" Setup.exe 2>&1; }
walk_pid=$WALK_PID
while IFS= read -r line <&"${WALK[0]}"; do
  line=${line%$'\r'}
  case "$line" in
    "SHOT "*)
      name=${line#SHOT }
      import -window root "$shots/$name.png"
      echo "run: screenshot $shots/$name.png"
      echo ok >&"${WALK[1]}"
      ;;
    *) echo "$line" ;;
  esac
done
wait "$walk_pid"
