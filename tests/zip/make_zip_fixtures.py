#!/usr/bin/env python3
"""Makes the zip archives that the zip tests extract, with Python's zipfile and Info-ZIP's zip
(implementations independent of ours), then damages copies of them the way real archives get
damaged, and the way an archive is made to look different to different readers.

  make_zip_fixtures.py --cpp OUT.cpp   a C++ source that embeds every archive (for the test exes)
  make_zip_fixtures.py --dir OUT       every archive as a file (a fuzzing seed corpus)
"""
import io
import os
import struct
import subprocess
import sys
import tempfile
import warnings
import zipfile
import zlib

warnings.filterwarnings("ignore", "Duplicate name")  # one fixture gives a name twice on purpose


def big_text():
    # Mirrors bigText() in the C++ tests: compressible, with Turkish letters, over 1 MB.
    return "".join("Tovren sürücü verisi, satır %06d: çğıöşü İı\n" % i
                   for i in range(20000)).encode("utf-8")


def binary(size, seed=7):
    out = bytearray()
    x = seed
    for _ in range(size):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        out.append(x >> 16 & 0xFF)
    return bytes(out)


def archive(entries, create_system=None, stream=False, extra=lambda name: b""):
    """entries: (name, bytes or None for a folder, compression); extra(name): its extra fields."""
    buffer = io.BytesIO()
    target = buffer
    if stream:  # an unseekable stream: sizes go to data descriptors after each entry
        class Unseekable(io.RawIOBase):
            def writable(self):
                return True

            def write(self, data):
                return buffer.write(data)
        target = Unseekable()
    with zipfile.ZipFile(target, "w") as z:
        for name, data, method in entries:
            info = zipfile.ZipInfo(name, date_time=(2022, 5, 17, 10, 30, 0))
            info.compress_type, info.extra = method, extra(name)
            if create_system is not None:
                info.create_system = create_system
            if data is None:
                info.external_attr = 0o40755 << 16 | 0x10
                z.writestr(info, b"")
            else:
                info.external_attr = 0o644 << 16
                z.writestr(info, data)
    return buffer.getvalue()


def with_raw_names(entries, names, create_system, extra=lambda raw, name: b""):
    """The same archive with names stored as raw bytes and no UTF-8 flag, as tools of other
    systems write them: made with ASCII stand-ins of the same length, then patched."""
    stand_ins = {}
    patched = []
    for index, (name, data, method) in enumerate(entries):
        raw = names(name)
        stand_in = ("~%d~" % index).ljust(len(raw), "x")[:len(raw)]
        if raw.endswith(b"/"):
            stand_in = stand_in[:-1] + "/"
        stand_ins[stand_in.encode()] = raw
        patched.append((stand_in, data, method))
    extras = {stand_in: extra(names(name), name) for (name, _, _), (stand_in, _, _) in
              zip(entries, patched)}
    out = archive(patched, create_system, extra=extras.get)
    for stand_in, raw in stand_ins.items():
        assert out.count(stand_in) == 2, stand_in
        out = out.replace(stand_in, raw)
    return out


def zip64(entries):
    """Python writes zip64 records past its limits: lower them, then make the plain end record
    say that only the zip64 one holds the truth."""
    saved = zipfile.ZIP64_LIMIT, zipfile.ZIP_FILECOUNT_LIMIT
    zipfile.ZIP64_LIMIT, zipfile.ZIP_FILECOUNT_LIMIT = 0, 0
    try:
        out = bytearray(archive(entries))
    finally:
        zipfile.ZIP64_LIMIT, zipfile.ZIP_FILECOUNT_LIMIT = saved
    end = out.rfind(b"PK\x05\x06")
    out[end + 8:end + 20] = struct.pack("<HHII", 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF)
    return bytes(out)


def unicode_path(raw, name):
    """Info-ZIP's Unicode Path field: the UTF-8 name for the stored bytes whose CRC it holds."""
    text = name.encode()
    return struct.pack("<HHBI", 0x7075, 5 + len(text), 1, zlib.crc32(raw)) + text


def info_zip(files, stream=False):
    """files: (name, bytes), zipped by Info-ZIP's zip on this system; written to a pipe, it
    puts each entry's CRC and sizes in a data descriptor after its data."""
    with tempfile.TemporaryDirectory() as folder:
        for name, data in files:
            os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)
        names = [name for name, _ in files]
        out = "-" if stream else os.path.join(folder, "out.zip")
        made = subprocess.run(["zip", "-q", out, *names], cwd=folder, check=True,
                              stdout=subprocess.PIPE, env=dict(os.environ, LC_ALL="C.UTF-8"))
        if stream:
            return made.stdout
        with open(out, "rb") as result:
            return result.read()


