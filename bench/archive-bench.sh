#!/bin/bash
# Reader throughput against raw inflate on a generated archive (256 MB of
# data unless given), natively and under Wine, and the reader's peak memory
# on a quarter-size and a full-size archive.
# Usage: bench/archive-bench.sh [MEGABYTES] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
megabytes="${1:-256}"; rounds="${2:-5}"
data="$root/build/bench-data"; mkdir -p "$data"

cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DVSETUP_SANITIZE=OFF >/dev/null
cmake --build build/bench-native -j2 --target archive_bench >/dev/null
build="$(scripts/windows-build.sh)"  # the Windows build Wine runs here
cmake -S . -B build/$build -DCMAKE_TOOLCHAIN_FILE="$(scripts/windows-build.sh --toolchain "$build")" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/$build -j2 --target archive_bench >/dev/null
native="build/bench-native/bench/archive_bench"
windows="build/$build/bench/archive_bench.exe"

small=$((megabytes / 4))
for size in "$small" "$megabytes"; do
    [ -f "$data/bench$size.vsa" ] || "$native" generate "$data/bench$size.vsa" "$size"
done
archive="$data/bench$megabytes.vsa"
echo "archive: $archive ($(stat -c %s "$archive") bytes)"
echo "== native"
"$native" compare "$archive" "$rounds"
echo "== Wine (build/$build)"
export WINEPREFIX="$root/build/$build/wineprefix"
scripts/wine-run.sh "$windows" compare "$archive" "$rounds"
echo "== CRC-32 speed"
echo -n "native: "; "$native" crc
echo -n "Wine:   "; scripts/wine-run.sh "$windows" crc
echo "== peak memory, ${small} MB and ${megabytes} MB archives"
for size in "$small" "$megabytes"; do
    echo -n "native $size MB: "; "$native" reader "$data/bench$size.vsa"
    echo -n "Wine   $size MB: "; scripts/wine-run.sh "$windows" reader "$data/bench$size.vsa"
done
