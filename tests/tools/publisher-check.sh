#!/bin/bash
# The publisher's commands, natively: vsapack create and check on a good set,
# then the usual mistakes one at a time. Each must be reported as the README
# says (error or warning, file and line), errors must fail, and the packer
# must refuse what Windows cannot create. Usage: publisher-check.sh VSAPACK
# (VSETUP_EMULATOR: the command that runs it, where it cannot run itself)
set -euo pipefail
vsapack="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
# A 32-bit build runs its packer through its emulator (qemu-user).
if [ -n "${VSETUP_EMULATOR:-}" ]; then
    printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$VSETUP_EMULATOR" "$vsapack" >"$work/run-vsapack"
    chmod +x "$work/run-vsapack"
    vsapack="$work/run-vsapack"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
# expect STATUS TEXT... -- COMMAND: the command's exit status, and each text in its output.
expect() {
    local status="$1" texts=() output got
    shift
    while [ "$1" != "--" ]; do texts+=("$1"); shift; done
    shift
    set +e
    output="$("$@" 2>&1)"
    got=$?
    set -e
    echo "\$ ${*#$vsapack}"
    echo "$output"
    [ "$got" = "$status" ] || fail "exit status $got, expected $status"
    for text in "${texts[@]}"; do
        grep -qF -- "$text" <<<"$output" || fail "no \"$text\" in the output"
    done
}
dat() { printf '%s\r\n' "$@" >set/SETUP.DAT; }
le32() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))\\$(printf %03o $(($1 >> 16 & 255)))\\$(printf %03o $(($1 >> 24 & 255)))"; }
# An archive another tool made, holding names our packer refuses.
# foreign_archive OUT NAME...: each member holds one byte; the header is at offset 0.
foreign_archive() {
    local out="$1" name
    shift
    {
        printf 'qzk_gz_100\0'; le32 $#; le32 $#
        for name in "$@"; do le32 ${#name}; printf '%s' "$name"; le32 1; printf 'x'; done | gzip -n -9
        le32 0
    } >"$out"
}

# A good set: the archive from a payload, then the set's files.
mkdir -p payload/doc payload/sub set
echo program >payload/varnplay.exe
echo readme >payload/README.TXT
echo a >payload/sub/a.txt
echo "<html>" >payload/doc/intro.htm
expect 0 "4 members" -- "$vsapack" create set/insfiles.vsa payload
echo "stand-in" >set/setup.exe
echo "stand-in" >set/VARNUINS.EXE
echo "license" >set/LICENSE.TXT
dat "appname=Demo" "readme=README.TXT"
expect 0 "set: 0 errors, 0 warnings" -- "$vsapack" check set

# SETUP.DAT: keys the setup ignores, values it refuses, files the set lacks.
dat "appname=Demo" "appnmae=Demo"
expect 1 'set/SETUP.DAT:2: error: unknown key "appnmae"' "did you mean appname?" "1 error, 0 warnings" -- \
    "$vsapack" check set
dat "nolicence"
expect 1 "set/SETUP.DAT:1: error:" "did you mean nolicense?" -- "$vsapack" check set
dat "# Demo" "appname =Demo"
expect 1 'set/SETUP.DAT:2: error: "appname " has a blank before "="' -- "$vsapack" check set
dat "version=2.0" "publisher=VARN Software" "version= 2.1" "versoin=2.2"
expect 1 "set/SETUP.DAT:3: error: the value of version begins or ends with a blank" \
    'set/SETUP.DAT:4: error: unknown key "versoin"' "did you mean version?" -- "$vsapack" check set
dat "publisher=VARN	Software"
expect 1 "set/SETUP.DAT:1: error: the value of publisher holds a control character" -- "$vsapack" check set
dat "mainexe=bin\\demo.exe"
expect 1 "set/SETUP.DAT:1: error: the value of mainexe must be a single name" -- "$vsapack" check set
dat "progdir=C:\\Games\\CON"
expect 1 "set/SETUP.DAT:1: error: progdir proposes C:\\Games\\CON" "device" -- "$vsapack" check set
dat "readme=docs\\missing.txt" "mainexe=lostpig.exe"
expect 0 "set/SETUP.DAT:1: warning: docs\\missing.txt is not in insfiles.vsa" \
    "set/SETUP.DAT:2: warning: lostpig.exe is not in insfiles.vsa" "0 errors, 2 warnings" -- "$vsapack" check set
dat "readme=doc/intro.htm" "debugger"
expect 0 'warning: vbench.exe is not in insfiles.vsa: the shortcut "VARN Workbench" leads nowhere' \
    "warning: no insmain.exe" -- "$vsapack" check set
# A single game's saved games: never a kind Windows runs or uses itself, and
# a warning for another program's documents; both only for a single game.
dat "game" "mainexe=varnplay.exe" "savesuffix=exe"
expect 1 "set/SETUP.DAT:3: error: the value of savesuffix names a kind of file that Windows runs" -- \
    "$vsapack" check set
dat "game" "mainexe=varnplay.exe" "savesuffix=Lnk"
expect 1 "set/SETUP.DAT:3: error: the value of savesuffix names a kind of file" -- "$vsapack" check set
dat "game" "mainexe=varnplay.exe" "savesuffix=txt"
expect 0 "set/SETUP.DAT:3: warning: savesuffix=txt makes the game open every .txt file" "0 errors, 1 warning" -- \
    "$vsapack" check set
dat "game" "mainexe=varnplay.exe" "savesuffix=LPS"
expect 0 "0 errors, 0 warnings" -- "$vsapack" check set
dat "savesuffix=exe"
expect 0 "0 errors, 0 warnings" -- "$vsapack" check set
dat "license=EULA.TXT"
expect 1 "set/SETUP.DAT:1: error: no license file EULA.TXT" -- "$vsapack" check set
expect 1 "set/SETUP.DAT:1: error: no license file EULA.TXT" "vsapack: the set has 1 error" "nothing was bundled" -- \
    "$vsapack" bundle set out.exe
[ ! -e out.exe ] || fail "a bundle of a set with errors was written"
dat "nolicense" "license=EULA.TXT" "nolicense"
mv set/VARNUINS.EXE .
expect 0 "set: warning: no VARNUINS.EXE: the installation cannot be uninstalled" "never takes it from the folder" \
    "0 errors, 1 warning" -- "$vsapack" check set
mv VARNUINS.EXE set/
# Names in any language: UTF-8 (a byte order mark too) is fine; a value in a
# single-byte code page is read in the player's, and said so by its line.
printf '\xEF\xBB\xBFappname=\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0\r\nstartfolder=Caf\xC3\xA9\r\n' >set/SETUP.DAT
expect 0 "set: 0 errors, 0 warnings" -- "$vsapack" check set
printf 'appname=Demo\r\nstartfolder=Caf\xE9\r\n' >set/SETUP.DAT
expect 0 "set/SETUP.DAT:2: warning: the value of startfolder is neither ASCII nor UTF-8" "0 errors, 1 warning" -- \
    "$vsapack" check set
dat "appname=Demo"

# The packer: a linked file under the link's own name, a linked folder
# followed, a loop refused; names Windows cannot create, names it takes for
# one, and nothing at all refused without output.
ln -s sub/a.txt payload/alias.txt
ln -s sub payload/linked
expect 0 "6 members" -- "$vsapack" create links.vsa payload
names="$("$vsapack" list links.vsa | awk 'NF == 2 { print $2 }' | tr '\n' ' ')"
[ "$names" = 'README.TXT alias.txt doc\intro.htm linked\a.txt sub\a.txt varnplay.exe ' ] ||
    fail "members $names"
ln -s .. payload/sub/up
expect 1 "is a link to a folder that holds it" -- "$vsapack" create loop.vsa payload
rm payload/sub/up
for name in 'bad?.txt' 'x<y' 'trail.' 'CON' 'aux.txt' 'README.txt'; do
    cp -r payload bad
    echo x >"bad/$name"
    expect 1 "vsapack: " "\"$name\"" -- "$vsapack" create bad.vsa bad
    [ ! -e bad.vsa ] || fail "an archive was written for $name"
    rm -rf bad
done
cp -r payload utf8
echo x >"utf8/Caf$(printf '\xC3\xA9').txt"
expect 0 "7 members" -- "$vsapack" create utf8.vsa utf8
"$vsapack" list utf8.vsa | grep -q "Caf$(printf '\xC3\xA9').txt" || fail "the UTF-8 name was not stored as it is"
echo x >"utf8/Caf$(printf '\xE9').txt"
expect 1 "is not valid UTF-8" "Caf" -- "$vsapack" create latin.vsa utf8
[ ! -e latin.vsa ] || fail "an archive was written for a name that is not UTF-8"
rm -rf utf8
mkdir -p empty/sub
expect 1 "nothing to pack: empty holds no files" -- "$vsapack" create empty.vsa empty
[ ! -e empty.vsa ] || fail "an empty archive was written"

# An archive made elsewhere: names Windows cannot create, then damage.
cp set/insfiles.vsa good.vsa
foreign_archive set/insfiles.vsa 'trail.' 'bad?.txt' 'varnplay.exe' 'README.TXT'
expect 1 'set/insfiles.vsa: error: member "trail." holds a name that is only dots' \
    'set/insfiles.vsa: error: member "bad?.txt" holds a character' -- "$vsapack" check set
# Empty and leading components: Windows would make another path of them than
# the uninstall log records, so the setup takes them for damage.
foreign_archive set/insfiles.vsa 'doc\\varnplay\intro.htm' '\lead.txt' 'varnplay.exe' 'README.TXT'
expect 1 'set/insfiles.vsa: error: member "doc\\varnplay\intro.htm" holds two separators in a row' \
    'set/insfiles.vsa: error: member "\lead.txt" starts with' 'the setup takes the archive for damaged there' \
    -- "$vsapack" check set
cp good.vsa set/insfiles.vsa
head -c 8 /dev/zero | tr '\0' '\377' |
    dd of=set/insfiles.vsa bs=1 seek=$(($(stat -c %s good.vsa) / 2)) conv=notrunc status=none
expect 1 "set/insfiles.vsa: error: damaged:" -- "$vsapack" check set
echo "publisher-check: every case passed"
