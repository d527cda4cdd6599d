#!/bin/bash
# Runs the wizard pages with realistic content and the folder chooser under
# Wine and saves PNG screenshots in build/win64/page-screenshots.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/win64"
cd "$root"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target pageshots
out="$build/page-screenshots"
rm -rf "$out" && mkdir -p "$out"
cd "$out"
WINEPREFIX="$build/wineprefix" timeout 120 "$root/scripts/wine-run.sh" "$build/pageshots.exe" .
for bmp in *.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
ls -1 "$out"
