#!/bin/bash
# Runs one end-to-end case under Wine: makes an installation set (setup.exe,
# VARNUINS.EXE, LICENSE.TXT, SETUP.DAT, insfiles.vsa packed by vsapack) in the
# prefix's drive C:, runs the case's driver script against setup.exe and
# prints the driver's transcript. Exit status: the driver's.
#
# Usage: run-case.sh CASE   (tests/e2e/cases/CASE.case)
# A case file is a driver script with @SET@ for the set's folder, plus
#   #dat LINE         a line of SETUP.DAT (no #dat line: no SETUP.DAT at all)
#   #archive KIND     normal (default), missing or damaged
#   #bundle KIND      the set is bundled (vsapack bundle) into a folder of its
#                     own, whose setup.exe @SET@ then names: whole, or its
#                     bundle cut in the middle as by a broken download, or
#                     planted: beside it another whole set as a user may put
#                     it into a Downloads folder (SETUP.DAT naming "Planted
#                     Varn", an archive holding planted.txt, a VARNUINS.EXE
#                     that is not ours) and other.exe, a bundle of that set
#   #download NAME    the bundle's folder (default download; UTF-8, any script)
#   #plant-dlls NAME... e2eplanted.dll under each name beside setup.exe and
#                     VARNUINS.EXE, in the set's folder and the bundle's, and
#                     Wine told to prefer a DLL of that name to its own
#   #folder NAME      the set's folder (default set; UTF-8; not with #bundle)
#   #full-drive       drive Q: is a 64 KB file system of its own, too small for
#                     the payload (needs root to mount it; skipped, status 77,
#                     without)
# @ORIGINAL@ names the set's own folder, also for a bundled case.
# VSETUP_E2E_BUNDLE=whole runs any case from the bundle of its set (vsapack
# bundle refuses a set with errors: a damaged archive, a refused SETUP.DAT value).
# VSETUP_E2E_TIMEOUT: seconds the driver waits for each step (default 30).
set -euo pipefail
name="$1"
here="$(cd "$(dirname "$0")" && pwd)"
src="${VSETUP_SOURCE_DIR:-$(cd "$here/../.." && pwd)}"
build="${VSETUP_BUILD_DIR:-$src/build/$("$src/scripts/windows-build.sh")}"
case_file="$here/cases/$name.case"
[ -f "$case_file" ] || { echo "no case $case_file" >&2; exit 2; }

# A prefix of its own: the cases change the registry and the Start Menu.
export WINEPREFIX="$build/e2e-prefix"
"$src/scripts/wine-prefix.sh" "$WINEPREFIX"
rm -f "$WINEPREFIX/dosdevices/z:"  # nothing here needs the host's file system
drive="$WINEPREFIX/drive_c"
# From drive C:, which is where Wine finds its working directory.
wine() { (cd "$drive" && "$src/scripts/wine-run.sh" "$@"); }

# The tools and the stand-in programs, refreshed when rebuilt.
mkdir -p "$drive/e2e/bin"
for program in tests/e2e/e2edriver.exe tests/e2e/e2emarker.exe tests/e2e/e2eplanted.dll uninstlog.exe vsapack.exe; do
    cp -u "$build/$program" "$drive/e2e/bin/"
done

# One payload and archive for every case, packed again when the packer, the
# marker or this script changed.
common="$drive/e2e/common"
archive="$common/insfiles.vsa"
if [ ! -f "$archive" ] || [ "$drive/e2e/bin/vsapack.exe" -nt "$archive" ] ||
   [ "$drive/e2e/bin/e2emarker.exe" -nt "$archive" ] || [ "$0" -nt "$archive" ]; then
    rm -rf "$common"
    payload="$common/payload"
    mkdir -p "$payload/doc/varnplay" "$payload/games"
    for program in varnplay.exe vplay2.exe vplay3.exe vbench.exe vbench2.exe vbench3.exe lostpig.exe; do
        echo "stand-in for $program" >"$payload/$program"
    done
    echo "<html>intro</html>" >"$payload/doc/varnplay/intro.htm"
    echo "<html>manuals</html>" >"$payload/doc/index.htm"
    seq 1 30000 >"$payload/games/sample.gam"  # enough data for a damage to hit
    cp "$drive/e2e/bin/e2emarker.exe" "$payload/ReadMe.exe"
    wine 'C:\e2e\bin\vsapack.exe' create 'C:\e2e\common\insfiles.vsa' 'C:\e2e\common\payload' >/dev/null
fi

# The installation set.
run="$drive/e2e/run/$name"
rm -rf "$run"
mkdir -p "$run/set"
cp "$build/setup.exe" "$run/set/setup.exe"
cp "$build/VARNUINS.EXE" "$run/set/VARNUINS.EXE"
echo "stand-in for the workbench's second setup program" >"$run/set/insmain.exe"
printf 'E2E license text.  Read it.\r\nSecond line.\r\n' >"$run/set/LICENSE.TXT"
if grep -q '^#dat ' "$case_file"; then
    sed -n 's/^#dat //p' "$case_file" | sed 's/$/\r/' >"$run/set/SETUP.DAT"
