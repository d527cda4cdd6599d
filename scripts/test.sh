#!/bin/bash
# Runs every test: the plain logic natively under ASan/UBSan, a short fuzzing
# slice, and the Windows build under Wine with its own prefix and X server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
jobs="$(nproc)"

CC=clang CXX=clang++ cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
# The shipped 32-bit programs; their tests build too, so both stay compilable.
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$jobs"
# The same sources for 64-bit Windows, which Wine runs on every kernel.
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win64 -j"$jobs"

status=0
ctest --test-dir build/native --output-on-failure || status=1
scripts/fuzz-smoke.sh build/native "${VSETUP_FUZZ_SECONDS:-20}" || status=1
ctest --test-dir build/win64 --output-on-failure -j"$jobs" || status=1
scripts/wine-stop.sh "$root/build/win64/wineprefix"
scripts/wine-stop.sh "$root/build/win64/e2e-prefix"
exit $status
