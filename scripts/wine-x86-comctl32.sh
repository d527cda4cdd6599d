#!/bin/bash
# Where the x86 Common Controls (Wine's 32-bit comctl32.dll) for a test prefix
# come from: Wine's installed 32-bit half, else a copy taken from Debian's
# i386 libwine package (install-deps.sh fetches it where wine32 is missing).
#
# Usage: wine-x86-comctl32.sh           prints the DLL's path; exit 1 and
#                                       the reason on stderr when there is none
#        wine-x86-comctl32.sh --cache   prints where the fetched copy goes
set -euo pipefail
cache="${VSETUP_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vsetup}/i386-windows"
if [ "${1:-}" = --cache ]; then
    echo "$cache"
    exit 0
fi
for candidate in /usr/lib/i386-linux-gnu/wine/i386-windows/comctl32.dll \
                 /usr/lib/wine/i386-windows/comctl32.dll "$cache/comctl32.dll"; do
    [ -f "$candidate" ] && { echo "$candidate"; exit 0; }
done
echo "no 32-bit comctl32.dll: Wine's 32-bit half (package wine32) is not installed and scripts/install-deps.sh could not take it from libwine:i386 into $cache" >&2
exit 1
