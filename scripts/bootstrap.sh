#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian machine.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build make g++ python3
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  mingw-w64-tools binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  libz-mingw-w64-dev zlib1g-dev
  googletest libgtest-dev
  wine wine64
  xvfb x11-utils imagemagick fonts-dejavu-core
  # The letters of the sixteen languages under Wine: DejaVu has the Greek,
  # Cyrillic, Hebrew and Vietnamese ones, WenQuanYi Micro Hei the Chinese,
  # Japanese and Korean ones.
  fonts-wqy-microhei
  python3-pyftpdlib
  # Signing setup.exe with a certificate the tests make.
  osslsigncode openssl
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit Wine cannot run here and must not be pulled in.
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q 'install ok installed'; then
  echo "bootstrap: warning: wine32 is installed; the tests use 64-bit Wine only" >&2
fi

echo "bootstrap: ok"
