#!/bin/bash
# Which Windows build runs under Wine here: win32 (i686, the programs we ship)
# where Wine's 32-bit loader runs natively, else win64 (the same sources for
# x86_64, which Wine runs on every kernel). An emulator registered for
# 32-bit programs with binfmt_misc (qemu-user, box86) counts as not native:
# Wine runs far too slowly and unstably there to judge our code by.
# VSETUP_WINDOWS_BUILD=win32|win64 forces the choice.
#
# Usage: windows-build.sh              prints win32 or win64
#        windows-build.sh --reason     prints the build, a blank and why
#        windows-build.sh --toolchain BUILD   prints the build's CMake toolchain file
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" = --toolchain ]; then
    case "${2:-}" in
        win32) echo "$root/cmake/mingw-i686.cmake" ;;
        win64) echo "$root/cmake/mingw-x86_64.cmake" ;;
        *) echo "windows-build: no build ${2:-}" >&2; exit 2 ;;
    esac
    exit 0
fi

loader32=/usr/lib/wine/wine  # Debian's wine32; /usr/lib/wine/wine64 is the 64-bit one

# An enabled binfmt_misc entry whose magic is the ELF header of a 32-bit x86
# program (class 1 at byte 4, machine 3 at byte 18). Only looked at when
# mounted: touching the folder could mount it.
emulator_entry() {
    local dir=/proc/sys/fs/binfmt_misc entry magic
    awk '$2 == "/proc/sys/fs/binfmt_misc" && $3 == "binfmt_misc" { found = 1 } END { exit !found }' /proc/mounts || return 1
    [ "$(cat "$dir/status" 2>/dev/null)" = enabled ] || return 1
    for entry in "$dir"/*; do
        case "${entry##*/}" in register|status) continue ;; esac
        [ "$(head -1 "$entry" 2>/dev/null)" = enabled ] || continue
        magic="$(sed -n 's/^magic //p' "$entry")"
        if [[ "$magic" == 7f454c4601* ]] && [ "${magic:36:4}" = 0300 ]; then
            echo "${entry##*/}"
            return 0
        fi
    done
    return 1
}

choose() {
    local forced="${VSETUP_WINDOWS_BUILD:-}" error entry
    case "$forced" in
        win32|win64) echo "$forced forced by VSETUP_WINDOWS_BUILD"; return ;;
        "") ;;
        *) echo "windows-build: VSETUP_WINDOWS_BUILD must be win32 or win64, not $forced" >&2; exit 2 ;;
    esac
    if [ ! -x "$loader32" ]; then
        echo "win64 Wine's 32-bit loader ($loader32, package wine32) is not installed"
    elif ! error="$("$loader32" --version 2>&1)"; then
        echo "win64 Wine's 32-bit loader cannot run on this kernel (${error##*: })"
    elif entry="$(emulator_entry)"; then
        echo "win64 Wine's 32-bit loader runs only through an emulator (binfmt_misc entry $entry)"
    else
        echo "win32 Wine's 32-bit loader runs natively"
    fi
}

if [ "${1:-}" = --reason ]; then
    choose
else
    choose | cut -d' ' -f1
fi
