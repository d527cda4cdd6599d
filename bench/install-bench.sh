#!/bin/bash
# Installation speed of setup.exe -q against NSIS installers of the same files,
# with the machine's limits (raw inflate, a plain copy under Wine) measured in
# the same run. Installs and builds what it needs; writes build/bench/results.md.
#
# setup.exe runs twice per round: from its folder set and from the bundle of
# the same set (vsapack bundle).
# Environment: BENCH_MB      payload size in MB (default 300; 30 for a quick check)
#              BENCH_RUNS    interleaved rounds on that payload (default 5; 3 on the empty files)
#              BENCH_EMPTY   empty files for the per-file cost (default 20000)
#              BENCH_BASELINE_SETUP  another setup.exe of the same word size (an
#                            earlier build) to interleave with ours on the full payload
# The Windows build is the one Wine runs here (scripts/windows-build.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
megabytes="${BENCH_MB:-300}"
runs="${BENCH_RUNS:-5}"
empty_count="${BENCH_EMPTY:-20000}"
small_mb=$(( megabytes / 10 > 0 ? megabytes / 10 : 1 ))
work="$root/build/bench"
mkdir -p "$work"
log() { echo "install-bench: $*" >&2; }

# ---- tools -------------------------------------------------------------------
# A package that cannot be installed (wine32:i386 from a broken mirror, on a
# kernel that runs no 32-bit programs anyway) does not stop the benchmark as
# long as what it runs is there.
if ! scripts/install-deps.sh; then
    for tool in cmake makensis wine python3 x86_64-w64-mingw32-g++-posix; do
        command -v "$tool" >/dev/null || { log "missing $tool"; exit 1; }
    done
    log "install-deps.sh failed; the benchmark's own tools are present"
fi
windows="$(scripts/windows-build.sh)"
log "building (native packer, setup.exe, VARNUINS.EXE and timer of build/$windows)"
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DVSETUP_SANITIZE=OFF >/dev/null
cmake --build build/bench-native -j2 --target vsapack >/dev/null
cmake -S . -B build/$windows -DCMAKE_TOOLCHAIN_FILE="$(scripts/windows-build.sh --toolchain "$windows")" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/$windows -j2 --target setup varnuins install_timer >/dev/null
vsapack="$root/build/bench-native/vsapack"
timer="$root/build/$windows/bench/install_timer.exe"

# ---- payloads, installation sets and NSIS installers ---------------------------
# Each is made once and kept until the generator or its parameters change.
generator_id="$(sha1sum bench/make_payload.py | cut -c1-12)"

make_payload() {  # name, generator arguments...
    local name="$1"; shift
    local stamp="$work/$name.stamp" id="$generator_id $*"
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$id" ]; then return; fi
    log "generating payload $name"
    rm -f "$stamp" "$work/$name.vsa" "$work"/nsis-*-"$name".exe
    python3 bench/make_payload.py "$work/$name" "$@" >&2
    echo "$id" >"$stamp"
}

pack() {  # name
    local name="$1"
    if [ ! -f "$work/$name.vsa" ]; then
        log "packing $name with vsapack"
        "$vsapack" create "$work/$name.vsa.tmp" "$work/$name" >/dev/null
        mv "$work/$name.vsa.tmp" "$work/$name.vsa"
    fi
    # The installation set: setup.exe beside its archive and uninstaller.
    mkdir -p "$work/set-$name"
    cp build/$windows/setup.exe "$work/set-$name/setup.exe"
    cp build/$windows/VARNUINS.EXE "$work/set-$name/VARNUINS.EXE"
    ln -f "$work/$name.vsa" "$work/set-$name/insfiles.vsa"
    # Quiet installs show no license page; vsapack bundle refuses a set whose
    # license page would find no license.
    printf 'nolicense\r\n' >"$work/set-$name/SETUP.DAT"
    # The same set as one file: setup.exe checks the CRC-32 of every bundled
    # file before its first window, so the start-up reads the whole archive once.
    "$vsapack" bundle "$work/set-$name" "$work/bundle-$name.exe" >/dev/null
    if [ -n "${BENCH_BASELINE_SETUP:-}" ]; then
        mkdir -p "$work/set-$name-baseline"
        cp "$BENCH_BASELINE_SETUP" "$work/set-$name-baseline/setup.exe"
        cp build/$windows/VARNUINS.EXE "$work/set-$name-baseline/VARNUINS.EXE"
        ln -f "$work/$name.vsa" "$work/set-$name-baseline/insfiles.vsa"
        cp "$work/set-$name/SETUP.DAT" "$work/set-$name-baseline/"
    fi
}

