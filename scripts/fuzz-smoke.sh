#!/bin/bash
# Runs each libFuzzer target briefly from its seed corpus (fuzz/corpus/<name>).
# Usage: fuzz-smoke.sh NATIVE_BUILD_DIR SECONDS
set -euo pipefail
build="$1"; seconds="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0
for src in "$root"/fuzz/*.cpp; do
    [ -e "$src" ] || continue
    name="$(basename "$src" .cpp)"
    bin="$build/$name"
    [ -x "$bin" ] || { echo "fuzz: $name was not built"; status=1; continue; }
    work="$(mktemp -d)"
    seeds=()
    [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
    if "$bin" -max_total_time="$seconds" -print_final_stats=1 "$work" "${seeds[@]}" >"$work.log" 2>&1; then
        echo "fuzz: $name ok ($(grep -o 'stat::number_of_executed_units: [0-9]*' "$work.log" | grep -o '[0-9]*$') runs)"
    else
        echo "fuzz: $name FAILED"; tail -40 "$work.log"; status=1
    fi
    rm -rf "$work" "$work.log"
done
exit $status
