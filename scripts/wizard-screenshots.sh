#!/bin/bash
# Screenshots of the running wizard for the documents: the demo set (demo/) is
# installed under Wine on a private X server while the end-to-end driver walks
# every page, the folder chooser, the Exit Setup question and the finished
# installation; each picture is cropped to the window shown. Output:
# docs/screenshots/*.png. Usage: wizard-screenshots.sh [BUILD_DIR]
# (default: the Windows build Wine runs here, scripts/windows-build.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/$("$root/scripts/windows-build.sh")}" && pwd)"
out="$root/docs/screenshots"
export WINEPREFIX="$build/shots-prefix"
unset VSETUP_USE_DISPLAY
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
"$root/scripts/demo-set.sh" "$build" >/dev/null
drive="$WINEPREFIX/drive_c"
display="$(cat "$WINEPREFIX.display")"
snaps="$drive/demo/snaps"
mkdir -p "$snaps" "$out"

cat >"$drive/demo/shots.txt" <<'SCRIPT'
delete-tree "<ProgramFiles>\Varnplay Demo"
delete-tree "<Programs>\Varnplay Demo"
start C:\demo\set\setup.exe
expect-page Welcome
snap desktop
snap welcome
next
expect-page "Copyright Information"
snap license
next
expect-page "Program Directory"
snap program-directory
click-id 1015
dialog "Select Installation Directory"
snap folder-chooser
click-id 2
expect-page "Program Directory"
next
expect-page "Select Program Folder"
snap start-menu-folder
next
expect-page "File Type Associations"
snap associations
next
expect-page "Ready To Install"
snap ready
cancel
exit-setup resume
expect-page "Ready To Install"
next
expect-page "Setup Progress"
wait-finish
snap finished
finish
wait-exit 0
SCRIPT

# Answers the driver's snap requests until it ends.
take_snaps() {  # DRIVER-PID DISPLAY SNAP-DIR [NAME-PREFIX]
    local driver="$1" display="$2" snaps="$3" ready name x y w h
    while kill -0 "$driver" 2>/dev/null; do
        for ready in "$snaps"/*.ready; do
            [ -e "$ready" ] || continue
            name="$(basename "$ready" .ready)"
            read -r x y w h <"$ready" || true
            sleep 0.3  # let the window finish painting
            if [ "$name" = desktop ] || [ "${w:-0}" -le 0 ]; then
                import -window root -display "$display" -resize 50% "$out/${4:-}$name.png"
            else
                import -window root -display "$display" -crop "${w}x${h}+${x}+${y}" +repage "$out/${4:-}$name.png"
            fi
            rm -f "$ready"
            touch "$snaps/$name.done"
        done
        sleep 0.1
    done
    wait "$driver"
}
(cd "$drive" && "$root/scripts/wine-run.sh" 'C:\demo\bin\e2edriver.exe' --snap-dir 'C:\demo\snaps' 'C:\demo\shots.txt') &
take_snaps $! "$display" "$snaps"
"$root/scripts/wine-stop.sh" "$WINEPREFIX"

# The demo under an application name of another script: Cyrillic in a Western
# prefix (SETUP.DAT in UTF-8 with a byte order mark), Japanese in a prefix of
# code page 932 (SETUP.DAT in Shift-JIS). The background window's title and
# the folder chooser's chain are drawn by the setup itself.
names_shots() {  # LANG PREFIX-NAME ICONV-TARGET APPNAME OUT-NAME-PREFIX
    export LANG="$1" WINEPREFIX="$build/$2"
    "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
    "$root/scripts/demo-set.sh" "$build" >/dev/null
    local drive="$WINEPREFIX/drive_c" display
    display="$(cat "$WINEPREFIX.display")"
    printf 'appname=%s\r\nprogdir=%s\r\nstartfolder=%s\r\n' "$4" "$4" "$4" | iconv -f UTF-8 -t "$3" \
        >"$drive/demo/set/SETUP.DAT"
    [ "$3" != UTF-8 ] || sed -i '1s/^/\xEF\xBB\xBF/' "$drive/demo/set/SETUP.DAT"
    mkdir -p "$drive/demo/snaps"
    printf '%s\n' 'start C:\demo\set\setup.exe' 'expect-page Welcome' 'snap desktop' 'snap welcome' next \
        'expect-page "Copyright Information"' next 'expect-page "Program Directory"' 'click-id 1015' \
        'dialog "Select Installation Directory"' 'snap folder-chooser' 'click-id 2' \
        'expect-page "Program Directory"' cancel 'exit-setup exit' 'wait-exit 1' >"$drive/demo/names.txt"
    (cd "$drive" && "$root/scripts/wine-run.sh" 'C:\demo\bin\e2edriver.exe' --snap-dir 'C:\demo\snaps' \
        'C:\demo\names.txt') &
    take_snaps $! "$display" "$drive/demo/snaps" "$5"
    "$root/scripts/wine-stop.sh" "$WINEPREFIX"
}
names_shots C.UTF-8 shots-cyrillic-prefix UTF-8 'Игра Café' names-cyrillic-
names_shots ja_JP.UTF-8 shots-ja-prefix CP932 'サポート表示' names-japanese-
ls -1 "$out"
