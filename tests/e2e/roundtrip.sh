#!/bin/bash
# Round trip of one configuration under Wine: snapshot the prefix (files and
# folders under drive C:, exports of HKLM\Software and HKCU\Software), install quietly, run the
# uninstaller from the "UninstallString" the setup registered with -q put
# after the program, snapshot again and compare. For player and damaged, run
# that command a second time: the log went with the installation, so the
# uninstaller must refuse with status 1 and change nothing.
#
# Usage: roundtrip.sh CASE
#   player     the default player, associations on
#   workbench  SETUP.DAT debugger
#   version3   SETUP.DAT v3, a nested new directory
#   game       a single game whose name has a blank (Devi Dezir); .SAV
#              belonged to another program before (its type and a subkey):
#              the uninstaller hands it back as it was
#   userfile   the player with a user's file added to the program directory:
#              status 0 (a folder kept for other items counts as done), the
#              file and the directory stay, nothing else does; .GAM belonged
#              to another program before (its type and content type): both
#              come back as they were (run after game, .SAV's goes too,
#              from the key kept for another program); and files the
#              user had before the installation, doc\index.htm in the folder
#              they made for it and Saves\slot1.sav in Documents, where the set
#              has members of those names: setup status 2, both files and
#              their folders stay through the installation and the uninstall
#   linkdest   the player into a folder the user made, whose doc\varnplay is
#              a link to another program's folder, and with the Start Menu's
#              Programs\Varnplay a link to another folder: setup status 2, no
#              file goes through either link, the uninstall leaves what the
#              user had
#   linkdocs   the same with Documents\Varnplay a link to a folder of another
#              program, for a member $MyDocuments\Varnplay\config.ini
#   damaged    the player from an archive damaged half way (setup status 2):
#              the partial installation goes completely
#   tab        the player with a tab in appname, which reaches the log and
#              the Uninstall entry verbatim (file names cannot hold one, so
#              startfolder and mainexe with a tab are refused at start)
#   inuse      the player installed again with varnplay.exe held open:
#              status 6; then with it held open during the uninstall:
#              status 6 too (close the program, run again), the log and
#              the entry stay; a second run after the file is closed
#              removes the rest and then the log
#   twice      the player installed twice into one directory: one uninstall
#              removes both
#   winget     the demo set, installed with exactly the switches its winget
#              manifest (demo/winget) declares, as winget puts them together
#              for a silent install into <INSTALLPATH> with a log in
#              <LOGPATH>; the Uninstall entry must agree with the manifest;
#              then again in winget's default mode (SilentWithProgress),
#              which must end by itself
#   signed     the player twice: from its folder (-q), then from the bundle
#              of the same set signed with a throwaway certificate (-s: it
#              must end by itself); both installations leave the same files,
#              registry values, shortcuts and uninstall log, and both go.
#              Before that, a copy of the signed bundle whose license was
#              changed after signing, every CRC-32 and the mark made to
#              match, is refused (status 1, nothing written)
#   japanese   a prefix of code page 932 (LANG=ja_JP.UTF-8): SETUP.DAT in
#              Shift-JIS names the application サポート表示 and the Start Menu
#              folder サポート\表示, installed into C:\サポート\表示; the second
#              bytes of ポ and 表 are | and \
#   cyrillic   a Western prefix whose Programs folder lies under Меню; the
#              archive packed on Linux with UTF-8 names (Café.txt, Игра.txt),
#              SETUP.DAT in UTF-8 with a byte order mark (startfolder Игра\Café)
#   killed     a set of 300 files of 100 KB: setup killed at 10 points drawn from
#              VSETUP_KILL_SEED (within the time a whole installation
#              takes), then either the uninstaller of the registered entry
#              or setup again and then the uninstaller: nothing is left
#   twofolders the player into two folders: two entries, each uninstall
#              removes its own installation and nothing of the other
#   sidebyside the player set and then the workbench set, both on their
#              defaults (-q Varnplay): one uninstall removes both
#   paths      destinations refused before anything is written: an empty
#              folder name (C:\Games\\Varnplay) and a network share
#   fulldisk   the player onto a 1 MB drive (a tmpfs mapped as D:) that
#              fills up: the disk error, status 4, and the uninstaller
#              removes everything
# Every trip uninstalls with the registered "QuietUninstallString", which must
# be the "UninstallString" with -q after the program.
# The only change allowed besides these is C:\windows\VARNUINS.EXE, which
# stays for other installations. VSETUP_E2E_TIMEOUT: as for run-case.sh.
set -euo pipefail
name="$1"
here="$(cd "$(dirname "$0")" && pwd)"
src="${VSETUP_SOURCE_DIR:-$(cd "$here/../.." && pwd)}"
build="${VSETUP_BUILD_DIR:-$src/build/$("$src/scripts/windows-build.sh")}"

