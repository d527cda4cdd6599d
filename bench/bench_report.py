#!/usr/bin/env python3
"""Turns the install benchmark's runs.tsv into a Markdown report (medians, ratios
and the targets), written to standard output."""
import argparse
import os
import shlex
import statistics
import subprocess

TARGET_NSIS = 0.6
TARGET_FIRST_PAGE = 0.3
TARGET_LIMIT = 1.3
LABELS = {
    "ours": "setup.exe -q (Finish pressed when usable)",
    "bundle": "the same, from the set bundled into setup.exe",
    "nsis-zlib": "NSIS 3, zlib, non-solid (/S)",
    "nsis-solid": "NSIS 3, zlib, /SOLID (/S)",
    "nsis-window": "NSIS 3, zlib, its progress page shown (/S turned off)",
    "copy": "xcopy of the uncompressed tree",
    "baseline": "baseline setup.exe -q (BENCH_BASELINE_SETUP)",
}


def read_runs(path):
    runs = []
    with open(path) as handle:
        for line in handle:
            kind, name, round_, values = line.rstrip("\n").split("\t", 3)
            fields = dict(item.split("=", 1) for item in shlex.split(values))
            runs.append({"kind": kind, "name": name, "round": round_, **fields})
    return runs


def values(runs, kind, name, key="total"):
    return [float(r[key]) for r in runs if r["kind"] == kind and r["name"] == name and r["round"] != "warm-up"]


def median(runs, kind, name, key="total"):
    found = values(runs, kind, name, key)
    return statistics.median(found) if found else float("nan")


def tree_summary(path):
    count = total = 0
    for folder, _, files in os.walk(path):
        for name in files:
            count += 1
            total += os.path.getsize(os.path.join(folder, name))
    return count, total


def tool_version(command):
    try:
        return subprocess.run(command, capture_output=True, text=True, check=False).stdout.strip().splitlines()[0]
    except (OSError, IndexError):
        return "unknown"