def central_headers(data):
    at = data.find(b"PK\x01\x02")
    while at >= 0:
        yield at
        at = data.find(b"PK\x01\x02", at + 4)


def set_flag(data, name, flag):
    """Sets a general-purpose flag of one entry in its local and central headers."""
    out = bytearray(data)
    for at in central_headers(data):
        length = struct.unpack_from("<H", out, at + 28)[0]
        if out[at + 46:at + 46 + length] == name.encode():
            local = struct.unpack_from("<I", out, at + 42)[0]
            for offset in (at + 8, local + 6):
                struct.pack_into("<H", out, offset, struct.unpack_from("<H", out, offset)[0] | flag)
    return bytes(out)


def damage_data(data, name, delta):
    """Changes one byte in the middle of an entry's data."""
    out = bytearray(data)
    with zipfile.ZipFile(io.BytesIO(data)) as z:
        info = z.getinfo(name)
    start = info.header_offset + 30 + len(info.filename.encode()) + len(info.extra)
    out[start + info.compress_size // 2] ^= delta
    return bytes(out)


def patch_central(data, index, offset, fmt, *values):
    """Overwrites fields of the index-th central header (offset from its signature)."""
    out = bytearray(data)
    struct.pack_into(fmt, out, list(central_headers(data))[index] + offset, *values)
    return bytes(out)


def split_archive(data):
    out = bytearray(data)
    end = out.rfind(b"PK\x05\x06")
    struct.pack_into("<HH", out, end + 4, 1, 1)
    return bytes(out)


def damaged(data):
    """Copies of a driver's archive, each with one record that disagrees with another, or with
    what is there: each reader of it could see another archive."""
    out = {}
    central = next(central_headers(data))
    local, name, extra, extra_local = (struct.unpack_from("<I", data, central + 42)[0],
                                       *struct.unpack_from("<HH", data, central + 28),
                                       struct.unpack_from("<H", data, 28)[0])
    end = data.rfind(b"PK\x05\x06")

    def patch(label, *changes):  # (offset, struct format, new value from the old ones)
        copy = bytearray(data)
        for at, fmt, change in changes:
            values = change(*struct.unpack_from(fmt, data, at))
            struct.pack_into(fmt, copy, at, *(values if isinstance(values, tuple) else (values,)))
        out[label] = bytes(copy)
    fields = central + 46 + name
    second = fields + 4 + struct.unpack_from("<H", data, fields + 2)[0]
    patch("yerel_yontem", (local + 8, "<H", lambda m: 8 - m))
    patch("yerel_crc", (local + 14, "<I", lambda v: v ^ 0x10))
    patch("yerel_boyut", (local + 22, "<I", lambda v: v + 1))
    patch("yerel_ad", (local + 30 + name - 3, "3s", lambda v: b"cmd"))
    patch("yerel_bayrak", (local + 6, "<H", lambda v: v | 0x800))
    patch("eksik_sayi", (end + 8, "<HH", lambda a, b: (a - 1, b - 1)))
    patch("yorum_tasan", (end + 20, "<H", lambda v: 5))
    patch("ek_tasan", (fields + 2, "<H", lambda v: extra - 3))
    patch("yerel_ek_tasan", (local + 30 + name + 2, "<H", lambda v: extra_local - 3))
    for label, field in ("zip64_cift", 1), ("unicode_cift", 0x7075):
        patch(label, (fields, "<H", lambda v: field), (second, "<H", lambda v: field))
    if data[local + 6] & 8:  # the descriptor's CRC, after its signature
        size = struct.unpack_from("<I", data, central + 20)[0]
        patch("tanimlayici", (local + 30 + name + extra_local + size + 4, "<I", lambda v: v ^ 1))
    out["arada_bayt"] = data[:end] + b"\0\0\0\0" + data[end:]
    out["arkada_bayt"] = data + b"xyz"
    return out


D, S = zipfile.ZIP_DEFLATED, zipfile.ZIP_STORED
GOOD = ("iyi.txt", b"iyi dosya", D)
TURKISH = [("Şirket Çalışmaları/", None, S),
           ("Şirket Çalışmaları/ğüşıöç İĞÜŞÖÇ.txt", "Türkçe içerik".encode(), D),
           ("Yedek/ıi.txt", b"noktasiz", S)]


def fixtures():
    f = {}
    f["tek"] = archive([("chromedriver.exe", b"MZ" + binary(4096), D)])
    f["ic_ice"] = archive([
        ("lib/", None, S), ("lib/sub/", None, S), ("lib/sub/deep.txt", b"derin", D),
        ("lib/empty/", None, S), ("readme.txt", b"oku beni", S), ("implicit/x.txt", b"x", D),
        ("./nokta.txt", b"nokta", D)])
    f["utf8"] = archive(TURKISH)
    f["cp857"] = with_raw_names(TURKISH, lambda n: n.encode("cp857"), 0)
    f["unix_utf8"] = with_raw_names(TURKISH, lambda n: n.encode("utf-8"), 3)
    f["karisik"] = archive([("büyük.txt", big_text(), D), ("ham.bin", binary(3000), S),
                            ("sıkışık.txt", b"a" * 5000, D), ("boş.txt", b"", D)])
    f["akis"] = archive([("akış/bir.txt", b"bir" * 100, D), ("akış/iki.bin", binary(700), S)],
                        stream=True)
    f["zip64"] = zip64([("z/", None, S), ("z/bir.txt", b"zip64 bir", D), ("iki.txt", b"iki", S)])
    f["ters_bolu"] = archive([("klasör\\alt\\dosya.txt", b"ters bolu", D)])
    f["bos"] = archive([])
    # A few of the names that the reader refuses (its unit tests go through the rest).
    for index, name in enumerate(["../kacak.txt", "/mutlak.txt", "C:/windows.txt",
                                  "ok\\..\\..\\kacak.txt", "\\\\sunucu\\pay\\x.txt",
                                  "nul.txt", "ayrı:akış.txt", "install.cmd ", "a.dll.",
                                  "klasör./x.txt", "COM¹.txt", "lpt³"]):
        f["kotu_ad_%02d" % index] = archive([GOOD, (name, b"kotu", D)])
    # Archives that would replace or overfill what they write: refused before writing.
    f["ayni_ad"] = archive([GOOD, ("Rapor/Bir.txt", b"ilk", D), ("RAPOR/BIR.TXT", b"son", D)])
    f["cift_ad"] = archive([GOOD, ("iki.txt", b"ilk", S), ("iki.txt", b"son", S)])
    f["dosya_klasor"] = archive([GOOD, ("rapor", b"dosya", S), ("Rapor/x.txt", b"x", S)])
    # The second entry's directory record points at the first one's data.
    f["ortak_veri"] = patch_central(archive([GOOD, ("b.txt", b"b" * 4000, D)]), 1, 42, "<I", 0)
    # Sizes announced past the ceiling (1 GiB in all), as a small deflated bomb declares them.
    f["siniri_asan"] = patch_central(archive([GOOD, ("bomba.bin", b"\0" * 1000, D)]), 1, 24,
                                     "<I", 0x40000000)
    f["sifreli"] = set_flag(archive([GOOD, ("gizli.txt", b"gizli", S)]), "gizli.txt", 1)
    f["bolunmus"] = split_archive(archive([GOOD]))
    f["bzip2"] = archive([GOOD, ("bz.txt", b"bz" * 100, zipfile.ZIP_BZIP2)])
    f["crc_bozuk"] = damage_data(archive([("once.txt", b"once", D),
                                          ("bozuk.txt", b"bozulacak veri", S)]), "bozuk.txt", 1)
    f["veri_bozuk"] = damage_data(archive([("once.txt", b"once", D),
                                           ("bozuk.txt", big_text(), D)]), "bozuk.txt", 0x5A)
    # A driver's archive as Python and as Info-ZIP write it, to a file and to a stream; then
    # copies of each with one record damaged.
    driver = [("chromedriver.exe", b"MZ" + binary(300)), ("LICENSE.chromedriver", b"lisans")]
    fields = lambda name: struct.pack("<HHIHHI", 0xCAFE, 4, 1, 0xBEEF, 4, 2)
    for label, data in {"py": archive([(n, d, D) for n, d in driver], extra=fields),
                        "py_akis": archive([(n, d, D) for n, d in driver], stream=True,
                                           extra=fields),
                        "iz": info_zip(driver), "iz_akis": info_zip(driver, stream=True)}.items():
        f["surucu_" + label] = data
        for damage, copy in damaged(data).items():
            f["bozuk_%s_%s" % (damage, label)] = copy
    end = f["zip64"].rfind(b"PK\x05\x06")  # an end record that counts one entry less
    f["bozuk_zip64_uyusmaz"] = (f["zip64"][:end + 8] + struct.pack("<HH", 2, 2) +
                                f["zip64"][end + 12:])
    # The same file twice for Windows, and what a driver's archive may not hold.
    f["kiril"] = archive([("д.exe", b"1", D), ("Д.exe", b"2", D)])
    f["kisa_ad"] = archive([("chromedriver.exe", b"MZ", D), ("CHROME~1.EXE", b"MZ", D)])
    # A name Windows takes (252 letters) that its temporary name beside it would not fit.
    f["uzun_lisans"] = archive([("chromedriver.exe", b"MZ", D), ("LICENSE" + "a" * 245, b"x", D)])
    f["sarili"] = archive([("chromedriver-win32/", None, S),
                           ("chromedriver-win32/chromedriver.exe", b"MZ", D),
                           ("chromedriver-win32/THIRD_PARTY_NOTICES.chromedriver", b"not", D)])
    for label, names in {"betikli": ["chromedriver.exe", "install.cmd"],
                         "kutuphane": ["chromedriver.exe", "LICENSE", "version.dll"],
                         "iki_surucu": ["chromedriver.exe", "x/chromedriver.exe"],
                         "derin": ["a/b/chromedriver.exe"], "surucusuz": ["LICENSE"],
                         # a notice's name with a program's, a script's or a library's extension
                         "lisans_dll": ["chromedriver.exe", "LICENSE.dll"],
                         "not_betik": ["chromedriver.exe", "THIRD_PARTY_NOTICES.cmd"],
                         "lisans_exe": ["chromedriver.exe", "LICENSE.exe"]}.items():
        f["yabanci_" + label] = archive([(name, b"MZ", D) for name in names])
    # A Unicode Path field that names the driver, for bytes that another reader takes for a
    # script; and a real one, as Info-ZIP writes it on Windows.
    f["yabanci_unicode"] = archive([("install.cmd!!!!", b"MZ", D)], extra=lambda name:
                                   unicode_path(b"install.cmd!!!!", "chromedriver.exe"))
    f["unicode_yol"] = with_raw_names(TURKISH, lambda n: n.encode("cp857"), 0, unicode_path)
    f["iz_turkce"] = info_zip([(n, d) for n, d, _ in TURKISH if d is not None])
    whole = f["karisik"]
    f["yarim"] = whole[:len(whole) * 3 // 5]
    f["yarim_son"] = whole[:-10]
    f["zip_degil"] = b"Bu bir zip arsivi degil.\r\n" * 20
    for name, data in f.items():
        check(name, data)
    return f


def check(name, data):
    """The archives meant to be good must be good for zipfile too; the damaged ones are what
    they claim to be."""
    if name.startswith(("kotu_ad", "sifreli", "bolunmus", "crc", "veri", "yarim", "zip_degil",
                        "ortak", "siniri", "bozuk", "yabanci_unicode")):
        return
    with zipfile.ZipFile(io.BytesIO(data)) as z:
        assert z.testzip() is None, name


def write_cpp(path, archives):
    lines = ["// Generated by make_zip_fixtures.py: the zip tests' archives.",
             "#include <map>", "#include <string>", "", "namespace tk::test {", "",
             "const std::map<std::string, std::string>& zipFixtures() {",
             "  static const std::map<std::string, std::string> fixtures{"]
    for name, data in sorted(archives.items()):
        lines.append('      {"%s", std::string(' % name)
        for start in range(0, max(len(data), 1), 40):
            chunk = data[start:start + 40]
            lines.append('          "%s"' % "".join("\\x%02x" % b for b in chunk))
        lines.append("          , %d)}," % len(data))
    lines += ["  };", "  return fixtures;", "}", "", "}  // namespace tk::test", ""]
    with open(path, "w", encoding="utf-8") as out:
        out.write("\n".join(lines))


def write_dir(path, archives):
    import os
    os.makedirs(path, exist_ok=True)
    for name, data in archives.items():
        with open(os.path.join(path, name + ".zip"), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("--cpp", "--dir"):
        sys.exit(__doc__)
    (write_cpp if sys.argv[1] == "--cpp" else write_dir)(sys.argv[2], fixtures())
