#!/bin/bash
# Starts the build's programs that use the Common Controls in a prefix that
# holds that assembly for x86 and for amd64, as every prefix does where
# Wine's 32-bit half runs: each program must bind to the one of its own
# architecture and run. A 64-bit program whose manifest asks for x86 exits
# at once with status 53 (0xC0000135) and prints nothing. Without a 32-bit
# comctl32.dll to put into the prefix the test is skipped (status 77).
# Usage: mixed-prefix.sh   (VSETUP_BUILD_DIR: a Windows build)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="${VSETUP_SOURCE_DIR:-$(cd "$here/../.." && pwd)}"
build="$VSETUP_BUILD_DIR"
export WINEPREFIX="$build/wineprefix"
if ! reason="$("$src/scripts/wine-x86-comctl32.sh" 2>&1)"; then
    echo "skipped: $reason"
    exit 77
fi
"$src/scripts/wine-prefix.sh" "$WINEPREFIX"
drive="$WINEPREFIX/drive_c"

for arch in x86 amd64; do
    if ! compgen -G "$drive/windows/winsxs/manifests/${arch}_microsoft.windows.common-controls_*.manifest" >/dev/null; then
        echo "the prefix holds no $arch Common Controls assembly: nothing to try"
        exit 1
    fi
done

status=0
expect() {  # STATUS PROGRAM ARGUMENT...
    local want="$1" got=0 output
    shift
    output="$(cd "$drive" && "$src/scripts/wine-run.sh" "$@" 2>&1)" || got=$?
    if [ "$got" = "$want" ]; then
        echo "$1: status $got, as expected"
    else
        echo "$1: status $got, expected $want"
        printf '%s\n' "$output" | tail -5
        status=1
    fi
}

mkdir -p "$drive/mixed"
cp "$build/setup.exe" "$build/VARNUINS.EXE" "$build/tests/e2e/e2edriver.exe" "$drive/mixed/"
long="C:\\$(printf 'x%.0s' $(seq 300))"
expect 0 'C:\mixed\e2edriver.exe' --timeout 30 -e "start C:\\mixed\\setup.exe \"-q $long\"
    msgbox \"The installation directory is longer than 259 characters.  Nothing was installed.\" OK
    wait-exit 5"
expect 1 'C:\mixed\VARNUINS.EXE' -q 'C:\mixed\no such log.inf'
expect 2 "$build/screenshots.exe"
expect 0 "$build/test_dialog.exe" --gtest_filter='Strings.*'
exit $status
