#!/bin/bash
# Installs what the build, the tests and the demo need on Debian 12. Idempotent:
# it does nothing when every package is already there.
#
# A mirror that serves a bad index does not stop it: apt-get update is tried
# again, then whatever the indexes that verified offer is installed, and the
# end names what could not be installed and what goes untested because of it.
# apt's verification is never bypassed. Wine's 32-bit half is wanted only where
# the kernel runs 32-bit programs; without it the tests run the x86_64 build,
# and the x86 Common Controls for the test prefixes come from the i386 libwine
# package's files.
#
# Exit status: 0 when the tests have what they need (Wine's 32-bit half may be
# missing), 1 when a package they need could not be installed.
#
# VSETUP_DEPS_DRY_RUN=1       only simulates (apt-get install -s): nothing is
#                             installed or fetched; apt-get update still runs
# VSETUP_DEPS_EXTRA="P ..."   more packages to want, to try the failure paths
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dry="${VSETUP_DEPS_DRY_RUN:-}"

# Each package, then what goes untested without it.
needs=(
    "cmake|every build"              "make|every build"
    "mingw-w64|the Windows builds"   "g++-mingw-w64-i686-posix|the Windows builds"
    "g++-mingw-w64-x86-64-posix|the Windows builds"
    "libz-mingw-w64-dev|the Windows builds"
    "zlib1g-dev|the native build"    "googletest|every unit test"
    "clang|the native build with sanitizers and the fuzzing slice"
    "libclang-rt-14-dev|the native build with sanitizers and the fuzzing slice"
    "wine|every Windows test, end-to-end case and round trip, and the demo"
    "wine64|every Windows test, end-to-end case and round trip, and the demo"
    "fonts-wine|every Windows test, end-to-end case and round trip, and the demo"
    "xvfb|every Windows test, end-to-end case and round trip, and the demo"
    "xauth|every Windows test, end-to-end case and round trip, and the demo"
    "x11-apps|the screenshots"       "x11-utils|the screenshots"
    "imagemagick|the screenshots"
    "python3|the manifest checks and the benchmarks"
    "nsis|the benchmarks' NSIS installers"
    "osslsigncode|the signed round trip (e2e_roundtrip_signed)"
    "openssl|the signed round trip (e2e_roundtrip_signed)"
    "g++-multilib|the i686 plain logic through qemu-user (build/linux-i686)"
    "lib32z1-dev|the i686 plain logic through qemu-user (build/linux-i686)"
    "qemu-user-static|the i686 plain logic through qemu-user (build/linux-i686)"
    "locales|the round trip in a Japanese prefix (e2e_roundtrip_japanese)"
    "fonts-ipafont-gothic|the Japanese names in the screenshots"
)
wine32_loses="the shipped i686 build under Wine: the Windows tests, end-to-end cases and round trips run on the x86_64 build instead; the i686 programs are still compiled, their manifests checked and their plain logic run through qemu-user"
comctl_loses="manifests_mixed_prefix (the programs in a prefix that holds the x86 and the amd64 Common Controls) is skipped"
for extra in ${VSETUP_DEPS_EXTRA:-}; do needs+=("$extra|what asked for it (VSETUP_DEPS_EXTRA)"); done

sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
say() { echo "install-deps: $*"; }