dat=() archive=normal setup_status=0 mainexe=varnplay.exe prefix_name=roundtrip-prefix dat_form=plain
case "$name" in
    player|userfile|inuse|twice|signed|linkdest|linkdocs|killed|twofolders|paths) dir='C:\Program Files\Varnplay' ;;
    sidebyside) dir='Varnplay' ;;
    fulldisk) dir='D:\Varnplay' ;;
    tab) dir='C:\Program Files\Varnplay' dat=($'appname=Varnplay\t') ;;
    damaged) dir='C:\Program Files\Varnplay' archive=damaged setup_status=2 ;;
    workbench) dir='C:\Program Files\VARN Bench' dat=(debugger startfolder=VARN) ;;
    version3) dir='C:\Games\Varn 3' dat=(v3 'startfolder=Games\VARN 3') ;;
    winget) dir='C:\Games\Varnplay Demo' ;;  # <INSTALLPATH>; the set is the demo's
    game) dir='C:\Devi Dezir' mainexe=lostpig.exe
          dat=(game 'appname=Devi Dezir' mainexe=lostpig.exe 'startfolder=Games\Devi Dezir') ;;
    japanese) dir='C:\サポート\表示' dat=('appname=サポート表示' 'startfolder=サポート\表示') dat_form=shift-jis
              prefix_name=roundtrip-ja-prefix; export LANG=ja_JP.UTF-8 ;;
    cyrillic) dir='C:\Games\Cafe' dat=('appname=Игра Café' 'startfolder=Игра\Café') dat_form=utf-8-bom
              prefix_name=roundtrip-cyrillic-prefix; export LANG=C.UTF-8 ;;
    *) echo "unknown round trip $name" >&2; exit 2 ;;
esac
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$mainexe"

# A prefix of its own, so that other cases' leftovers are not in the way.
# The code page is fixed when the prefix is made, so each language has its own.
export WINEPREFIX="$build/$prefix_name"
"$src/scripts/wine-prefix.sh" "$WINEPREFIX"
rm -f "$WINEPREFIX/dosdevices/z:"
drive="$WINEPREFIX/drive_c"
wine() { (cd "$drive" && "$src/scripts/wine-run.sh" "$@"); }
wine_user="$(id -un)"  # Wine's user is the Linux one
# reg.exe writes to a pipe in the prefix's code page.
from_console() { if [ "$name" = japanese ]; then iconv -f CP932 -t UTF-8; else cat; fi; }
if [ "$name" = cyrillic ]; then
    programs="C:\\users\\$wine_user\\Меню\\Programs"
    mkdir -p "$drive/users/$wine_user/Меню/Programs"
    for key in 'User Shell Folders' 'Shell Folders'; do
        wine reg add "HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\\$key" /v Programs /d "$programs" /f \
            >/dev/null
    done
fi
# Through a script file, which the driver reads as UTF-8: its command line
# would come in the prefix's code page.
driver() {
    printf '%s\n' "$1" >"$drive/e2e/driver-steps.txt"
    wine 'C:\e2e\bin\e2edriver.exe' --timeout "${VSETUP_E2E_TIMEOUT:-30}" 'C:\e2e\driver-steps.txt'
}

mkdir -p "$drive/e2e/bin"
for program in tests/e2e/e2edriver.exe vsapack.exe uninstlog.exe holdopen.exe; do
    cp -u "$build/$program" "$drive/e2e/bin/"
done

# The installation set: the same payload as the other cases.
run="$drive/e2e/roundtrip/$name"
rm -rf "$run"
payload="$run/payload"
mkdir -p "$run/set" "$payload/doc/varnplay" "$payload/games"
for program in varnplay.exe vplay2.exe vplay3.exe vbench.exe vbench2.exe vbench3.exe lostpig.exe; do
    echo "stand-in for $program" >"$payload/$program"
done
echo "<html>intro</html>" >"$payload/doc/varnplay/intro.htm"
if [ "$name" = killed ]; then
    for d in $(seq 0 9); do
        mkdir -p "$payload/data/d$d"
        # 100 KB that do not compress: the copying, not Wine's start, takes the time
        for f in $(seq 0 29); do head -c 100000 /dev/urandom >"$payload/data/d$d/f$f.dat"; done
    done
fi
# More than the drive holds, after a few files that fit.
[ "$name" != fulldisk ] || head -c 2000000 /dev/urandom >"$payload/games/zzbig.dat"
echo "<html>manuals</html>" >"$payload/doc/index.htm"
seq 1 30000 >"$payload/games/sample.gam"
case "$name" in  # members for the documents folder
    userfile) mkdir -p "$payload/\$MyDocuments/Saves"; echo "the publisher's save" >"$payload/\$MyDocuments/Saves/slot1.sav" ;;
    linkdest|linkdocs) mkdir -p "$payload/\$MyDocuments/Varnplay"
                       echo "[publisher]" >"$payload/\$MyDocuments/Varnplay/config.ini" ;;
esac
if [ "$name" = cyrillic ]; then
    # Packed by the Linux build of vsapack, names as the file system gives them.
    echo "un café" >"$payload/Café.txt"
    echo "игра" >"$payload/doc/Игра.txt"
    native="${VSETUP_NATIVE_BUILD_DIR:-$src/build/native}/vsapack"
    [ -x "$native" ] || { echo "no native vsapack at $native: build build/native first"; exit 1; }
    "$native" create "$run/set/insfiles.vsa" "$payload" >/dev/null
else
    wine 'C:\e2e\bin\vsapack.exe' create "C:\\e2e\\roundtrip\\$name\\set\\insfiles.vsa" \
        "C:\\e2e\\roundtrip\\$name\\payload" >/dev/null
fi
if [ "$archive" = damaged ]; then
    size="$(stat -c %s "$run/set/insfiles.vsa")"
    head -c 64 /dev/zero | tr '\0' '\377' |
        dd of="$run/set/insfiles.vsa" bs=1 seek=$((size / 2)) conv=notrunc status=none
