#!/bin/bash
# Runs a Windows program under Wine in the vsetup prefix (WINEPREFIX, or
# ./wineprefix) on that prefix's own X server.
set -euo pipefail
prefix="${WINEPREFIX:-$PWD/wineprefix}"
"$(dirname "$0")/wine-prefix.sh" "$prefix"
# VSETUP_DLLOVERRIDES: more overrides, for the program and every one it starts.
export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" \
    WINEDLLOVERRIDES="${VSETUP_DLLOVERRIDES:+$VSETUP_DLLOVERRIDES;}mscoree,mshtml="
export DISPLAY="$(cat "$prefix.display")"
exec "$("$(dirname "$0")/wine-loader.sh")" "$@"