# What a publisher would write: all files, an uninstaller and its registry entry.
# The NSIS stub has the word size of our build: where Wine cannot run 32-bit
# programs, Debian's 64-bit stub stands in, as our 64-bit build does.
nsis_target=x86-unicode; [ "$windows" = win64 ] && nsis_target=amd64-unicode
# The window mode shows its progress page even when run with /S, as
# setup.exe -q shows its own, and closes itself at the end: the like-for-like
# case of a quiet installation that shows its progress. The same command line
# runs all three, here and in install_timer's compare on Windows.
nsis_script() {  # name, mode (zlib|solid|window)
    local name="$1" mode="$2" compressor="SetCompressor zlib" pages=""
    [ "$mode" = solid ] && compressor="SetCompressor /SOLID zlib"
    [ "$mode" = window ] && pages=$'Page instfiles\nAutoCloseWindow true\nShowInstDetails nevershow\nFunction .onInit\nSetSilent normal\nFunctionEnd'
    cat <<EOF
Unicode true
Target $nsis_target
$compressor
Name "Bench"
OutFile "$work/nsis-$mode-$name.exe"
InstallDir "C:\\bench\\nsis"
RequestExecutionLevel user
$pages
Section
SetOutPath "\$INSTDIR"
File /r "$work/$name/*"
WriteUninstaller "\$INSTDIR\\uninst.exe"
WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench" "DisplayName" "Bench"
WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench" "UninstallString" "\$INSTDIR\\uninst.exe"
SectionEnd
Section "Uninstall"
RMDir /r "\$INSTDIR"
SectionEnd
EOF
}

# Made again when its script changes: a run of the other build needs the
# stub of the other word size. The script is kept only once makensis has
# succeeded, so that an interrupted build is not taken for a finished one.
build_nsis() {  # name, mode
    local exe="$work/nsis-$2-$1.exe" script="$work/nsis-$2-$1.nsi"
    [ -f "$exe" ] && [ -f "$script" ] && [ "$(nsis_script "$1" "$2")" = "$(cat "$script")" ] && return
    log "building NSIS installer ($2) for $1"
    rm -f "$script"
    nsis_script "$1" "$2" >"$script.new"
    makensis -V1 "$script.new" >&2
    mv "$script.new" "$script"
}

full="p$megabytes"; small="p$small_mb"; empty="e$empty_count"
make_payload "$full" --megabytes "$megabytes"
make_payload "$small" --megabytes "$small_mb"
make_payload "$empty" --empty "$empty_count"
for name in "$full" "$small" "$empty"; do pack "$name"; done
build_nsis "$full" zlib
build_nsis "$full" solid
build_nsis "$full" window
build_nsis "$empty" zlib

# ---- runs under Wine ------------------------------------------------------------
export WINEPREFIX="$work/wineprefix"
scripts/wine-prefix.sh "$WINEPREFIX"
# winemenubuilder (Wine turning each new shortcut into a Linux menu entry)
# is no part of an installation on Windows and would load both cores.
export DISPLAY="$(cat "$WINEPREFIX.display")" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine="$(scripts/wine-loader.sh)"
wineserver -k 2>/dev/null || true  # this prefix's own server, left from an earlier run
wineserver -p  # one server for the whole run: no start-up inside a measurement
trap 'scripts/wine-stop.sh "$WINEPREFIX"; rm -rf "$work/trash"' EXIT
drive_c="$WINEPREFIX/drive_c"
windows_path() { local p="${1//\//\\}"; echo "Z:$p"; }
results="$work/runs.tsv"
: >"$results"

