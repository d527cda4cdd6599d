#!/bin/bash
# Ends the wineserver of a prefix, and with it the prefix's Wine programs, and
# the prefix's private X server; returns when they are gone.
prefix="${1:-${WINEPREFIX:-$PWD/wineprefix}}"
if [ -d "$prefix" ]; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
fi
pidfile="$prefix.xvfb.pid"
[ -f "$pidfile" ] || exit 0
pid="$(cat "$pidfile")"
# The number may belong to another program by now if the server died.
if [ "$(basename "$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -1)")" = Xvfb ]; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
fi
rm -f "$pidfile"
