#!/bin/bash
# Where an installation's time goes under Wine: every file operation that is
# not a plain read or write is a request to Wine's server, answered by one
# process for all. Runs one quiet installation of a benchmark set with the
# server's trace on and counts the requests made from the first member file
# created to the last, in all, per installed file and per kind.
#
# Usage: bench/server-requests.sh [PAYLOAD [SETUP.EXE]]
#   PAYLOAD    a set made by bench/install-bench.sh (default p30: 303 files, 30 MB)
#   SETUP.EXE  another build to put in the set's place (default: the set's own)
# bench/install-bench.sh must have run once (BENCH_MB=30 is enough for p30).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$root/build/bench"
payload="${1:-p30}"
set_dir="$work/set-$payload"
[ -d "$set_dir" ] || { echo "server-requests: no $set_dir: run bench/install-bench.sh first" >&2; exit 1; }
windows="$("$root/scripts/windows-build.sh")"
timer="$root/build/$windows/bench/install_timer.exe"
traced="$set_dir/setup-traced.exe"
cp "${2:-$set_dir/setup.exe}" "$traced"

export WINEPREFIX="$work/wineprefix"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
export DISPLAY="$(cat "$WINEPREFIX.display")" WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine="$("$root/scripts/wine-loader.sh")"
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver=wineserver
trap '"$root/scripts/wine-stop.sh" "$WINEPREFIX"; rm -f "$traced"' EXIT
destination='C:\requests\x'
# Before each run: no earlier installation in the way (its entry would make
# the run a reinstallation).
clear_destination() {
    rm -rf "$WINEPREFIX/drive_c/requests"
    WINEDEBUG=-all "$wine" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\varnplay.exe' /f \
        >/dev/null 2>&1 || true
}
install_once() { "$wine" "$timer" setup "Z:${traced//\//\\} -q $destination" >&2; }
# A first run warms the prefix; the traced one starts a server of its own,
# which prints the requests of every process.
clear_destination
WINEDEBUG=-all install_once 2>/dev/null
clear_destination
WINEDEBUG=-all "$wineserver" -k 2>/dev/null || true
WINEDEBUG=-all "$wineserver" -w 2>/dev/null || true
trace="$work/server-requests-$payload.txt"
WINEDEBUG=+server install_once 2>"$trace"

python3 - "$trace" "$(find "$work/$payload" -type f | wc -l)" <<'EOF'
import collections, re, sys
lines = open(sys.argv[1], errors="replace").read().split("\n")
files = int(sys.argv[2])
request = re.compile(r"^([0-9a-f]{4}): ([a-z_]+)\( ")  # a reply reads "name() = "
member = [i for i, l in enumerate(lines) if "create_file(" in l and "requests\\\\x\\\\" in l]
if not member:
    sys.exit("server-requests: no member file was created")
counts = collections.Counter()
for l in lines[member[0]:member[-1] + 1]:
    m = request.match(l)
    if m:
        counts[m.group(2)] += 1
total = sum(counts.values())
print(f"{total} requests from the first member file created to the last, {files} files: "
      f"{total / files:.1f} per file")
print("| request | count | per file |\n|---|---|---|")
for name, count in counts.most_common(15):
    print(f"| {name} | {count} | {count / files:.2f} |")
EOF