def mark(ok):
    return "met" if ok else "NOT met"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("runs")
    parser.add_argument("--full", required=True)
    parser.add_argument("--small", required=True)
    parser.add_argument("--empty", required=True)
    parser.add_argument("--payload-dir", required=True)
    parser.add_argument("--load-before", default="")
    parser.add_argument("--load-after", default="")
    parser.add_argument("--command", default="bench/install-bench.sh")
    args = parser.parse_args()
    runs = read_runs(args.runs)
    full, small, empty, work = args.full, args.small, args.empty, args.payload_dir

    files, size = tree_summary(os.path.join(work, full))
    empty_files, _ = tree_summary(os.path.join(work, empty))
    archive = os.path.getsize(os.path.join(work, full + ".vsa"))
    out = []
    out.append("Command: `%s`" % args.command)
    out.append("")
    out.append("Machine: %d cores; load before `%s`, after `%s`. %s; makensis %s." % (
        os.cpu_count(), args.load_before.strip(), args.load_after.strip(),
        tool_version(["/usr/lib/wine/wine64", "--version"]), tool_version(["makensis", "-VERSION"])))
    out.append("")
    out.append("Payload: %d files, %.1f MB; insfiles.vsa %.1f MB; NSIS zlib %.1f MB, NSIS solid %.1f MB." % (
        files, size / 1048576, archive / 1048576,
        os.path.getsize(os.path.join(work, "nsis-zlib-%s.exe" % full)) / 1048576,
        os.path.getsize(os.path.join(work, "nsis-solid-%s.exe" % full)) / 1048576))
    out.append("")

    ours = median(runs, "ours", full)
    out.append("| Run (%s, %d rounds, interleaved) | median s | min s | max s | ours / this |" % (
        full, len(values(runs, "ours", full))))
    out.append("|---|---|---|---|---|")
    for kind in ("ours", "bundle", "baseline", "nsis-zlib", "nsis-solid", "nsis-window", "copy"):
        found = values(runs, kind, full)
        if not found and kind in ("bundle", "baseline", "nsis-window"):
            continue
        m = statistics.median(found)
        out.append("| %s | %.2f | %.2f | %.2f | %.2f |" % (LABELS[kind], m, min(found), max(found), ours / m))
    inflate = float(next(r for r in runs if r["kind"] == "inflate")["inflate"])
    out.append("| zlib inflate of the same deflate stream, in memory (fastest) | %.2f | | | %.2f |" % (
        inflate, ours / inflate))
    out.append("")

    nsis = median(runs, "nsis-zlib", full)
    copy = median(runs, "copy", full)
    limit = max(inflate, copy)
    solid = median(runs, "nsis-solid", full)
    out.append("Targets: ours / NSIS zlib = %.2f (at most %.1f: %s); ours / NSIS solid = %.2f (at most %.1f: %s); "
               "ours / max(inflate, copy) = %.2f (at most %.1f: %s)." % (
                   ours / nsis, TARGET_NSIS, mark(ours / nsis <= TARGET_NSIS),
                   ours / solid, TARGET_NSIS, mark(ours / solid <= TARGET_NSIS),
                   ours / limit, TARGET_LIMIT, mark(ours / limit <= TARGET_LIMIT)))
    peaks = {kind: median(runs, kind, full, "peak_ws_mb") for kind in ("ours", "nsis-zlib", "nsis-solid", "nsis-window")}
    first_page = median(runs, "ours", full, "first_page")
    like_for_like = ""
    if values(runs, "nsis-window", full):
        like_for_like = "; NSIS showing its progress page %.1f MB (ours below it: %s)" % (
            peaks["nsis-window"], "yes" if peaks["ours"] < peaks["nsis-window"] else "no")
    out.append("Peak working set (%s): ours %.1f MB, NSIS zlib %.1f MB, NSIS solid %.1f MB (below both: %s)%s. "
               "First page %.3f s (at most %.1f: %s)." % (
                   full, peaks["ours"], peaks["nsis-zlib"], peaks["nsis-solid"],
                   mark(peaks["ours"] < min(peaks["nsis-zlib"], peaks["nsis-solid"])), like_for_like,
                   first_page, TARGET_FIRST_PAGE, mark(first_page <= TARGET_FIRST_PAGE)))
    if values(runs, "bundle", full):
        bundle = values(runs, "bundle", full)
        folder = values(runs, "ours", full)
        out.append("Bundle / folder set = %.2f (bundle median %.2f s within the folder set's range %.2f-%.2f s: %s)." % (
            statistics.median(bundle) / ours, statistics.median(bundle), min(folder), max(folder),
            mark(statistics.median(bundle) <= max(folder))))
    out.append("")

    out.append("| Per-file cost (%d empty files) | median s | ms per file |" % empty_files)
    out.append("|---|---|---|")
    for kind in ("ours", "nsis-zlib", "copy"):
        m = median(runs, kind, empty)
        out.append("| %s | %.2f | %.3f |" % (LABELS[kind], m, 1000 * m / empty_files))
    extraction = median(runs, "ours", empty, "finish_usable") - median(runs, "ours", empty, "first_page")
    out.append("")
    out.append("setup.exe from the first page to a usable Finish on the empty files: %.2f s, %.3f ms per file." % (
        extraction, 1000 * extraction / empty_files))
    out.append("")

    out.append("| setup.exe | median |")
    out.append("|---|---|")
    out.append("| start to first wizard page, quiet (%s runs) | %.3f s |" % (full, median(runs, "ours", full, "first_page")))
    if values(runs, "bundle", full):
        out.append("| the same from the bundle (every bundled file checked first) | %.3f s |" % median(
            runs, "bundle", full, "first_page"))
    out.append("| start to first wizard page, interactive (Welcome) | %.3f s |" % median(
        runs, "interactive", full, "first_page"))
    out.append("| start to usable Finish, quiet (%s) | %.2f s |" % (full, median(runs, "ours", full, "finish_usable")))
    for name, label in ((small, "payload %s" % small), (full, "payload %s" % full), (empty, "%d empty files" % empty_files)):
        out.append("| peak working set, %s | %.1f MB |" % (label, median(runs, "ours", name, "peak_ws_mb")))
    print("\n".join(out))


if __name__ == "__main__":
    main()
