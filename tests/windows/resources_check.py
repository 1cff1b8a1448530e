#!/usr/bin/env python3
"""The Windows programs' resources and subsystems, read from the executables
themselves (the PE file's resource tree): varnok.exe is a GUI-subsystem
program and varnok-cli.exe a console one; both carry the program icon as
icon 1 and the check boxes as BOXON and BOXOFF, each image the same bytes as
in the committed .ico files; the manifest asks for Common Controls 6 and
per-monitor DPI awareness and for no ANSI code page; the version information
holds the project's version and names each file.

    resources_check.py VERSION RESOURCE_FOLDER VARNOK_EXE VARNOK_CLI_EXE
"""
import os
import struct
import sys
import xml.etree.ElementTree as ET

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
GUI, CONSOLE = 2, 3


class Pe:
    """The subsystem and the resources (type -> name -> data) of a PE file."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        assert d[pe:pe + 4] == b"PE\0\0", "not a PE file"
        sections, optional_size = struct.unpack_from("<H12xH", d, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", d, optional)[0]
        assert magic == 0x20B, "not a 64-bit program"
        self.subsystem = struct.unpack_from("<H", d, optional + 68)[0]
        rsrc_rva = struct.unpack_from("<I", d, optional + 112 + 2 * 8)[0]
        self.sections = []
        for i in range(sections):
            at = optional + optional_size + 40 * i
            vsize, va, raw_size, raw = struct.unpack_from("<IIII", d, at + 8)
            self.sections.append((va, max(vsize, raw_size), raw))
        self.base = self.offset(rsrc_rva)
        self.resources = {}
        for type_id, type_dir in self.entries(0):
            for name, name_dir in self.entries(type_dir):
                for _lang, data_entry in self.entries(name_dir):
                    rva, size = struct.unpack_from("<II", d, self.base + data_entry)
                    at = self.offset(rva)
                    self.resources.setdefault(type_id, {})[name] = d[at:at + size]

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("address outside every section")

    def entries(self, directory):
        d, at = self.data, self.base + directory
        named, ids = struct.unpack_from("<HH", d, at + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", d, at + 16 + 8 * i)
            if name & 0x80000000:
                where = self.base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", d, where)[0]
                name = d[where + 2:where + 2 + 2 * length].decode("utf-16-le")
            yield name, target & 0x7FFFFFFF


def ico_images(path):
    """The images of an .ico file: {(width, height): bytes}."""
    with open(path, "rb") as f:
        d = f.read()
    count = struct.unpack_from("<H", d, 4)[0]
    images = {}
    for i in range(count):
        w, h, _c, _r, _p, _b, size, at = struct.unpack_from("<BBBBHHII", d, 6 + 16 * i)
        images[(w or 256, h or 256)] = d[at:at + size]
    return images


def group_images(pe, name):
    """The images an icon group of the program names: {(width, height): bytes}."""
    group = pe.resources[RT_GROUP_ICON][name]
    count = struct.unpack_from("<H", group, 4)[0]
    images = {}
    for i in range(count):
        w, h, _c, _r, _p, _b, _size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        images[(w or 256, h or 256)] = pe.resources[RT_ICON][icon_id]
    return images


def version_block(d, at):
    """One block of the version information: (key, value, children), end."""
    length, value_length, kind = struct.unpack_from("<HHH", d, at)
    p = at + 6
    end_key = p
    while d[end_key:end_key + 2] != b"\0\0":
        end_key += 2
    key = d[p:end_key].decode("utf-16-le")
    p = (end_key + 2 + 3) & ~3
    if kind == 1:  # text, its length in characters
        value = d[p:p + 2 * value_length].decode("utf-16-le").rstrip("\0")
        p += 2 * value_length
    else:
        value = d[p:p + value_length]
        p += value_length
    children = []
    p = (p + 3) & ~3
    while p < at + length:
        child, p = version_block(d, p)
        children.append(child)
        p = (p + 3) & ~3
    return (key, value, children), at + length


def version_info(pe):
    """The fixed file version (four numbers) and the string values."""
    (key, fixed, children), _ = version_block(pe.resources[RT_VERSION][1], 0)
    assert key == "VS_VERSION_INFO", key
    signature, _struct, ms, ls = struct.unpack_from("<IIII", fixed, 0)
    assert signature == 0xFEEF04BD
    strings = {}
    for child_key, _v, tables in children:
        if child_key == "StringFileInfo":
            for _table, _tv, values in tables:
                strings.update({k: v for k, v, _ in values})
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), strings


def manifest_facts(pe):
    root = ET.fromstring(pe.resources[RT_MANIFEST][1].decode("utf-8"))
    found = {"common controls": None, "dpiAware": None, "dpiAwareness": None, "activeCodePage": None}
    for element in root.iter():
        tag = element.tag.split("}")[-1]
        if tag == "assemblyIdentity" and element.get("name") == "Microsoft.Windows.Common-Controls":
            found["common controls"] = element.get("version")
        elif tag in found:
            found[tag] = (element.text or "").strip()
    return found


def main():
    version, folder, gui_exe, cli_exe = sys.argv[1:5]
    failures = []

    def check(what, got, expected):
        print(("ok: " if got == expected else "FAILED: ") + what)
        if got != expected:
            print(f"  got {got!r}, expected {expected!r}")
            failures.append(what)

    icons = {name: ico_images(os.path.join(folder, name.lower() + ".ico")) for name in ("VARNOK", "BOXON", "BOXOFF")}
    check("varnok.ico has the five sizes", sorted(icons["VARNOK"]), [(s, s) for s in (16, 24, 32, 48, 256)])
    for name in ("BOXON", "BOXOFF"):
        check(f"{name.lower()}.ico has 16 and 32 pixels", sorted(icons[name]), [(16, 16), (32, 32)])
    check("the ticked and the empty box differ", icons["BOXON"] != icons["BOXOFF"], True)

    numbers = tuple(int(n) for n in version.split(".")) + (0,)
    for path, subsystem, original, description in (
        (gui_exe, GUI, "varnok.exe", "varnok: removes extension instances from TXA files"),
        (cli_exe, CONSOLE, "varnok-cli.exe", "varnok command line"),
    ):
        name = os.path.basename(path)
        pe = Pe(path)
        check(f"{name}: subsystem", pe.subsystem, subsystem)
        check(f"{name}: the program icon is icon 1, the same images", group_images(pe, 1), icons["VARNOK"])
        for box in ("BOXON", "BOXOFF"):
            check(f"{name}: {box} the same images", group_images(pe, box), icons[box])
        check(
            f"{name}: manifest",
            manifest_facts(pe),
            {"common controls": "6.0.0.0", "dpiAware": "true/pm", "dpiAwareness": "PerMonitorV2", "activeCodePage": None},
        )
        fixed, strings = version_info(pe)
        check(f"{name}: fixed file version", fixed, numbers)
        expected = {
            "CompanyName": "The varnok developers",
            "FileDescription": description,
            "FileVersion": version,
            "InternalName": original[:-4],
            "LegalCopyright": "Copyright (C) the varnok developers",
            "OriginalFilename": original,
            "ProductName": "varnok",
            "ProductVersion": version,
        }
        check(f"{name}: version strings", strings, expected)

    print(f"{len(failures)} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
