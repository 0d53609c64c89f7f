# Sourced by the other scripts: where Wine lives and how every run of it is set up.
WINE_DIR=/usr/lib/wine
WINE64=$WINE_DIR/wine64
WINESERVER=$WINE_DIR/wineserver
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
