#!/bin/bash
# Prints the Wine loader to use. Debian's "wine" starts the 32-bit loader,
# which a kernel without 32-bit support cannot execute; the 64-bit loader
# runs the 64-bit test build there.
if [ -n "${VSETUP_WINE:-}" ]; then echo "$VSETUP_WINE"; exit 0; fi
for loader in /usr/lib/wine/wine64 /usr/lib/wine64/wine64 "$(command -v wine64 || true)"; do
    [ -n "$loader" ] && [ -x "$loader" ] && { echo "$loader"; exit 0; }
done
command -v wine
