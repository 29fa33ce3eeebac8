#!/usr/bin/env python3
"""Checks the resources of a Windows program file (32- or 64-bit) by reading its resource
directory: the version information (fixed part and strings) says the program's version, the
icon is there, and the manifest asks for common controls 6, no elevation and per-monitor DPI
awareness with a fallback for older Windows.

    pe-resources.py EXE [VERSION]      VERSION defaults to 1.4
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        header = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[header:header + 4] != b"PE\0\0":
            raise ValueError(path + ": no PE header")
        sections, optional_size = struct.unpack_from("<H12xH", self.data, header + 6)
        optional = header + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)  # PE32 or PE32+
        self.resource_rva = struct.unpack_from("<I", self.data, directories + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from("<8xIIII", self.data, table + 40 * i)
            self.sections.append((rva, max(size, raw_size), raw))
        if not self.resource_rva:
            raise ValueError(path + ": no resources")
        self.base = self.offset(self.resource_rva)

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("address 0x%x is in no section" % rva)

    def entries(self, directory):
        """(id or name, is_directory, offset of the child) for each entry of a directory."""
        named, numbered = struct.unpack_from("<12xHH", self.data, self.base + directory)
        for i in range(named + numbered):
            key, child = struct.unpack_from("<II", self.data, self.base + directory + 16 + 8 * i)
            if key & 0x80000000:
                at = self.base + (key & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield key, bool(child & 0x80000000), child & 0x7FFFFFFF

    def resources(self, kind):
        """The data of every resource of the type, whatever its name and language."""
        found = []
        for key, is_dir, child in self.entries(0):
            if key != kind or not is_dir:
                continue
            for _, name_is_dir, languages in self.entries(child):
                for _, _, leaf in (self.entries(languages) if name_is_dir else []):
                    rva, size = struct.unpack_from("<II", self.data, self.base + leaf)
                    found.append(self.data[self.offset(rva):self.offset(rva) + size])
        return found


def version_strings(block):
    """The StringFileInfo values of a VS_VERSIONINFO block, walked as its nested records."""
    values = {}

    def walk(at, end):
        while at + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", block, at)
            if length == 0:
                break
            key_end = at + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if kind == 1 and value_length:  # a text value, in characters
                values[key] = block[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
                children = (value_at + 2 * value_length + 3) & ~3
            else:
                children = (value_at + value_length + 3) & ~3
            walk(children, at + length)
            at = (at + length + 3) & ~3

    walk(0, len(block))
    return values


def main():
    path = sys.argv[1]
    expected = sys.argv[2] if len(sys.argv) > 2 else "1.4"
    try:
        pe = PeFile(path)
    except (ValueError, struct.error) as error:
        print("FAIL: %s" % error, file=sys.stderr)
        return 1
    problems = []

    versions = pe.resources(RT_VERSION)
    if len(versions) != 1:
        problems.append("%d version resources, expected 1" % len(versions))
    else:
        block = versions[0]
        fixed = block.find(struct.pack("<I", 0xFEEF04BD))
        if fixed < 0:
            problems.append("no VS_FIXEDFILEINFO")
        else:
            ms, ls = struct.unpack_from("<II", block, fixed + 8)
            have = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            if have != expected + ".0.0":
                problems.append("file version %s, expected %s.0.0" % (have, expected))
        strings = version_strings(block)
        for key, value in (("ProductVersion", expected), ("ProductName", "Framlet"),
                           ("OriginalFilename", "Framlet.exe")):
            if strings.get(key) != value:
                problems.append("version string %s is %r, expected %r" % (key, strings.get(key), value))

    if not pe.resources(RT_GROUP_ICON) or not pe.resources(RT_ICON):
        problems.append("no icon")

    manifests = pe.resources(RT_MANIFEST)
    if len(manifests) != 1:
        problems.append("%d manifests, expected 1" % len(manifests))
    else:
        root = ElementTree.fromstring(manifests[0])
        texts = {}
        common_controls = False
        level = None
        for element in root.iter():
            tag = element.tag.split("}")[-1]
            if tag in ("dpiAware", "dpiAwareness"):
                texts[tag] = (element.text or "").strip()
            if tag == "assemblyIdentity" and element.get("name") == "Microsoft.Windows.Common-Controls":
                common_controls = element.get("version", "").startswith("6.")
            if tag == "requestedExecutionLevel":
                level = element.get("level")
        if not common_controls:
            problems.append("the manifest does not ask for common controls 6")
        if level != "asInvoker":
            problems.append("requested execution level %r, expected 'asInvoker'" % level)
        if texts.get("dpiAwareness") != "PerMonitorV2, PerMonitor":
            problems.append("dpiAwareness %r, expected 'PerMonitorV2, PerMonitor'" % texts.get("dpiAwareness"))
        if texts.get("dpiAware") != "true/pm":
            problems.append("dpiAware %r, expected 'true/pm'" % texts.get("dpiAware"))

    for problem in problems:
        print("FAIL: %s: %s" % (path, problem), file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
