#!/bin/bash
# Runs every test: the plain logic natively under ASan/UBSan and as a 32-bit
# program through qemu-user, a short fuzzing slice, and one Windows build
# under Wine with its own prefixes and X servers: the shipped i686 build
# where Wine's 32-bit loader runs natively, else the x86_64 build
# (scripts/windows-build.sh says which, and why).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
started=$(date +%s)
scripts/install-deps.sh
jobs="$(nproc)"

read -r windows reason < <(scripts/windows-build.sh --reason) || true
[ -n "$windows" ] || exit 2
export VSETUP_WINDOWS_BUILD="$windows"
tested="build/$windows ($([ "$windows" = win32 ] && echo i686 || echo x86_64))"
echo "test.sh: the Windows tests, end-to-end cases and round trips run on $tested: $reason"

CC=clang CXX=clang++ cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
cmake -S . -B build/linux-i686 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/linux-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/linux-i686 -j"$jobs"
# The build under test whole; of the other one the programs, so that they
# stay compilable, and their manifests are checked, which needs no Wine.
other=win64; [ "$windows" = win64 ] && other=win32
for build in "$windows" "$other"; do
    cmake -S . -B build/$build -DCMAKE_TOOLCHAIN_FILE="$(scripts/windows-build.sh --toolchain $build)" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    targets=(); [ "$build" = "$other" ] && targets=(--target programs)
    cmake --build build/$build -j"$jobs" "${targets[@]}"
done

status=0
ctest --test-dir build/native --output-on-failure || status=1
# The i686 code paths (CRC-32 folding included), whatever the kernel runs.
ctest --test-dir build/linux-i686 --output-on-failure || status=1
scripts/fuzz-smoke.sh build/native "${VSETUP_FUZZ_SECONDS:-12}" || status=1
ctest --test-dir build/$other -L nowine --output-on-failure || status=1
# One at a time: the test programs share one X display, and focus is global.
ctest --test-dir build/$windows --output-on-failure || status=1
for prefix in wineprefix e2e-prefix roundtrip-prefix; do
    scripts/wine-stop.sh "$root/build/$windows/$prefix"
done

elapsed=$(( $(date +%s) - started ))
echo "test.sh: the Windows tests ran on $tested: $reason"
echo "test.sh: $([ $status = 0 ] && echo passed || echo FAILED) after $((elapsed / 60)) min $((elapsed % 60)) s"
exit $status
