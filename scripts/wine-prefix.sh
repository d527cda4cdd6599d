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

# Where Wine's 32-bit half runs, wineboot also installs the x86 Common
# Controls 6 assembly beside the amd64 one; a 64-bit program whose manifest
# asks for x86 then binds to it and cannot start (0xC0000135). Every test
# prefix holds both, as most users' and CI machines' prefixes do, when the
# 32-bit DLL can be had; without it the prefix serves every other test and
# the test that needs both assemblies says it is skipped.
add_x86_common_controls() {
    local winsxs="$prefix/drive_c/windows/winsxs" dll="" manifest name
    for manifest in "$winsxs"/manifests/amd64_microsoft.windows.common-controls_*.manifest; do
        [ -e "$manifest" ] || continue
        name="$(basename "$manifest" .manifest)"
        name="x86_${name#amd64_}"
        [ -e "$winsxs/manifests/$name.manifest" ] && continue
        [ -n "$dll" ] || dll="$("$(dirname "$0")/wine-x86-comctl32.sh" 2>/dev/null)" || return 0
        mkdir -p "$winsxs/$name"
        cp "$dll" "$winsxs/$name/comctl32.dll"
        sed 's/processorArchitecture="amd64"/processorArchitecture="x86"/' "$manifest" >"$winsxs/manifests/$name.manifest"
    done
}

# Debian's Wine finds fonts in C:\windows\Fonts and through fontconfig, never
# in its own font folder (fonts-wine). Without them "MS Sans Serif" becomes
# DejaVu Sans, wider than the bitmap face the dialog units are measured in
# (texts get cut), and title bar buttons show letters instead of Marlett's
# glyphs. The whole folder goes in, as Windows has its fonts; what the
# dialogs use of it (measured pixel by pixel) is sserife.fon, marlett.ttf
# and the two Tahoma files (title bars).
add_windows_fonts() {
    local fonts=/usr/share/wine/fonts
    [ -f "$fonts/sserife.fon" ] || { echo "wine-prefix: no $fonts/sserife.fon (package fonts-wine)" >&2; return 1; }
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp -n "$fonts"/* "$prefix/drive_c/windows/Fonts/"
}

# Raised whenever the set-up below changes, so that older prefixes get it.
# A ready prefix made before the x86 comctl32.dll could be had gets it now.
setup_version=2
[ "$(cat "$prefix/.vsetup-ready" 2>/dev/null)" = "$setup_version" ] && { add_x86_common_controls; exit 0; }

wine="$("$(dirname "$0")/wine-loader.sh")"
"$wine" wineboot -i >/dev/null 2>&1 || {
    status=$?
    echo "wine-prefix: wineboot with $wine failed in $prefix (status $status)" >&2
    exit $status
}
# Without this Wine waits about two seconds whenever a window is hidden.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Shortcuts made in the prefix must not turn into menu entries of the host.
"$wine" reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
# The user folders must not point into the real home directory.
for link in "$prefix"/drive_c/users/*/{Documents,Desktop,Music,Pictures,Videos,Downloads}; do
    if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
done
wineserver -w
add_x86_common_controls
add_windows_fonts
echo "$setup_version" >"$prefix/.vsetup-ready"
