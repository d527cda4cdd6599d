#!/bin/bash
# Prints the Wine loader for the Windows build under test (windows-build.sh).
# Debian's "wine" starts the 32-bit loader, which runs the i686 build and
# starts 64-bit programs through wine64; a kernel without 32-bit support
# cannot execute it, and there the 64-bit loader runs the x86_64 build.
if [ -n "${VSETUP_WINE:-}" ]; then echo "$VSETUP_WINE"; exit 0; fi
if [ "$("$(dirname "$0")/windows-build.sh")" = win32 ]; then
    for loader in /usr/lib/wine/wine "$(command -v wine || true)"; do
        [ -n "$loader" ] && [ -x "$loader" ] && { echo "$loader"; exit 0; }
    done
fi
for loader in /usr/lib/wine/wine64 /usr/lib/wine64/wine64 "$(command -v wine64 || true)"; do
    [ -n "$loader" ] && [ -x "$loader" ] && { echo "$loader"; exit 0; }
done
command -v wine
