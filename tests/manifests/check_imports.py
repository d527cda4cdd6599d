#!/usr/bin/env python3
"""Reads the import and delay-import tables of built Windows programs, the way
the loader does, and checks that they name only DLLs Windows always takes from
its system folder (its known DLLs) and Common Controls, which the manifest
binds to the system's side-by-side assembly. Any other DLL named there would
be looked for first in the program's own folder, before the program's first
instruction could restrict the search.

Usage: check_imports.py PROGRAM...
"""
import struct
import sys

from check_manifests import Image

# Known DLLs of every Windows the programs run on (7 to 11): a DLL listed
# under HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on
# all of them is mapped from the system folder whatever lies beside the program.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll",
    "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll",
    "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}
THROUGH_MANIFEST = {"comctl32.dll"}
IMPORT_DIRECTORY = 1
DELAY_IMPORT_DIRECTORY = 13


def directory(image, index):
    header = struct.unpack_from("<I", image.data, 0x3C)[0]
    optional = header + 24
    magic = struct.unpack_from("<H", image.data, optional)[0]
    entries = optional + (96 if magic == 0x10B else 112)
    return struct.unpack_from("<II", image.data, entries + 8 * index)


def name_at(image, rva):
    start = image.offset(rva)
    return image.data[start:image.data.index(b"\0", start)].decode("ascii").lower()


def imported_dlls(image):
    names = []
    rva, size = directory(image, IMPORT_DIRECTORY)
    for at in range(image.offset(rva), image.offset(rva) + size, 20) if rva else []:
        fields = struct.unpack_from("<IIIII", image.data, at)
        if not any(fields):
            break
        names.append(name_at(image, fields[3]))
    rva, size = directory(image, DELAY_IMPORT_DIRECTORY)
    for at in range(image.offset(rva), image.offset(rva) + size, 32) if rva else []:
        fields = struct.unpack_from("<8I", image.data, at)
        if not any(fields):
            break
        names.append(name_at(image, fields[1]))
    return names


def main(arguments):
    failed = 0
    for path in arguments:
        try:
            names = imported_dlls(Image(path))
        except (OSError, ValueError, struct.error, UnicodeDecodeError) as error:
            print("%s: %s" % (path, error))
            failed += 1
            continue
        others = [name for name in names if name not in KNOWN_DLLS | THROUGH_MANIFEST]
        print("%s imports %s" % (path.rsplit("/", 1)[-1], ", ".join(names)))
        if not names:
            print("%s: no import table found" % path)
        if others:
            print("%s: imports %s, which the loader would look for beside the program first" % (path, ", ".join(others)))
        failed += bool(others) or not names
    print("%d of %d programs import only known DLLs and Common Controls" % (len(arguments) - failed, len(arguments)))
    return 1 if failed or not arguments else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
