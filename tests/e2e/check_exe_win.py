#!/usr/bin/env python3
"""The built TovrenKur.exe's identity and imports, read from the file itself: a GUI program of the
build's architecture (the product is 32-bit; the x64 build serves the tests where 32-bit programs
cannot run) importing only what the way to its window needs (DLLs that Windows always loads from its
own folder; COM, the shell and the network are loaded when the Continue action needs them), its
version resource, its application manifest and its icon group.

Usage: check_exe_win.py TovrenKur.exe OBJDUMP i686|x86_64
"""
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

START_UP_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll"}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def resources(pe):
    """{(type, id): bytes} from the .rsrc directory tree (ids only, first language)."""
    header = struct.unpack_from("<I", pe, 0x3C)[0]
    sections, optional_size, magic = struct.unpack_from("<H12xHxxH", pe, header + 6)
    directories = 96 if magic == 0x10B else 112  # PE32+ has wider fields before them
    rsrc_rva = struct.unpack_from("<I", pe, header + 24 + directories + 2 * 8)[0]
    table = header + 24 + optional_size
    spans = [struct.unpack_from("<8xII4xI", pe, table + 40 * k) for k in range(sections)]

    def offset(rva):
        for size, address, raw in spans:
            if address <= rva < address + size:
                return rva - address + raw
        raise ValueError("RVA outside every section")
    base = offset(rsrc_rva)

    def entries(at):
        named, ids = struct.unpack_from("<12xHH", pe, base + at)
        for k in range(named + ids):
            name, target = struct.unpack_from("<II", pe, base + at + 16 + 8 * k)
            yield name, target

    found = {}
    for type_id, types in entries(0):
        for res_id, langs in entries(types & 0x7FFFFFFF):
            _, leaf = next(entries(langs & 0x7FFFFFFF))
            rva, size = struct.unpack_from("<II", pe, base + leaf)
            found[(type_id, res_id)] = pe[offset(rva):offset(rva) + size]
    return found


def version_strings(data):
    """The fixed file version and the StringFileInfo values of a VS_VERSIONINFO block."""
    def walk(at, end, out):
        while at < end:
            length, value_length, text = struct.unpack_from("<HHH", data, at)
            key_end = data.index(b"\0\0", at + 6)
            key_end += (key_end - at) % 2  # UTF-16 alignment
            key = data[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if key == "VS_VERSION_INFO":
                ms, ls = struct.unpack_from("<8xII", data, value_at)
                out["fixed"] = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
                walk((value_at + value_length + 3) & ~3, at + length, out)
            elif key in ("StringFileInfo",) or re.fullmatch("[0-9A-Fa-f]{8}", key):
                walk(value_at, at + length, out)
            elif text == 1 and value_length:
                out[key] = data[value_at:value_at + 2 * value_length].decode(
                    "utf-16-le").rstrip("\0")
            at = (at + length + 3) & ~3
        return out
    return walk(0, len(data), {})


def check_imports(exe, objdump, arch):
    listing = subprocess.run([objdump, "-p", exe], capture_output=True, text=True,
                             check=True).stdout
    magic = {"i686": "010b", "x86_64": "020b"}[arch]
    check("Magic\t\t\t" + magic in listing, "an image for %s (magic %s)" % (arch, magic))
    check(re.search(r"Subsystem\s+00000002", listing) is not None, "a GUI program (no console)")
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", listing)}
    check(dlls and dlls <= START_UP_DLLS,
          "imports only what start-up needs, not %s" % sorted(dlls - START_UP_DLLS))


def check_manifest(xml):
    ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
          "c": "urn:schemas-microsoft-com:compatibility.v1",
          "w5": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
          "w16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
    root = ET.fromstring(xml)
    level = root.find(".//v3:requestedExecutionLevel", ns)
    check(level is not None and level.get("level") == "asInvoker", "runs asInvoker")
    controls = [a for a in root.findall(".//v1:dependentAssembly/v1:assemblyIdentity", ns)
                if a.get("name") == "Microsoft.Windows.Common-Controls"]
    check(controls and controls[0].get("version") == "6.0.0.0", "Common Controls 6")
    awareness = root.find(".//w16:dpiAwareness", ns)
    check(awareness is not None and [s.strip() for s in awareness.text.split(",")] ==
          ["PerMonitorV2", "PerMonitor"], "per-monitor DPI awareness, v2 first")
    aware = root.find(".//w5:dpiAware", ns)
    check(aware is not None and aware.text.strip() == "true/pm", "dpiAware true/pm")
    ids = {os.get("Id").lower() for os in root.findall(".//c:supportedOS", ns)}
    check(ids == SUPPORTED_OS, "supportedOS Windows 7 to 11")


def check_icons(found):
    group = found.get((RT_GROUP_ICON, 1))
    if not check(group is not None, "icon group 1"):
        return
    count = struct.unpack_from("<4xH", group)[0]
    check(count == 6, "six icon images, not %d" % count)
    for k in range(count):
        w, h, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * k)
        image = found.get((RT_ICON, icon_id), b"")
        check((w, h, bits) == (48, 48, 32), "image %d is 48x48 in 32-bit colour" % k)
        bitmap = len(image) > 40 and struct.unpack_from("<IiiHH", image)[1:] == (48, 96, 1, 32)
        check(bitmap, "image %d holds a 48x48 32-bit bitmap" % k)
        alpha = set(image[40 + 3:40 + 48 * 48 * 4:4])
        check(len(alpha) > 2, "image %d has a real alpha channel" % k)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    exe, objdump, arch = sys.argv[1:]
    check_imports(exe, objdump, arch)
    found = resources(open(exe, "rb").read())
    info = version_strings(found.get((RT_VERSION, 1), b""))
    check(info.get("fixed") == (1, 0, 0, 9), "file version 1.0.0.9: %s" % (info.get("fixed"),))
    for key, value in (("FileVersion", "1.00.0009"), ("ProductVersion", "1.00.0009"),
                       ("OriginalFilename", "TovrenKur.exe"),
                       ("FileDescription", "Tovren e-Belge Yükleme Asistanı Kurulumu")):
        check(info.get(key) == value, "%s is %r, expected %r" % (key, info.get(key), value))
    manifest = found.get((RT_MANIFEST, 1))
    if check(manifest is not None, "manifest resource 1"):
        check_manifest(manifest)
    check_icons(found)
    print("%d failure(s)" % len(failures) if failures else "exe checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
