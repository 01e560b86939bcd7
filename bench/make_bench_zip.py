#!/usr/bin/env python3
"""Makes the extraction benchmark's archive: about 100 MB (or MB) holding a few thousand files in
nested folders, text and binary, deflated and stored, as a driver package or an application
folder would. Usage: make_bench_zip.py OUT.zip [MB]"""
import os
import random
import sys
import zipfile

WORDS = ("sürücü tarayıcı kurulum bileşen dosya klasör çalışma rapor yedek veri sürüm "
         "chrome driver install setup component folder report backup data version").split()


def text(rng, size):
    out = []
    length = 0
    while length < size:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14)))
        line += " %d\n" % rng.randint(0, 10**9)
        out.append(line)
        length += len(line.encode())
    return "".join(out).encode()[:size]


def main(path, megabytes=100):
    rng = random.Random(2024)
    total = 0
    with zipfile.ZipFile(path + ".part", "w", zipfile.ZIP_DEFLATED) as z:
        index = 0
        while z.fp.tell() < megabytes * 2**20:
            folder = "paket/%02d/%s" % (index % 40, rng.choice(WORDS))
            size = int(rng.lognormvariate(10.2, 1.3))
            kind = rng.random()
            if kind < 0.15:  # already compressed: stored
                name, method = "%s/resim%05d.png" % (folder, index), zipfile.ZIP_STORED
                data = rng.randbytes(size)
            elif kind < 0.45:  # binary: deflated, compresses little
                data = rng.randbytes(size // 2) + bytes(size - size // 2)
                name, method = "%s/modül%05d.dll" % (folder, index), zipfile.ZIP_DEFLATED
            else:
                name, method = "%s/belge%05d.txt" % (folder, index), zipfile.ZIP_DEFLATED
                data = text(rng, size)
            info = zipfile.ZipInfo(name, (2024, 1, 1, 0, 0, 0))
            info.external_attr = 0o644 << 16
            z.writestr(info, data, compress_type=method)
            total += len(data)
            index += 1
    os.replace(path + ".part", path)
    packed = os.path.getsize(path)
    print("%d files, %.0f MB unpacked, %.0f MB packed" % (index, total / 2**20, packed / 2**20))


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    main(sys.argv[1], *map(int, sys.argv[2:]))
