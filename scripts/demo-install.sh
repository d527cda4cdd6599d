#!/bin/bash
# Installs the demo set (demo/) under Wine and shows what the installation
# left: files, shortcuts, registry values and the uninstall log. With a
# display (DISPLAY reachable) the interactive wizard runs on it; otherwise
# quiet mode runs on a private Xvfb and Finish is pressed automatically.
# Usage: demo-install.sh BUILD_DIR [--bundle]   (a Windows build: build/win32 or build/win64)
# VSETUP_DEMO_QUIET=1 forces quiet mode. --bundle makes the set one file
# (vsapack bundle) in C:\demo\download and installs from that; without a
# display it installs unattended (-s), pressing nothing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
bundle=no
[ "${2:-}" = --bundle ] && bundle=yes
export WINEPREFIX="$build/demo-prefix"
drive="$WINEPREFIX/drive_c"
run() { (cd "$drive" && "$root/scripts/wine-run.sh" "$@"); }
# The driver's output without the CRs of Windows line ends.
driver() { run 'C:\demo\bin\e2edriver.exe' --timeout 120 -e "$1" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

interactive=no
if [ -z "${VSETUP_DEMO_QUIET:-}" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    interactive=yes
fi
# The prefix's Wine keeps the display it first saw: start it afresh on the right one.
"$root/scripts/wine-stop.sh" "$WINEPREFIX"
if [ "$interactive" = yes ]; then export VSETUP_USE_DISPLAY=1; else unset VSETUP_USE_DISPLAY; fi
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
"$root/scripts/demo-set.sh" "$build" >/dev/null
setup='C:\demo\set\setup.exe'
if [ "$bundle" = yes ]; then
    mkdir -p "$drive/demo/download"
    setup='C:\demo\download\VarnplayDemoSetup.exe'
    run 'C:\demo\bin\vsapack.exe' bundle 'C:\demo\set' "$setup" | tr -d '\r' | sed 's/^/demo: /'
fi

app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\varnplay.exe'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\varnplay.exe'
# A clean start: no earlier demo installation in the way.
driver "delete-tree \"<ProgramFiles>\\Varnplay Demo\"; delete-tree \"<Programs>\\Varnplay Demo\";
        delete-key \"$app_paths\"; delete-key \"$uninstall_key\"" >/dev/null

start=$(date +%s%N)
if [ "$interactive" = yes ]; then
    echo "demo: the wizard runs on display $DISPLAY; install, then press Finish"
    run "$setup" && status=0 || status=$?
elif [ "$bundle" = yes ]; then
    echo "demo: no display; unattended installation (-s) on a private X server, nothing pressed"
    driver "start $setup \"-s C:\Program Files\Varnplay Demo\"; wait-exit 0" | sed 's/^/  driver: /'
    status=${PIPESTATUS[0]}
else
    echo "demo: no display; quiet installation on a private X server, Finish pressed automatically"
    driver "start $setup \"-q \"\"C:\Program Files\Varnplay Demo\"\"\"
            expect-page \"Setup Progress\"; wait-finish; finish; wait-exit 0" | sed 's/^/  driver: /'
    status=${PIPESTATUS[0]}
fi
elapsed=$((($(date +%s%N) - start) / 1000000))
echo "demo: setup.exe ended after $((elapsed / 1000)).$((elapsed % 1000 / 100)) s (status $status)"

# Where it went: the App Paths "Path" value holds the chosen directory.
directory="$(driver "show-key \"$app_paths\"" | sed -n 's/.*"Path" = "\(.*\)"$/\1/p')"
if [ -z "$directory" ]; then
    echo "demo: nothing was installed (the wizard was closed before the installation)"
    exit "$status"
fi
unix_directory="$drive/$(printf '%s' "${directory#?:\\}" | tr '\\' '/')"
echo
echo "== Files in $directory"
(cd "$unix_directory" && find . -type f -printf '  %P  (%s bytes)\n' | sort)
echo
echo "== Start Menu"
log="$(driver "show-log \"$directory\"")"
folder="$(printf '%s\n' "$log" | sed -n 's/^FILE \(.*\)\\Uninstall Varnplay Demo\.lnk$/\1/p' |
          grep -vF "$directory" | head -1 || true)"
[ -n "$folder" ] && driver "show-shortcuts \"$folder\"" | grep -v "^PASS" | sed "s/^/  /"
echo
echo "== Registry"
driver "show-key \"$app_paths\"; show-key \"$uninstall_key\"; show-key HKCR\\.GAM; show-key HKCR\\VARN.Game
        show-key HKCR\\.SAV; show-key HKCR\\VARN.Save; show-key HKCU\\Software\\VARN" | grep -v '^PASS' | sed 's/^/  /'
echo
echo "== Uninstall log (read with uninstlog)"
printf '%s\n' "$log" | grep -v '^PASS' | sed 's/^/  /'
[ "$interactive" = yes ] || "$root/scripts/wine-stop.sh" "$WINEPREFIX"
exit "$status"