# The smallest static i386 Linux program, exit(42) through int 0x80: where the
# kernel cannot run it, nothing can use Wine's 32-bit loader.
runs_32bit_programs() {
    local probe status
    probe="$(mktemp)"
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    status=$?
    rm -f "$probe"
    [ $status -eq 42 ]
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# apt-get update exits 100 when any index failed, having used the others; it
# is tried again for a mirror in the middle of an update, then left at that.
update_indexes() {
    local attempt output
    for attempt in 1 2 3; do
        output="$($sudo apt-get update -qq 2>&1)" && return 0
        say "apt-get update failed (attempt $attempt of 3): $(grep -m1 -E '^(E|Err):' <<<"$output")"
        [ $attempt -lt 3 ] && sleep 5
    done
    say "going on with the package indexes that verified"
    grep -E '^(E|W): Failed to fetch' <<<"$output" | sed 's/^/install-deps:   /'
    return 0
}

apt_install() {  # PACKAGE... ; prints apt's complaint on failure
    local mode=(-y -q) output
    [ -n "$dry" ] && mode=(-s -q)
    output="$(DEBIAN_FRONTEND=noninteractive $sudo apt-get install "${mode[@]}" --no-install-recommends "$@" 2>&1)" && return 0
    grep -E '^ [^ ].* : Depends:' <<<"$output" | head -2
    grep -m1 '^E:' <<<"$output"
    return 1
}

# Installs all at once; if apt refuses, finds by simulation which packages
# cannot be had, so that they do not keep the others out, and installs the
# rest (one by one if apt still refuses). Fills the array failed.
install_missing() {
    local p reason can=()
    failed=()
    apt_install "$@" >/dev/null && return 0
    for p in "$@"; do
        if reason="$(dry=1 apt_install "$p")"; then can+=("$p"); continue; fi
        failed+=("$p")
        say "cannot install $p:"
        sed 's/^/install-deps:   /' <<<"$reason"
    done
    [ ${#can[@]} -eq 0 ] && return 0
    apt_install "${can[@]}" >/dev/null && return 0
    for p in "${can[@]}"; do
        apt_install "$p" >/dev/null || failed+=("$p")
    done
}

# The x86 comctl32.dll from the i386 libwine package's files, through apt
# (which checks it against the verified index), without installing anything.
fetch_x86_comctl32() {
    local cache work deb
    "$here/wine-x86-comctl32.sh" >/dev/null 2>&1 && return 0
    [ -n "$dry" ] && { say "would take the x86 comctl32.dll from libwine:i386"; return 0; }
    cache="$("$here/wine-x86-comctl32.sh" --cache)"
    work="$(mktemp -d)"
    if (cd "$work" && apt-get download -qq libwine:i386 >/dev/null 2>&1) && deb="$(ls "$work"/libwine_*_i386.deb 2>/dev/null)" &&
       dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work" --wildcards '*/i386-windows/comctl32.dll' 2>/dev/null; then
        mkdir -p "$cache"
        find "$work" -name comctl32.dll -exec cp {} "$cache/comctl32.dll" \;
        say "took the x86 comctl32.dll for the test prefixes from $(basename "$deb") into $cache"
    fi
    rm -rf "$work"
    "$here/wine-x86-comctl32.sh" >/dev/null
}

wanted=()
for entry in "${needs[@]}"; do wanted+=("${entry%%|*}"); done
no_wine32=""
if runs_32bit_programs; then
    wanted+=(wine32:i386)
else
    no_wine32="this kernel runs no 32-bit programs: Wine's 32-bit half (wine32:i386) is not needed"
fi
missing=()
for p in "${wanted[@]}"; do installed "$p" || missing+=("$p"); done
failed=()
comctl_missing=""
if [ ${#missing[@]} -gt 0 ] || ! "$here/wine-x86-comctl32.sh" >/dev/null 2>&1; then
    [ -z "$no_wine32" ] || say "$no_wine32"
    [ ${#missing[@]} -gt 0 ] && say "installing ${missing[*]}"
    # Both wine32 and the i386 libwine the x86 comctl32.dll comes from.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    update_indexes
    [ ${#missing[@]} -gt 0 ] && install_missing "${missing[@]}"
    fetch_x86_comctl32 || comctl_missing=1
fi

# Wine takes a prefix's code page (932 for Japanese) from LANG, but only for
# a locale that glibc has.
japanese_locale() {
    locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
    [ -n "$dry" ] && { say "would generate the locale ja_JP.UTF-8"; return 0; }
    installed locales || return 1
    $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
}
japanese_locale || say "not tested: e2e_roundtrip_japanese (no locale ja_JP.UTF-8)"

lacking=()
for p in "${failed[@]}"; do
    if [ "$p" = wine32:i386 ]; then
        say "not tested without $p: $wine32_loses"
        continue
    fi
    for entry in "${needs[@]}"; do
        [ "${entry%%|*}" = "$p" ] && say "not tested without $p: ${entry#*|}"
    done
    lacking+=("$p")
done
[ -n "$comctl_missing" ] && say "not tested: $comctl_loses"
if [ ${#lacking[@]} -gt 0 ]; then
    say "FAILED: the tests need ${lacking[*]}, which could not be installed"
    exit 1
fi
exit 0
