#!/usr/bin/env python3
"""Writes a deterministic installation payload for the install benchmark.

    make_payload.py OUTDIR [--megabytes N] [--seed S]
    make_payload.py OUTDIR --empty COUNT

The default payload is about 3,000 files and 300 MB in nested folders: three
large files (50 MB each at full size), a few hundred medium files and many
files under 16 KB. About half the bytes are incompressible ("images",
"audio"), the rest text and structured binary data that deflate shrinks to
a third or a half. A smaller --megabytes scales every count and size down.
--empty writes COUNT empty files in folders of 100, for the per-file cost.
"""
import argparse
import os
import random
import shutil
import sys

FULL_MEGABYTES = 300
SMALL_LIMIT = 16 * 1024

WORDS = ("the player room north south lamp take drop door brass key you cannot see any such thing score "
         "inventory examine open close west east up down a an of to in is it that with for on as was "
         "darkness grue treasure chest forest path river bridge troll sword rope parser verb noun object "
         "description message turn moves restart restore save quit verbose brief again wait").split()
TEXT_EXTENSIONS = (".txt", ".inf", ".html", ".vrn", ".h")
BINARY_EXTENSIONS = (".dat", ".idx", ".dll", ".exe", ".bin")
NOISE_EXTENSIONS = (".png", ".jpg", ".ogg", ".blb")


class Corpus:
    """Large blocks of text and binary data, sliced at random offsets so that
    files differ while generation stays fast."""

    def __init__(self, rng):
        self.rng = rng
        self.text = self._text(4 << 20)
        self.binary = self._binary(4 << 20)

    def _text(self, size):
        rng = self.rng
        lines = []
        total = 0
        while total < size:
            line = " ".join(rng.choices(WORDS, k=rng.randint(4, 14))).capitalize() + ".\n"
            lines.append(line)
            total += len(line)
        return "".join(lines).encode("ascii")[:size]

    def _binary(self, size):
        # Fixed-layout records: counters, small values, padding and some noise,
        # like tables in game data files.
        rng = self.rng
        out = bytearray()
        index = 0
        while len(out) < size:
            out += index.to_bytes(4, "little")
            out += rng.randrange(1 << 16).to_bytes(2, "little") + bytes(6)
            out += rng.randbytes(8)
            out += bytes([rng.randrange(8)]) * 16
            index += 1
        return bytes(out[:size])

    def slice(self, block, size):
        data = bytearray()
        while len(data) < size:
            start = self.rng.randrange(len(block) - 1)
            data += block[start:start + min(size - len(data), 256 << 10)]
        return bytes(data)

    def content(self, kind, size):
        if kind == "noise":
            return self.rng.randbytes(size)
        return self.slice(self.text if kind == "text" else self.binary, size)


def folder_names(rng, count):
    """Nested folders, one to four levels deep."""
    tops = ["data", "games", "doc", "lib", "media", "tools", "examples", "extras"]
    folders = []
    for index in range(count):
        depth = rng.choice((1, 2, 2, 3, 3, 4))
        parts = [rng.choice(tops)] + ["%s%02d" % (rng.choice(("set", "part", "lvl", "pkg")), rng.randrange(40))
                                      for _ in range(depth - 1)]
        folders.append(os.path.join(*parts))
    return sorted(set(folders))


def pick_kind(rng):
    roll = rng.random()
    return "noise" if roll < 0.4 else "text" if roll < 0.75 else "binary"


def extension(rng, kind):
    return rng.choice({"noise": NOISE_EXTENSIONS, "text": TEXT_EXTENSIONS, "binary": BINARY_EXTENSIONS}[kind])


def plan(rng, megabytes):
    """(folder index or None, kind, size) for every file."""
    scale = megabytes / FULL_MEGABYTES
    target = megabytes << 20
    large = [("noise", int(50 * scale * (1 << 20))), ("text", int(50 * scale * (1 << 20))),
             ("binary", int(50 * scale * (1 << 20)))]
    small_count = max(1, int(2600 * scale))
    small = []
    for _ in range(small_count):
        # Mostly a few KB, some empty or tiny, all under 16 KB.
        size = min(int(rng.lognormvariate(8.3, 1.0)), SMALL_LIMIT - 1)
        small.append((pick_kind(rng), size))
    used = sum(size for _, size in large + small)
    medium_count = max(1, int(400 * scale))
    remaining = max(0, target - used)
    weights = [rng.uniform(0.2, 1.8) for _ in range(medium_count)]
    total_weight = sum(weights)
    medium = [(pick_kind(rng), max(SMALL_LIMIT, int(remaining * w / total_weight))) for w in weights]
    files = large + medium + small
    rng.shuffle(files)
    return files


def write_payload(out, megabytes, seed):
    rng = random.Random(seed)
    corpus = Corpus(rng)
    folders = folder_names(rng, max(4, int(180 * megabytes / FULL_MEGABYTES)))
    total = 0
    files = plan(rng, megabytes)
    for number, (kind, size) in enumerate(files):
        folder = os.path.join(out, rng.choice(folders))
        os.makedirs(folder, exist_ok=True)
        name = "f%04d%s" % (number, extension(rng, kind))
        with open(os.path.join(folder, name), "wb") as handle:
            handle.write(corpus.content(kind, size))
        total += size
    return len(files), total


def write_empty(out, count):
    for number in range(count):
        folder = os.path.join(out, "d%03d" % (number // 100))
        if number % 100 == 0:
            os.makedirs(folder, exist_ok=True)
        open(os.path.join(folder, "e%05d.txt" % number), "wb").close()
    return count, 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("outdir")
    parser.add_argument("--megabytes", type=int, default=FULL_MEGABYTES)
    parser.add_argument("--seed", type=int, default=20240607)
    parser.add_argument("--empty", type=int, default=0, help="write this many empty files instead")
    args = parser.parse_args()
    if args.megabytes < 1:
        parser.error("--megabytes must be at least 1")
    if os.path.exists(args.outdir):
        shutil.rmtree(args.outdir)
    os.makedirs(args.outdir)
    if args.empty:
        count, total = write_empty(args.outdir, args.empty)
    else:
        count, total = write_payload(args.outdir, args.megabytes, args.seed)
    print("%s: %d files, %.1f MB" % (args.outdir, count, total / 1048576.0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