fi
kind="$(sed -n 's/^#archive //p' "$case_file")"
case "${kind:-normal}" in
    normal) cp "$archive" "$run/set/insfiles.vsa" ;;
    missing) ;;
    damaged)
        cp "$archive" "$run/set/insfiles.vsa"
        size="$(stat -c %s "$archive")"
        # Overwrite 64 bytes in the middle of the compressed data.
        head -c 64 /dev/zero | tr '\0' '\377' |
            dd of="$run/set/insfiles.vsa" bs=1 seek=$((size / 2)) conv=notrunc status=none ;;
    *) echo "unknown archive kind $kind" >&2; exit 2 ;;
esac

if grep -q '^#full-drive' "$case_file"; then
    full="$run/full-drive"
    mkdir -p "$full"
    if ! mount -t tmpfs -o size=64k vsetup-full "$full" 2>/dev/null; then
        echo "SKIP: cannot mount a small file system for drive Q: (not root)"
        exit 77
    fi
    # Other cases rely on Q: not existing.
    trap 'umount "$full" 2>/dev/null || true; rm -f "$WINEPREFIX/dosdevices/q:"' EXIT
    ln -sfn "$full" "$WINEPREFIX/dosdevices/q:"
fi

set_dir="C:\\e2e\\run\\$name\\set"
original_dir="$set_dir"
bundle="${VSETUP_E2E_BUNDLE:-$(sed -n 's/^#bundle //p' "$case_file")}"
download="$(sed -n 's/^#download //p' "$case_file")"
download="${download:-download}"
if [ -n "$bundle" ]; then
    mkdir -p "$run/$download"
    # vsapack takes ANSI names: the folder gets its name once the bundle is in it.
    wine 'C:\e2e\bin\vsapack.exe' bundle "$set_dir" "C:\\e2e\\run\\$name\\bundled.exe" >/dev/null
    mv "$run/bundled.exe" "$run/$download/setup.exe"
    case "$bundle" in
        whole)  # what a bundle lacks must not come from beside it
            [ -e "$run/set/SETUP.DAT" ] || printf 'appname=Planted\r\n' >"$run/download/SETUP.DAT" ;;
        cut)  # in the middle of what follows the program's own image
            image="$(stat -c %s "$build/setup.exe")"
            truncate -s $(((image + $(stat -c %s "$run/download/setup.exe")) / 2)) "$run/download/setup.exe" ;;
        planted)  # a whole other set beside it, and a bundle of that set
            other="$run/other"
            mkdir -p "$other/set" "$other/payload"
            cp "$run/set/setup.exe" "$run/set/LICENSE.TXT" "$other/set/"
            echo "planted beside the bundle" >"$other/payload/planted.txt"
            printf 'appname=Planted Varn\r\nmainexe=planted.txt\r\n' >"$other/set/SETUP.DAT"
            echo "an uninstaller that is not ours" >"$other/set/VARNUINS.EXE"
            wine 'C:\e2e\bin\vsapack.exe' create "C:\\e2e\\run\\$name\\other\\set\\insfiles.vsa" \
                "C:\\e2e\\run\\$name\\other\\payload" >/dev/null
            wine 'C:\e2e\bin\vsapack.exe' bundle "C:\\e2e\\run\\$name\\other\\set" \
                "C:\\e2e\\run\\$name\\other\\other.exe" >/dev/null
            cp "$other/set/SETUP.DAT" "$other/set/insfiles.vsa" "$other/set/VARNUINS.EXE" "$other/other.exe" \
                "$run/$download/" ;;
        *) echo "unknown bundle kind $bundle" >&2; exit 2 ;;
    esac
    set_dir="C:\\e2e\\run\\$name\\$download"
fi
for dll in $(sed -n 's/^#plant-dlls //p' "$case_file"); do
    for folder in "$run/set" "$run/$download"; do
        if [ -d "$folder" ]; then cp "$drive/e2e/bin/e2eplanted.dll" "$folder/$dll"; fi
    done
done
folder="$(sed -n 's/^#folder //p' "$case_file")"
if [ -n "$folder" ] && [ -z "$bundle" ]; then
    mv "$run/set" "$run/$folder"
    set_dir="C:\\e2e\\run\\$name\\$folder"
    original_dir="$set_dir"
fi
rm -rf "$drive/e2e/planted-loaded"
planted="$(sed -n 's/^#plant-dlls //p' "$case_file" | sed 's/\.dll//g; s/ /,/g')"
[ -z "$planted" ] || export VSETUP_DLLOVERRIDES="$planted=n,b"
{
    cat "$here/cases/common.steps"
    grep -v '^#' "$case_file" | sed -e "s/@SET@/$(printf '%s' "$set_dir" | sed 's/\\/\\\\/g')/g" \
        -e "s/@ORIGINAL@/$(printf '%s' "$original_dir" | sed 's/\\/\\\\/g')/g"
} >"$run/script.txt"

echo "== e2e case $name"
wine 'C:\e2e\bin\e2edriver.exe' --timeout "${VSETUP_E2E_TIMEOUT:-30}" "C:\\e2e\\run\\$name\\script.txt"
