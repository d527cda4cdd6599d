#!/bin/bash
# Installs what the build, the tests and the demo need on Debian 12. Idempotent:
# it does nothing when every package is already there.
set -euo pipefail
packages=(cmake make mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev zlib1g-dev
          wine wine32:i386 wine64 xvfb xauth x11-apps x11-utils imagemagick googletest
          clang libclang-rt-14-dev nsis python3 osslsigncode openssl
          g++-multilib lib32z1-dev qemu-user-static fonts-wine)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "install-deps: installing ${missing[*]}"
sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
