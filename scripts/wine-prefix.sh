#!/bin/bash
# Prepares a Wine prefix for vsetup's tests and keeps one private X server per
# prefix (a prefix's wineserver sticks to the display it first saw).
# Usage: wine-prefix.sh PREFIX   -- afterwards PREFIX/.display names the display.
set -euo pipefail
prefix="$1"
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9

start_xvfb() {
    rm -f "$prefix.display.tmp"
    setsid Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        5>"$prefix.display.tmp" 9>&- </dev/null >/dev/null 2>&1 &
    echo $! >"$prefix.xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$prefix.display.tmp" ] && break
        sleep 0.1
    done
    echo ":$(tr -d '\n' <"$prefix.display.tmp")" >"$prefix.display"
}
if [ -n "${VSETUP_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" >"$prefix.display"
elif ! { [ -f "$prefix.xvfb.pid" ] && kill -0 "$(cat "$prefix.xvfb.pid")" 2>/dev/null; }; then
    start_xvfb
fi
export DISPLAY="$(cat "$prefix.display")"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

[ -f "$prefix/.vsetup-ready" ] && exit 0
wine="$("$(dirname "$0")/wine-loader.sh")"
"$wine" wineboot -i >/dev/null 2>&1
# Without this Wine waits about two seconds whenever a window is hidden.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Shortcuts made in the prefix must not turn into menu entries of the host.
"$wine" reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
# The user folders must not point into the real home directory.
for link in "$prefix"/drive_c/users/*/{Documents,Desktop,Music,Pictures,Videos,Downloads}; do
    if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
done
wineserver -w
touch "$prefix/.vsetup-ready"
