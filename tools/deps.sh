#!/usr/bin/env bash
# Installs every build, test and demo dependency from Debian's packages.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PKGS=(
  cmake make
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64
  xvfb xdotool x11-apps imagemagick
  fonts-wqy-zenhei fonts-dejavu-core
  googletest locales
  python3
)

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its code page and UI language from the glibc locale; a locale
# that is not generated silently falls back to en-US.
need_gen=0
for loc in en_US.utf8 zh_CN.utf8; do
  locale -a 2>/dev/null | grep -qx "$loc" || need_gen=1
done
if [ $need_gen = 1 ]; then
  echo "deps: generating en_US.UTF-8 and zh_CN.UTF-8"
  $SUDO sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/; s/^# *\(en_US.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi
