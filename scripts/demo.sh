#!/bin/bash
# The main job: builds everything (the shipped 32-bit programs and the 64-bit
# build that Wine runs here) and runs a demo installation under Wine.
# --bundle: installs from one setup.exe made with vsapack bundle instead of the set's folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
jobs="$(nproc)"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$jobs"
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win64 -j"$jobs"
exec scripts/demo-install.sh "$root/build/win64" "$@"
