#!/bin/bash
# The shipped i686 programs (build/win32) under Wine on a kernel that cannot
# run 32-bit Linux programs: qemu-user runs Wine's 32-bit half through a
# binfmt_misc registration made for this run only and removed when it ends,
# failed or not. Runs every end-to-end case and round trip in fresh prefixes
# and prints how long the prefix and each case took.
#
# While the registration exists EVERY 32-bit program on this machine runs
# emulated, the 32-bit half of other users' Wine prefixes included: run it
# as root on a machine of its own (CI after scripts/test.sh), never beside
# other work. Where Wine's 32-bit loader runs natively, scripts/test.sh
# already tests build/win32 and this script only says so.
#
# Environment: VSETUP_E2E_TIMEOUT  the driver's wait per step (default here 900 s)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
binfmt=/proc/sys/fs/binfmt_misc
entry=vsetup-qemu-i386
build="$root/build/win32"

read -r windows reason < <(VSETUP_WINDOWS_BUILD= scripts/windows-build.sh --reason) || true
if [ "$windows" = win32 ]; then
    echo "test-shipped: $reason: scripts/test.sh tests build/win32 already"
    exit 0
fi
[ "$(id -u)" = 0 ] || { echo "test-shipped: registering an interpreter with binfmt_misc needs root" >&2; exit 2; }
qemu="$(command -v qemu-i386-static)" || { echo "test-shipped: no qemu-i386-static (package qemu-user-static)" >&2; exit 2; }

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"

mounted_here=no registered_here=no
unregister() {
    for prefix in e2e-prefix roundtrip-prefix; do
        scripts/wine-stop.sh "$build/$prefix" || true
    done
    if [ "$registered_here" = yes ] && [ -e "$binfmt/$entry" ]; then
        echo -1 >"$binfmt/$entry"
        echo "test-shipped: $entry removed from binfmt_misc"
    fi
    [ "$mounted_here" = no ] || umount "$binfmt"
}
trap unregister EXIT
if ! awk -v dir="$binfmt" '$2 == dir && $3 == "binfmt_misc" { found = 1 } END { exit !found }' /proc/mounts; then
    mount -t binfmt_misc binfmt_misc "$binfmt"
    mounted_here=yes
fi
[ ! -e "$binfmt/$entry" ] || { echo "test-shipped: $entry is registered already (another run?)" >&2; exit 1; }
# The ELF header of a 32-bit x86 program (qemu's own mask); F: the kernel
# opens the interpreter now, so that it is found from every mount namespace.
registered_here=yes
printf '%s\n' ":$entry:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:F" \
    >"$binfmt/register"
echo "test-shipped: $entry registered ($qemu)"

export VSETUP_WINDOWS_BUILD=win32 VSETUP_BUILD_DIR="$build" VSETUP_SOURCE_DIR="$root"
export VSETUP_E2E_TIMEOUT="${VSETUP_E2E_TIMEOUT:-900}"
export QEMU_CPU=max  # the carry-less multiplication CRC-32 as on a real processor
clock() { date +%s; }
took() { echo "$(( $(clock) - $1 )) s"; }

total=$(clock)
status=0
for prefix in e2e-prefix roundtrip-prefix; do
    scripts/wine-stop.sh "$build/$prefix"
    rm -rf "${build:?}/$prefix"
    start=$(clock)
    scripts/wine-prefix.sh "$build/$prefix"
    echo "test-shipped: prefix $prefix ready after $(took "$start")"
done
# The end-to-end tests as CTest lists them (label e2e), one after the other.
while read -r test; do
    bundle=""
    case "$test" in
        e2e_roundtrip_*) what="round trip ${test#e2e_roundtrip_}"; command=(tests/e2e/roundtrip.sh "${test#e2e_roundtrip_}") ;;
        e2e_bundle_*) what="case ${test#e2e_bundle_} from its bundle"; bundle=whole
                      command=(tests/e2e/run-case.sh "${test#e2e_bundle_}") ;;
        e2e_*) what="case ${test#e2e_}"; command=(tests/e2e/run-case.sh "${test#e2e_}") ;;
        *) continue ;;
    esac
    start=$(clock)
    if VSETUP_E2E_BUNDLE="$bundle" bash "${command[@]}" >"$build/shipped-$test.log" 2>&1; then
        result=passed
    else
        result=FAILED status=1
    fi
    echo "test-shipped: $what $result after $(took "$start")"
    [ "$result" = passed ] || tail -20 "$build/shipped-$test.log"
done < <(ctest --test-dir "$build" -N -L e2e | sed -n 's/^ *Test *#[0-9]*: //p')
echo "test-shipped: build/win32 (i686) through qemu-user: $([ $status = 0 ] && echo passed || echo FAILED) after $(took "$total")"
exit $status
