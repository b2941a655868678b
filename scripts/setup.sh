#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and run the project.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth x11-utils
  fonts-wqy-microhei fonts-hanazono imagemagick
  nodejs npm
  unicode-data nlohmann-json3-dev bzip2
  opencc
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  name=${p%%:*}; arch=${p#*:}; [ "$arch" = "$p" ] && arch=""
  q=$name; [ -n "$arch" ] && q="$name:$arch"
  if ! dpkg-query -W -f='${Status}' "$q" 2>/dev/null | grep -q 'install ok installed'; then
    # node and npm may come from another repository under other package names
    if [ "$name" = nodejs ] && command -v node >/dev/null; then continue; fi
    if [ "$name" = npm ] && command -v npm >/dev/null; then continue; fi
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Sources and data the build takes from npm packages, at pinned versions with checked sums.
"$(dirname "$0")/fetch-deps.sh"
