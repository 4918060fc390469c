#!/usr/bin/env bash
# Installs what building and testing need on Debian 12; does nothing when all
# of it is already there.
set -euo pipefail
packages=(cmake make g++ clang libclang-rt-14-dev googletest
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          wine wine64 fonts-wine xvfb xserver-xorg-core xserver-xorg-video-dummy socat x11-apps xcompmgr imagemagick python3 nsis lirc ccache)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    [ "$(id -u)" -eq 0 ] && sudo= || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
