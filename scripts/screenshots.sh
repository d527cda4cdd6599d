#!/bin/bash
# Renders every dialog template and the background window under Wine and saves
# PNG screenshots in build/win64/screenshots. Builds the 64-bit tree first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/win64"
cd "$root"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target screenshots
out="$build/screenshots"
rm -rf "$out" && mkdir -p "$out"
cd "$out"
WINEPREFIX="$build/wineprefix" timeout 120 "$root/scripts/wine-run.sh" "$build/screenshots.exe" .
for bmp in *.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
# The pictures themselves, enlarged, for a closer look.
convert "$root/resources/sidepic.bmp" -scale 200% side-picture.png
convert "$root/resources/step-current.bmp" "$root/resources/step-done.bmp" "$root/resources/step-skipped.bmp" \
    +append -scale 800% step-marks.png
convert "$root/resources/vsetup.ico" -background white -flatten -scale 400% icon.png 2>/dev/null ||
    convert "$root/resources/vsetup.ico[4]" -scale 400% icon.png
ls -1 "$out"