# Installed trees are moved aside and removed only after the last run: ext4
# passes over inodes freed in the last 30 seconds when it allocates new ones,
# so deleting a tree just before the next run made every file creation of that
# run slower (about half of wineserver's time), for every installer alike.
trash="$work/trash"
rm -rf "$trash"
mkdir -p "$trash"
# Nor are they left in the file cache: on a virtual machine of ours every
# installer slowed down as the cache grew round by round (setup.exe alone:
# 2.6 s with 11 GB cached, 1.0 s once the cache was dropped). Each run's
# files are written out and dropped from it.
set_aside() {
    [ -d "$drive_c/bench" ] || return 0
    sync
    python3 - "$drive_c/bench" <<'PYTHON'
import os, sys
for folder, _, names in os.walk(sys.argv[1]):
    for name in names:
        file = os.open(os.path.join(folder, name), os.O_RDONLY)
        try:
            os.posix_fadvise(file, 0, 0, os.POSIX_FADV_DONTNEED)
        finally:
            os.close(file)
PYTHON
    mv "$drive_c/bench" "$(mktemp -d "$trash/run.XXXXXX")/"
}

# run KIND PAYLOAD ROUND: one measured installation into a fresh directory,
# checked afterwards (every file there), one line appended to runs.tsv.
run() {
    local kind="$1" name="$2" round="$3" dest="bench\\$1-$2-$3" line
    set_aside
    sync
    local command
    case "$kind" in
        ours) command=(setup "$(windows_path "$work/set-$name/setup.exe") -q C:\\$dest") ;;
        bundle) command=(setup "$(windows_path "$work/bundle-$name.exe") -q C:\\$dest") ;;
        baseline) command=(setup "$(windows_path "$work/set-$name-baseline/setup.exe") -q C:\\$dest") ;;
        nsis-*) command=(wait "$(windows_path "$work/$kind-$name.exe") /S /D=C:\\$dest") ;;
        copy) command=(wait "C:\\windows\\system32\\xcopy.exe /E /I /Q /Y $(windows_path "$work/$name") C:\\$dest") ;;
    esac
    if ! line="$("$wine" "$timer" "${command[@]}")"; then
        log "$kind $name round $round failed: $line"
        exit 1
    fi
    local want have
    want="$(find "$work/$name" -type f | wc -l)"
    have="$(find "$drive_c/bench/${dest#bench\\}" -type f | wc -l)"
    if [ "$have" -lt "$want" ]; then
        log "$kind $name round $round: only $have of $want files installed ($line)"
        exit 1
    fi
    printf '%s\t%s\t%s\t%s\n' "$kind" "$name" "$round" "$line" >>"$results"
    log "$kind $name round $round: $line"
}

interleave() {  # rounds, payload, kinds...: each round starts one kind later
    local rounds="$1" name="$2"; shift 2
    local kinds=("$@") count=$#
    run "${kinds[0]}" "$name" warm-up  # file cache and prefix warmed alike for all
    for round in $(seq 1 "$rounds"); do
        for i in $(seq 0 $((count - 1))); do
            run "${kinds[$(( (i + round) % count ))]}" "$name" "$round"
        done
    done
}

load_before="$(uptime)"
full_kinds=(ours bundle nsis-zlib nsis-solid nsis-window copy)
[ -n "${BENCH_BASELINE_SETUP:-}" ] && full_kinds+=(baseline)
interleave "$runs" "$full" "${full_kinds[@]}"
interleave 3 "$empty" ours nsis-zlib copy
for round in $(seq 1 3); do run ours "$small" "$round"; done
for round in $(seq 1 3); do
    line="$("$wine" "$timer" firstpage "$(windows_path "$work/set-$full/setup.exe")")"
    printf 'interactive\t%s\t%s\t%s\n' "$full" "$round" "$line" >>"$results"
done
inflate="$("$wine" "$timer" inflate "$(windows_path "$work/$full.vsa")" "$runs")"
printf 'inflate\t%s\t-\t%s\n' "$full" "$inflate" >>"$results"
load_after="$(uptime)"
set_aside
rm -rf "$trash"

python3 bench/bench_report.py "$results" --full "$full" --small "$small" --empty "$empty" \
    --payload-dir "$work" --load-before "$load_before" --load-after "$load_after" \
    --command "${BENCH_BASELINE_SETUP:+BENCH_BASELINE_SETUP=$BENCH_BASELINE_SETUP }BENCH_MB=$megabytes BENCH_RUNS=$runs BENCH_EMPTY=$empty_count bench/install-bench.sh" \
    | tee "$work/results.md"
