# Sourced by the other scripts: where Wine lives and how every run of it is set up.
WINE_DIR=/usr/lib/wine
WINE64=$WINE_DIR/wine64
WINESERVER=$WINE_DIR/wineserver
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# Starts a private Xvfb on a free display, sets DISPLAY and xvfb_pid.
# $1: a file for the display number.
start_xvfb() {
  exec 5>"$1"
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  exec 5>&-
  for _ in $(seq 100); do [ -s "$1" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$1")"
}
