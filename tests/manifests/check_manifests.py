#!/usr/bin/env python3
"""Reads the manifest resource (type 24, id 1) of built Windows programs, the
way the Windows loader finds it, and checks it against the program itself:
the assembly and its Common Controls 6 dependency name the architecture the
program is linked into (or "*"), and the program asks for the expected
execution level.

Usage: check_manifests.py PROGRAM=LEVEL...
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

MACHINES = {0x14C: "x86", 0x8664: "amd64"}
RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
WINDOWS_SETTINGS_2019 = "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}"


class Image:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        header = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[:2] != b"MZ" or self.data[header:header + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        self.machine, sections, _, _, _, optional_size = struct.unpack_from("<HHIIIH", self.data, header + 4)
        optional = header + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.resources = struct.unpack_from("<I", self.data, directories + 2 * 8)[0]
        self.sections = []
        for i in range(sections):
            size, address, _, raw = struct.unpack_from("<IIII", self.data, optional + optional_size + 40 * i + 8)
            self.sections.append((address, size, raw))

    def offset(self, rva):
        for address, size, raw in self.sections:
            if address <= rva < address + size:
                return rva - address + raw
        raise ValueError("RVA %#x is in no section" % rva)

    def entries(self, directory):
        """(id or None for a named entry, is a subdirectory, offset in the resource section)"""
        base = self.offset(self.resources)
        named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
            yield (None if name & 0x80000000 else name), bool(target & 0x80000000), target & 0x7FFFFFFF

    def resource(self, type_id, name_id):
        if not self.resources:
            return None
        for type_entry, _, names in self.entries(0):
            if type_entry != type_id:
                continue
            for name_entry, _, languages in self.entries(names):
                if name_entry != name_id:
                    continue
                for _, _, leaf in self.entries(languages):
                    rva, size = struct.unpack_from("<II", self.data, self.offset(self.resources) + leaf)
                    return self.data[self.offset(rva):self.offset(rva) + size]
        return None


def check(path, level):
    image = Image(path)
    arch = MACHINES.get(image.machine)
    if arch is None:
        return ["unknown machine %#x" % image.machine]
    text = image.resource(RT_MANIFEST, 1)
    if text is None:
        return ["no manifest resource 1"]
    root = ElementTree.fromstring(text)
    problems = []
    identity = root.find(ASM_V1 + "assemblyIdentity")
    if identity is None or identity.get("processorArchitecture") not in (arch, "*"):
        problems.append("assembly architecture %s in a program for %s"
                        % (None if identity is None else identity.get("processorArchitecture"), arch))
    controls = [a for a in root.iter(ASM_V1 + "assemblyIdentity") if a.get("name") == "Microsoft.Windows.Common-Controls"]
    if len(controls) != 1:
        problems.append("%d Common Controls dependencies" % len(controls))
    for dependency in controls:
        if dependency.get("processorArchitecture") not in (arch, "*"):
            problems.append("Common Controls for %s in a program for %s" % (dependency.get("processorArchitecture"), arch))
    levels = [e.get("level") for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != [level]:
        problems.append("execution level %s, expected %s" % (levels, level))
    # The elevated programs, setup.exe and VARNUINS.EXE, run in UTF-8 where Windows can.
    pages = [e.text for e in root.iter(WINDOWS_SETTINGS_2019 + "activeCodePage")]
    expected_pages = ["UTF-8"] if level == "requireAdministrator" else []
    if pages != expected_pages:
        problems.append("active code page %s, expected %s" % (pages, expected_pages))
    print("%s: %s, manifest %s, Common Controls %s, %s" % (
        path.rsplit("/", 1)[-1], arch, None if identity is None else identity.get("processorArchitecture"),
        ",".join(str(c.get("processorArchitecture")) for c in controls), ",".join(map(str, levels))))
    return problems


def main(arguments):
    failed = 0
    for argument in arguments:
        path, level = argument.rsplit("=", 1)
        try:
            problems = check(path, level)
        except (OSError, ValueError, struct.error, ElementTree.ParseError) as error:
            problems = [str(error)]
        for problem in problems:
            print("%s: %s" % (path, problem))
        failed += bool(problems)
    print("%d of %d programs have a manifest that matches them" % (len(arguments) - failed, len(arguments)))
    return 1 if failed or not arguments else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