fi
cp "$build/setup.exe" "$run/set/setup.exe"
mkdir -p "$run/download"
cp "$build/VARNUINS.EXE" "$run/set/VARNUINS.EXE"
echo "stand-in for the workbench's second setup program" >"$run/set/insmain.exe"
printf 'License.\r\n' >"$run/set/LICENSE.TXT"
for line in "${dat[@]}"; do printf '%s\r\n' "$line"; done >"$run/set/SETUP.DAT"
case "$dat_form" in
    shift-jis) iconv -f UTF-8 -t CP932 "$run/set/SETUP.DAT" >"$run/set/SETUP.sjis"
               mv "$run/set/SETUP.sjis" "$run/set/SETUP.DAT" ;;
    utf-8-bom) sed -i '1s/^/\xEF\xBB\xBF/' "$run/set/SETUP.DAT" ;;
esac
[ ${#dat[@]} -gt 0 ] || rm "$run/set/SETUP.DAT"
if [ "$name" = winget ]; then
    rm -r "$payload"
    cp -r "$src/demo/payload" "$payload"
    cp "$src/demo/SETUP.DAT" "$src/demo/LICENSE.TXT" "$run/set/"
    wine 'C:\e2e\bin\vsapack.exe' create "C:\\e2e\\roundtrip\\$name\\set\\insfiles.vsa" \
        "C:\\e2e\\roundtrip\\$name\\payload" >/dev/null
fi

entry_value() {  # NAME [ENTRY-KEY] -> the data of a REG_SZ value, or a REG_DWORD's as 0x...
    wine reg query "${2:-$uninstall_key}" /v "$1" 2>/dev/null | from_console |
        sed -n "s/^ *$1 *REG_[A-Z_]* *//p" | tr -d '\r'; true
}
uninstall_string() { entry_value UninstallString "${1:-}"; }  # [ENTRY-KEY]

pe_machine() {  # EXE -> its machine type, 014c for i686
    local header
    header=$(od -An -tu4 -j60 -N4 "$1")
    od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}

# Where the registered installation landed: the folder of its log. A 32-bit
# setup on 64-bit Windows puts "C:\Program Files\..." into its own Program
# Files folder, "C:\Program Files (x86)".
landed() {  # -> $landed_dir as Windows writes it, $landed_rel under $drive
    local log
    log="$(uninstall_string)"
    log="${log#*\" }"
    landed_dir="${log%\\*}"
    landed_rel="${landed_dir#C:\\}"
    landed_rel="${landed_rel//\\//}"
    [ -n "$log" ] && [ -d "$drive/$landed_rel" ] && [ "${landed_dir##*\\}" = "${dir##*\\}" ] ||
        { echo "the registered log $log is not in a folder named as $dir"; exit 1; }
}

# "PROGRAM" LOG -> the same with -q after the program, run through the
# driver so that the uninstaller gets exactly this command line.
uninstall_quietly() {  # COMMAND STATUS
    local program="${1#\"}"
    local log="${program#*\" }"
    program="${program%%\"*}"
    driver "start \"$program\" \"-q $log\"; wait-exit $2"
}

# The registered quiet command, run as it stands: a tool has nothing else.
uninstall_registered() {  # STATUS
    local quiet expected
    quiet="$(entry_value QuietUninstallString)"
    expected="$(uninstall_string)"
    expected="${expected%%\" *}\" -q ${expected#*\" }"
    [ "$quiet" = "$expected" ] || { echo "QuietUninstallString $quiet is not $expected"; exit 1; }
    local program="${quiet#\"}"
    driver "start \"${program%%\"*}\" \"${program#*\" }\"; wait-exit $1"
}

# What winget runs for a silent install with a location and a log: the
# manifest's Silent, Log and InstallLocation switches, placeholders filled.
winget_arguments() {  # MODE INSTALLPATH LOGPATH
    python3 - "$src/demo/winget/VARN.VarnplayDemo.installer.yaml" "$@" <<'PYTHON'
import sys, yaml
switches = yaml.safe_load(open(sys.argv[1]))["InstallerSwitches"]
print(" ".join([switches[sys.argv[2]], switches["Log"].replace("<LOGPATH>", sys.argv[4]),
                switches["InstallLocation"].replace("<INSTALLPATH>", sys.argv[3])]))
PYTHON
}

# The Uninstall entry against the manifest and what was installed.
check_winget_entry() {  # LOGFILE(linux)
    local key value expected
    while IFS='=' read -r key expected; do
        value="$(entry_value "$key")"
        [ "$value" = "$expected" ] || { echo "$key is '$value', the manifest says '$expected'"; exit 1; }
    done < <(python3 -c 'import sys, yaml
for k, v in yaml.safe_load(open(sys.argv[1]))["AppsAndFeaturesEntries"][0].items(): print(f"{k}={v}")' \
        "$src/demo/winget/VARN.VarnplayDemo.installer.yaml")
    [ "$(entry_value InstallLocation)" = "$dir" ] || { echo "InstallLocation is not $dir"; exit 1; }
    [ "$(entry_value DisplayIcon)" = "$dir\varnplay.exe" ] || { echo "DisplayIcon is not the main program"; exit 1; }
    [ "$(entry_value InstallDate)" = "$(date +%Y%m%d)" ] || { echo "InstallDate is not today"; exit 1; }
    [ "$(entry_value NoModify)" = 0x1 ] && [ "$(entry_value NoRepair)" = 0x1 ] || { echo "NoModify/NoRepair not 1"; exit 1; }
    # Every file recorded before the log itself: the program directory's
    # and the Start Menu folder's.
    local bytes kilobytes
    bytes="$(find "$drive/Games/Varnplay Demo" "$drive/users"/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Varnplay\ Demo \
        -type f ! -name 'UnInst*.inf' -printf '%s\n' | awk '{ s += $1 } END { print s }')"
    kilobytes=$(( (bytes + 1023) / 1024 ))
    [ "$(entry_value EstimatedSize)" = "$(printf '0x%x' "$kilobytes")" ] ||
        { echo "EstimatedSize $(entry_value EstimatedSize), expected $kilobytes KB"; exit 1; }
    for line in "Installing without questions into $dir" "Step 1, copying files: done" \
                "Setup ended with exit status 0"; do
        grep -qF "$line" "$1" || { echo "the log lacks: $line"; cat "$1"; exit 1; }
    done
    echo "the Uninstall entry agrees with the manifest; the log is complete"
}

# Files and folders of drive C: (without Wine's temporary folders and ours)
# and the registry roots an installation writes to.
snapshot() {  # OUTDIR
    mkdir -p "$1"
    (cd "$drive" && find . -mindepth 1 \
        \( -path ./e2e -o -ipath ./windows/temp -o -ipath './users/*/temp' \
           -o -ipath './users/*/appdata/local/temp' \) -prune -o -printf '%y %P\n') |
        LC_ALL=C sort >"$1/files"
    # Saved by Wine's server in one request each (reg.exe's export took
    # seconds): both views, each key once, links as links. HKEY_CLASSES_ROOT
    # is a view of the two Software\Classes keys.
    driver "save-key HKLM\\Software C:\\e2e\\HKLM.saved; save-key HKCU\\Software C:\\e2e\\HKCU.saved" \
        >"$drive/e2e/save.log" || { cat "$drive/e2e/save.log"; exit 1; }
    local root
    for root in HKLM HKCU; do
        # Keys named from the root, as the checks and people read them;
        # without time stamps, and without the list of fonts Wine adds the
        # first time the i686 build runs in a prefix. A key that holds only
        # subkeys has no line of its own: its subkeys name it.
        ROOT="$([ $root = HKLM ] && echo HKEY_LOCAL_MACHINE || echo HKEY_CURRENT_USER)\\Software" awk '
            BEGIN { root = ENVIRON["ROOT"]; print "[" root "]" }
            /^\[/ {
                started = 1
                key = $0
                sub(/\] [0-9]+$/, "]", key)
                gsub(/\\\\/, "\\", key)
                key = "[" root "\\" substr(key, 2)
                skip = key ~ /^\[HKEY_LOCAL_MACHINE\\Software\\(Wow6432Node\\)?Microsoft\\Windows\\CurrentVersion\\Fonts\]$/
                if (!skip) print key
                next
            }
            started && !skip && !/^#time=/ && !/^$/' "$drive/e2e/$root.saved" >"$1/$root.reg"
    done
}

compare() {  # BEFORE AFTER EXPECTED-FILE-CHANGES
    local problem=0
    if ! diff <(cat "$1/files" <(printf '%s' "$3") | LC_ALL=C sort -u) "$2/files" >"$2/files.diff"; then
        echo "files and folders differ (< only before, > only after):"; cat "$2/files.diff"; problem=1
    fi
    for root in HKLM HKCU; do
        if ! diff "$1/$root.reg" "$2/$root.reg" >"$2/$root.diff"; then
            echo "$root differs (< only before, > only after):"; cat "$2/$root.diff"; problem=1
        fi
    done
    return $problem
}

# The publisher's steps: bundle, sign, verify.
sign_bundle() {
    wine 'C:\e2e\bin\vsapack.exe' bundle "C:\\e2e\\roundtrip\\$name\\set" \
        "C:\\e2e\\roundtrip\\$name\\download\\unsigned.exe" >/dev/null
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Varnplay Test Publisher" \
        -keyout "$run/key.pem" -out "$run/cert.pem" 2>/dev/null
    osslsigncode sign -certs "$run/cert.pem" -key "$run/key.pem" -n "Varnplay Setup" -h sha256 \
        -in "$run/download/unsigned.exe" -out "$run/download/setup.exe" >/dev/null
    rm "$run/download/unsigned.exe"
    osslsigncode verify -CAfile "$run/cert.pem" -in "$run/download/setup.exe" | grep -x "Signature verification: ok"
}

# Changes one bundled file of a bundle after signing as someone who knows
# the format would: same length, its CRC-32, the directory's and the mark
# made to match, so that only the signature tells.
change_after_signing() {  # IN OUT NAME
    python3 - "$@" <<'PYTHON'
import struct, sys, zlib
data = bytearray(open(sys.argv[1], "rb").read())
pe = struct.unpack_from("<I", data, 0x3C)[0]
sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
table = pe + 24 + optional_size
end = max(sum(struct.unpack_from("<II", data, table + 40 * i + 16)) for i in range(sections))
count, size, _ = struct.unpack_from("<III", data, end + 16)
at, records = end + 28, end + 28
for _ in range(count):
    length = struct.unpack_from("<I", data, at)[0]
    name = data[at + 4:at + 4 + length].decode()
    offset, file_size, _ = struct.unpack_from("<III", data, at + 4 + length)
    if name == sys.argv[3]:
        start = end + offset
        data[start] ^= 0x20  # one letter's case
        struct.pack_into("<I", data, at + 12 + length, zlib.crc32(data[start:start + file_size]))
    at += 16 + length
crc = zlib.crc32(data[records:records + size])
struct.pack_into("<I", data, end + 24, crc)
struct.pack_into("<I", data, 0x2C, crc)  # the mark's copy of the directory's CRC-32
open(sys.argv[2], "wb").write(data)
PYTHON
}

# What an installation left, for comparing two of them: the files with their
# contents (shortcuts by their targets: a link file holds its target's times),
# the registry, the uninstall log; the log's random name made constant.
describe_installation() {  # OUTDIR
    snapshot "$1"
    landed
    (cd "$drive" && find "$landed_rel" windows/VARNUINS.EXE -type f ! -name '*.lnk' ! -name 'UnInst*.inf' -print0 |
        LC_ALL=C sort -z | xargs -0 md5sum) >"$1/contents"
    driver "show-shortcuts \"$landed_dir\"; show-shortcuts \"<Programs>\\Varnplay\"; show-log \"$landed_dir\"" |
        tr -d '\r' | grep -v '^PASS' >"$1/shell"
    # The digest covers the log, whose own record holds its random name.
    sed -i -e 's/UnInst[0-9A-F]\{4\}\.inf/UnInstXXXX.inf/g' \
        -e 's/^"UninstallLogSHA256"="[0-9a-f]\{64\}"$/"UninstallLogSHA256"="(digest)"/' "$1"/*
}

echo "== round trip $name"
# A leftover of an earlier failed run would make the first snapshot wrong.
leftover="$(uninstall_string)"
if [ -n "$leftover" ]; then
    echo "removing an earlier installation: $leftover"
    uninstall_quietly "$leftover" 0 >/dev/null || true
    # One whose log went with its drive (a full-disk run cut short).
    [ -z "$(uninstall_string)" ] || wine reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
fi
# The game writes .SAV, which belonged to another program: its type, and a
# subkey that keeps the key from being removed, come back as they were.
preexisting=""
if [ "$name" = game ]; then
    wine reg add 'HKCR\.SAV' /ve /d OtherGame.SaveFile /f >/dev/null
    wine reg add 'HKCR\.SAV\ShellNew' /v NullFile /d "" /f >/dev/null
    preexisting='HKEY_LOCAL_MACHINE\Software\Classes\.SAV'
elif [ "$name" = userfile ]; then  # the same for the player's .GAM, with a content type
    wine reg add 'HKCR\.GAM' /ve /d OtherGame.Story /f >/dev/null
    wine reg add 'HKCR\.GAM' /v 'Content Type' /d text/x-other-story /f >/dev/null
    preexisting='HKEY_LOCAL_MACHINE\Software\Classes\.GAM'
fi
# What the user had before the installation, and the links they made.
user="$drive/users/$(id -un)"
programs="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
# "C:\Program Files\..." goes under the Program Files folder the setup is
# told of: "Program Files (x86)" for the i686 build in a 64-bit prefix.
dest="${dir#C:\\}"
if [ "$(pe_machine "$build/setup.exe")" = 014c ] && [ -d "$drive/Program Files (x86)" ]; then
    case "$dest" in 'Program Files\'*) dest="Program Files (x86)${dest#Program Files}" ;; esac
fi
dest="$drive/${dest//\\//}"
victims=()
rm -rf "$dest" "$user/Documents/Saves" "$user/Documents/Varnplay" "$programs/Varnplay" "$drive/ProgramData/OtherApp"
case "$name" in
    userfile)
        mkdir -p "$dest/doc" "$user/Documents/Saves"
        echo "the user's own index" >"$dest/doc/index.htm"
        echo "the user's saved game" >"$user/Documents/Saves/slot1.sav"
        victims=("$dest/doc/index.htm" "$user/Documents/Saves/slot1.sav") ;;
    linkdest|linkdocs)
        mkdir -p "$drive/ProgramData/OtherApp/menu" "$drive/ProgramData/OtherApp/settings"
        echo "<html>another program's page</html>" >"$drive/ProgramData/OtherApp/intro.htm"
        echo "[administrator]" >"$drive/ProgramData/OtherApp/settings/config.ini"
        victims=("$drive/ProgramData/OtherApp/intro.htm" "$drive/ProgramData/OtherApp/settings/config.ini")
        if [ "$name" = linkdest ]; then
            mkdir -p "$dest/doc"
            ln -s "$drive/ProgramData/OtherApp" "$dest/doc/varnplay"
            ln -s "$drive/ProgramData/OtherApp/menu" "$programs/Varnplay"
        else
            ln -s "$drive/ProgramData/OtherApp/settings" "$user/Documents/Varnplay"
        fi ;;
esac
mkdir -p "$run/victims"
for i in "${!victims[@]}"; do cp "${victims[$i]}" "$run/victims/$i"; done
# The user's files and other programs' files are as they were.
check_victims() {  # WHEN
    local i
    for i in "${!victims[@]}"; do
        cmp -s "${victims[$i]}" "$run/victims/$i" || { echo "${victims[$i]} changed $1"; exit 1; }
    done
    if [ -d "$drive/ProgramData/OtherApp/menu" ] && [ -n "$(ls -A "$drive/ProgramData/OtherApp/menu")" ]; then
        echo "shortcuts went through the Programs link $1"; exit 1
    fi
    [ ${#victims[@]} = 0 ] || echo "the user's and other programs' files are as they were $1"
}
if [ "$name" = signed ]; then
    sign_bundle
    # Asking for a signature's verdict fills Wine's certificate stores in
    # the registry, which Windows has from the start: before the snapshot.
    driver "show-signature C:\\e2e\\roundtrip\\$name\\download\\setup.exe"
fi
snapshot "$run/before"
grep -qxF "[${preexisting:-HKEY_LOCAL_MACHINE\Software}]" "$run/before/HKLM.reg"

# Unattended (-s): nothing waits for an answer, messages go to standard error.
# The driver's log goes to setup_log, and is shown when the run was not as expected.
setup_quietly() {  # SET-FOLDER DIR STATUS
    setup_log="$(driver "start C:\\e2e\\roundtrip\\$name\\$1\\setup.exe \"-s $2\"; wait-exit $3")" ||
        { echo "$setup_log"; return 1; }
}
nothing_left() {  # AFTER-NAME EXPECTED-FILE-CHANGES
    snapshot "$run/$1"
    compare "$run/before" "$run/$1" "$2"
}

case "$name" in
killed)
    # One whole installation: how long setup.exe itself runs (the driver's
    # own start-up is not in it: on a fast machine it was most of the time
    # and the kills came too late), and the uninstaller in C:\windows.
    setup_quietly set "$dir" 0
    whole_ms="$(sed -n 's/^setup\.exe ran for \([0-9]*\) ms.*/\1/p' <<<"$setup_log")"
    [ -n "$whole_ms" ] || { echo "the driver did not say how long setup.exe ran"; exit 1; }
    [ "$whole_ms" -ge 4 ] || whole_ms=4
    landed
    whole="$(find "$drive/$landed_rel" -type f | wc -l)"
    uninstall_quietly "$(uninstall_string)" 0 >/dev/null
    cut_short=0
    snapshot "$run/before"
    # Files another round trip left there on purpose (userfile) are not counted.
    others="$(grep -c "^f $landed_rel/" "$run/before/files" || true)"
    whole=$((whole - others))
    RANDOM=${VSETUP_KILL_SEED:-20261209}
    for i in $(seq 1 10); do
        at=$(((RANDOM * 32768 + RANDOM) % (whole_ms * 3 / 4)))
        killing="$(driver "start C:\\e2e\\roundtrip\\$name\\set\\setup.exe \"-s $dir\"; kill-after $at")"
        ! grep -q "killed setup.exe" <<<"$killing" || cut_short=$((cut_short + 1))
        command="$(uninstall_string)"
        there="$( (find "$drive/$landed_rel" -type f 2>/dev/null || true) | wc -l)"  # no folder yet: 0
        there=$((there - others))
        if [ $((i % 2)) = 1 ] && [ -n "$command" ]; then
            how="the uninstaller of the registered entry"
        else
            how="setup again, then the uninstaller"
            setup_quietly set "$dir" 0
            command="$(uninstall_string)"
        fi
        uninstall_quietly "$command" 0 >/dev/null
        nothing_left "after-$i" "" || { echo "killed after $at ms, then $how: something is left"; exit 1; }
        echo "killed after $at of $whole_ms ms with $there of $whole files there, then $how: nothing left"
    done
    # Points must fall while setup runs, not only after it ended by itself.
    [ "$cut_short" -ge 4 ] || { echo "only $cut_short of the kills met a running setup"; exit 1; }
    echo "$cut_short of 10 kills met a running setup"
    exit 0 ;;
twofolders)
    other='C:\Games\Varnplay'
    setup_quietly set "$dir" 0
    first="$(uninstall_string)"
    setup_quietly set "$other" 0
    second="$(uninstall_string "$uninstall_key (2)")"
    echo "entries: $first | $second"
    [ -n "$first" ] && [ -n "$second" ] && [ "$(uninstall_string)" = "$first" ] ||
        { echo "the second installation did not get an entry of its own"; exit 1; }
    uninstall_quietly "$first" 0 >/dev/null
    [ -f "$drive/Games/Varnplay/varnplay.exe" ] && [ -n "$(uninstall_string "$uninstall_key (2)")" ] ||
        { echo "uninstalling the first installation took the second's files or entry"; exit 1; }
    uninstall_quietly "$second" 0 >/dev/null
    nothing_left after 'f windows/VARNUINS.EXE'$'\n'
    echo "two folders: two entries, each uninstall removed its own installation"
    exit 0 ;;
sidebyside)
    mkdir -p "$run/bench"
    cp "$run/set"/* "$run/bench/"
    printf 'debugger\r\n' >"$run/bench/SETUP.DAT"
    setup_quietly set "$dir" 0
    setup_quietly bench "$dir" 0
    landed
    [ -f "$drive/$landed_rel/setup1.dat" ] && [ -f "$drive/$landed_rel/varnplay.exe" ] ||
        { echo "the workbench set did not install beside the player set"; exit 1; }
    uninstall_quietly "$(uninstall_string)" 0 >/dev/null
    nothing_left after 'f windows/VARNUINS.EXE'$'\n'
    echo "the player set and the workbench set on their defaults: one uninstall removed both"
    exit 0 ;;
paths)
    for refused in 'C:\Games\\Varnplay' 'C:\Games\Varnplay\\' '\\server\share\Varnplay'; do
        setup_quietly set "$refused" 5
        echo "refused before anything was written: $refused"
    done
    nothing_left after ""
    exit 0 ;;
fulldisk)
    disk="$build/fulldisk-drive"
    mkdir -p "$disk"
    ! mountpoint -q "$disk" || umount "$disk"
    mount -t tmpfs -o size=1m tmpfs "$disk" || { echo "cannot mount a 1 MB tmpfs as the full drive"; exit 1; }
    trap 'rm -f "$WINEPREFIX/dosdevices/d:"; umount "$disk"' EXIT
    ln -sfn "$disk" "$WINEPREFIX/dosdevices/d:"
    setup_quietly set "$dir" 4
    [ "$(find "$disk" -type f | wc -l)" -ge 3 ] && [ -n "$(uninstall_string)" ] ||
        { echo "nothing installed before the drive filled up, or no entry"; exit 1; }
    echo "the drive filled up: status 4, $(find "$disk" -type f | wc -l) files on it"
    uninstall_quietly "$(uninstall_string)" 0 >/dev/null
    [ -z "$(ls -A "$disk")" ] || { echo "left on the full drive:"; find "$disk"; exit 1; }
    nothing_left after 'f windows/VARNUINS.EXE'$'\n'
    echo "the uninstaller removed everything from the full drive"
    exit 0 ;;
esac

if [ "$name" = signed ]; then
    change_after_signing "$run/download/setup.exe" "$run/download/changed.exe" LICENSE.TXT
    ! osslsigncode verify -CAfile "$run/cert.pem" -in "$run/download/changed.exe" >/dev/null 2>&1 ||
        { echo "the changed bundle still verifies"; exit 1; }
    driver "show-signature C:\\e2e\\roundtrip\\$name\\download\\changed.exe; start C:\\e2e\\roundtrip\\$name\\download\\changed.exe \"-s $dir\"; wait-exit 1"
    snapshot "$run/refused"
    compare "$run/before" "$run/refused" ""
    echo "the bundle changed after signing was refused"
    driver "start C:\\e2e\\roundtrip\\$name\\set\\setup.exe \"-q $dir\"; wait-finish; finish; wait-exit 0" >/dev/null
    describe_installation "$run/from-folder"
    uninstall_quietly "$(uninstall_string)" 0 >/dev/null
    snapshot "$run/between"
    compare "$run/before" "$run/between" 'f windows/VARNUINS.EXE'$'\n'
    rm "$drive/windows/VARNUINS.EXE"  # so that the bundle's own copy is compared
    # Unattended: nothing to press; a window left waiting would time the driver out.
    driver "start C:\\e2e\\roundtrip\\$name\\download\\setup.exe \"-s $dir\"; wait-exit 0"
    describe_installation "$run/from-bundle"
    for part in files HKLM.reg HKCU.reg contents shell; do
        diff "$run/from-folder/$part" "$run/from-bundle/$part" ||
            { echo "the signed bundle installed differently ($part; < folder, > bundle)"; exit 1; }
    done
    echo "the signed bundle installed what the folder set installs"
fi

steps="start C:\\e2e\\roundtrip\\$name\\set\\setup.exe \"-q $dir\"; expect-page \"Setup Progress\""
[ "$archive" != damaged ] || steps+="; msgbox \"An error occurred reading installation files.  You should obtain a new copy of the Setup files.\" OK"
link_refused='msgbox "Setup found a link to another folder where it was to install files, and did not write through it." OK'
case "$name" in
    userfile) setup_status=2 steps+="; msgbox \"Setup left them as they were and did not install its own:\" OK" ;;
    linkdest) setup_status=2 steps+="; $link_refused; $link_refused" ;;  # the files, then the shortcuts
    linkdocs) setup_status=2 steps+="; $link_refused" ;;
esac
if [ "$name" = winget ]; then
    rm -rf "$drive/e2e/winget logs"
    mkdir -p "$drive/e2e/winget logs"
    arguments="$(winget_arguments Silent "$dir" 'C:\e2e\winget logs\install.log')"
    echo "winget's switches: $arguments"
    driver "start C:\\e2e\\roundtrip\\$name\\set\\setup.exe \"${arguments//\"/\"\"}\"; wait-exit 0"
    check_winget_entry "$drive/e2e/winget logs/install.log"
    # winget's default mode, as an upgrade would run it: nothing may wait.
    arguments="$(winget_arguments SilentWithProgress "$dir" 'C:\e2e\winget logs\upgrade.log')"
    echo "winget's switches: $arguments"
    driver "start C:\\e2e\\roundtrip\\$name\\set\\setup.exe \"${arguments//\"/\"\"}\"; wait-exit 0"
elif [ "$name" != signed ]; then  # the signed set was installed from its bundle above
    driver "$steps; wait-finish; finish; wait-exit $setup_status"
fi
if [ "$name" = twice ]; then
    driver "$steps; wait-finish; finish; wait-exit 0"
    landed
    logs="$(find "$drive/$landed_rel" -maxdepth 1 -name 'UnInst*.inf' | wc -l)"
    [ "$logs" = 1 ] || { echo "$logs uninstall logs after the second installation"; exit 1; }
fi

command="$(uninstall_string)"
echo "UninstallString: $command"
[[ "$command" == '"C:\windows\VARNUINS.EXE" '* ]] || { echo "unexpected UninstallString"; exit 1; }

# Something to remove: the log and payload files (some, when damaged).
landed
echo "installed into: $landed_dir"
case "$name" in  # the folder the user had made, with their file or link in it
    userfile|linkdest) [ "$drive/$landed_rel" -ef "$dest" ] || { echo "not installed into $dest"; exit 1; } ;;
esac
rel="$landed_rel"
installed="$(find "$drive/$rel" -type f | wc -l)"
echo "files in the program directory: $installed"
if [ "$name" = game ]; then  # what .SAV named before is in the log
    driver "read-log \"$landed_dir\"; expect-log \"WAS HKEY_CLASSES_ROOT .SAV = OtherGame.SaveFile\"; expect-reg HKCR\\.SAV \"\" \"Devi Dezir.Save\""
elif [ "$name" = userfile ]; then  # and what .GAM held
    driver "read-log \"$landed_dir\"; expect-log \"WAS HKEY_CLASSES_ROOT .GAM = OtherGame.Story\"; expect-log \"WAS HKEY_CLASSES_ROOT .GAM Content Type = text/x-other-story\"; expect-reg HKCR\\.GAM \"Content Type\" \"application/x-varn\""
fi
least=3
[ "$name" != linkdocs ] || least=2  # the extraction stopped at its first member: the log and a shortcut
[ "$installed" -ge "$least" ] || { echo "too little was installed"; exit 1; }
check_victims "after the installation"
# The names as the publisher wrote them, on disk and in the Start Menu.
named() {  # PATH under drive C:
    [ -e "$drive/$1" ] || { echo "missing: $1"; ls -R "$drive/$(dirname "$1")" | head -20; exit 1; }
}
case "$name" in
    japanese)
        named 'サポート/表示/varnplay.exe'
        named "users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/サポート/表示/Varnplay Interpreter.lnk"
        named "users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/サポート/表示/Uninstall サポート表示.lnk"
        echo "installed under the names of code page 932" ;;
    cyrillic)
        named "$rel/Café.txt"
        named "$rel/doc/Игра.txt"
        named "users/$wine_user/Меню/Programs/Игра/Café/Varnplay Interpreter.lnk"
        named "users/$wine_user/Меню/Programs/Игра/Café/Uninstall Игра Café.lnk"
        echo "installed under UTF-8 names, with the Start Menu under Меню" ;;
esac

# What stays on purpose: the uninstaller, and for userfile the user's file.
expected='f windows/VARNUINS.EXE'$'\n'
if [ "$name" = userfile ]; then
    echo "a saved game of the user" >"$drive/$rel/mine.sav"
    expected+="d $rel"$'\n'"f $rel/mine.sav"$'\n'
fi
if [ "$name" = inuse ]; then
    # Installing again while the program runs: the file cannot be replaced,
    # status 6, and what the second run recorded still goes with the rest.
    status=0
    wine 'C:\e2e\bin\holdopen.exe' "$landed_dir\varnplay.exe" -run \
        "C:\\e2e\\roundtrip\\$name\\set\\setup.exe -s $dir" || status=$?
    [ "$status" = 6 ] || { echo "installing over a file in use: status $status, expected 6"; exit 1; }
    command="$(uninstall_string)"
    echo "installing over a file in use: status 6"
    program="${command#\"}"
    log="${program#*\" }"
    program="${program%%\"*}"
    status=0
    wine 'C:\e2e\bin\holdopen.exe' "$landed_dir\varnplay.exe" -run "\"$program\" -q $log" || status=$?
    # Left for a second run once the program is closed: status 6.
    [ "$status" = 6 ] || { echo "uninstall with a file in use: status $status, expected 6"; exit 1; }
    [ -f "$drive/$rel/varnplay.exe" ] && [ -n "$(uninstall_string)" ] &&
        [ -n "$(find "$drive/$rel" -maxdepth 1 -name 'UnInst*.inf')" ] ||
        { echo "the file in use, the log or the entry went"; exit 1; }
    echo "file in use: status 6, the log and the entry stay"
fi
uninstall_registered 0
snapshot "$run/after"
if [ "$name" = game ]; then  # after the installation it named the game's type
    [ "$(wine reg query 'HKCR\.SAV' /ve | tr -d '\r' | sed -n 's/.*REG_SZ *//p')" = OtherGame.SaveFile ] ||
        { echo ".SAV was not handed back"; exit 1; }
fi
compare "$run/before" "$run/after" "$expected"
echo "round trip: only the expected changes"
check_victims "after the uninstall"

# A file where the Start Menu folder goes: unattended, the setup says so on
# standard error by name and ends with status 2; the uninstall removes the rest.
if [ "$name" = cyrillic ]; then
    echo "not a folder" >"$drive/users/$wine_user/Меню/Programs/Игра"
    status=0
    errors="$(wine "C:\\e2e\\roundtrip\\$name\\set\\setup.exe" -s "$dir" 2>&1 >/dev/null)" || status=$?
    echo "blocked Start Menu folder: status $status"
    echo "$errors"
    [ "$status" = 2 ] || { echo "expected status 2"; exit 1; }
    grep -qxF "Setup: Setup could not create the Start Menu folder C:\users\\$wine_user\Меню\Programs\Игра.  Its shortcuts were not made." \
        <<<"${errors//$'\r'/}" || { echo "the message does not name the folder"; exit 1; }
    uninstall_quietly "$(uninstall_string)" 0 >/dev/null
    snapshot "$run/blocked"
    compare "$run/before" "$run/blocked" "$expected"$'f users/'"$wine_user"$'/Меню/Programs/Игра\n'
    rm "$drive/users/$wine_user/Меню/Programs/Игра"
    echo "blocked Start Menu folder: told, status 2, and uninstalled"
fi

# Twice (the whole and the partial installation): the log is gone, nothing
# is removed, status 1.
[ "$name" = player ] || [ "$name" = damaged ] || exit 0
uninstall_quietly "$command" 1
snapshot "$run/again"
compare "$run/after" "$run/again" ""
echo "second run: status 1, nothing changed"
