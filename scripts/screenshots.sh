#!/bin/bash
# Renders every dialog template and the background window, then the real
# wizard pages and the folder chooser, under Wine, and saves PNG screenshots
# in BUILD/screenshots and BUILD/page-screenshots, BUILD being the Windows
# build Wine runs here (scripts/windows-build.sh), which it builds first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
windows="$("$root/scripts/windows-build.sh")"
build="$root/build/$windows"
cd "$root"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$(scripts/windows-build.sh --toolchain "$windows")" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target screenshots

shoot() {  # templates|pages, output directory
    local out="$build/$2"
    rm -rf "$out" && mkdir -p "$out"
    (cd "$out" && WINEPREFIX="$build/wineprefix" timeout 120 "$root/scripts/wine-run.sh" "$build/screenshots.exe" "$1" .)
    for bmp in "$out"/*.bmp; do
        convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
    done
}
shoot templates screenshots
shoot pages page-screenshots

# The pictures themselves, enlarged, for a closer look.
out="$build/screenshots"
convert "$root/resources/sidepic.bmp" -scale 200% "$out/side-picture.png"
convert "$root/resources/step-current.bmp" "$root/resources/step-done.bmp" "$root/resources/step-skipped.bmp" \
    +append -scale 800% "$out/step-marks.png"
convert "$root/resources/vsetup.ico" -background white -flatten -scale 400% "$out/icon.png" 2>/dev/null ||
    convert "$root/resources/vsetup.ico[4]" -scale 400% "$out/icon.png"
ls -1 "$build/screenshots" "$build/page-screenshots"
