#!/bin/bash
# Ends the wineserver and the private X server of a prefix.
prefix="${1:-${WINEPREFIX:-$PWD/wineprefix}}"
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
if [ -f "$prefix.xvfb.pid" ]; then kill "$(cat "$prefix.xvfb.pid")" 2>/dev/null || true; rm -f "$prefix.xvfb.pid"; fi
