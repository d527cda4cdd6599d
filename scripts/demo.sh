#!/bin/bash
# The main job: builds everything (the shipped 32-bit programs and the same
# sources for 64 bits) and runs a demo installation under Wine with the build
# Wine runs here (scripts/windows-build.sh: the shipped one where it can).
# --bundle: installs from one setup.exe made with vsapack bundle instead of the set's folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
jobs="$(nproc)"
for build in win32 win64; do
    cmake -S . -B build/$build -DCMAKE_TOOLCHAIN_FILE="$(scripts/windows-build.sh --toolchain $build)" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/$build -j"$jobs"
done
windows="$(scripts/windows-build.sh)"
echo "demo: build/$windows"
exec scripts/demo-install.sh "$root/build/$windows" "$@"
