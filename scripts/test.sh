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

# The Wine prefixes of the Windows builds: their wineservers (and so every
# Wine program of theirs) and their private X servers end with this script,
# however it ends.
stop_wine() {
    local path
    for path in "$root"/build/win{32,64}/*/system.reg "$root"/build/win{32,64}/*.xvfb.pid; do
        [ -e "$path" ] || continue
        case "$path" in
            *.xvfb.pid) scripts/wine-stop.sh "${path%.xvfb.pid}" ;;
            *) scripts/wine-stop.sh "$(dirname "$path")" ;;
        esac
    done
}
trap 'stop_wine; rm -f "${deps_report:-}" "${skips:-}"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# What cannot be installed stops the run here, with install-deps' reason as
# the last words; what only narrows the run is said again at the end.
deps_report="$(mktemp)"
if ! scripts/install-deps.sh | tee "$deps_report"; then
    echo "test.sh: FAILED before any test: $(sed -n 's/^install-deps: FAILED: //p' "$deps_report")"
    exit 1
fi
jobs="$(nproc)"

read -r windows reason < <(scripts/windows-build.sh --reason) || true
[ -n "$windows" ] || exit 2
export VSETUP_WINDOWS_BUILD="$windows"
tested="build/$windows ($([ "$windows" = win32 ] && echo i686 || echo x86_64))"
echo "test.sh: the Windows tests, end-to-end cases and round trips run on $tested: $reason"
untested_i686=""
if [ "$windows" = win64 ] && [[ "$reason" != *VSETUP_WINDOWS_BUILD* ]]; then
    untested_i686="test.sh: the shipped i686 build (build/win32) is not tested under Wine, because $reason; its programs are compiled and their manifests checked, and its plain logic runs through qemu-user (build/linux-i686)"
    echo "$untested_i686"
fi

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
skips="$(mktemp)"
# Runs one build's tests; a skipped test is never counted as passed: each is
# named at the end, with the reason it printed ("skipped: ...").
run_ctest() {  # BUILD CTEST-ARGUMENT...
    local build="$1" log name why
    shift
    log="$(mktemp)"
    ctest --test-dir "build/$build" --output-on-failure "$@" | tee "$log" || status=1
    sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$log" | while read -r name; do
        why="$(awk -v t="$name" '/^[0-9]+\/[0-9]+ Test: / { on = ($3 == t) } on && /^skipped: / { sub(/^skipped: /, ""); print; exit }' \
            "build/$build/Testing/Temporary/LastTest.log")"
        echo "test.sh: skipped: $name (build/$build)${why:+: $why}"
    done >>"$skips"
    rm -f "$log"
}
run_ctest native
# The i686 code paths (CRC-32 folding included), whatever the kernel runs.
run_ctest linux-i686
scripts/fuzz-smoke.sh build/native "${VSETUP_FUZZ_SECONDS:-12}" || status=1
run_ctest "$other" -L nowine
# One at a time: the test programs share one X display, and focus is global.
run_ctest "$windows"
stop_wine

elapsed=$(( $(date +%s) - started ))
echo "test.sh: the Windows tests ran on $tested: $reason"
[ -z "$untested_i686" ] || echo "$untested_i686"
sed -n 's/^install-deps: not tested/test.sh: not tested/p' "$deps_report"
cat "$skips"
echo "test.sh: $([ $status = 0 ] && echo passed || echo FAILED) after $((elapsed / 60)) min $((elapsed % 60)) s"
exit $status
