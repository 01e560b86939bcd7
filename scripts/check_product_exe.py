#!/usr/bin/env python3
"""Checks that an exe is fit to ship: it is a 32-bit x86 program (the x64 builds only serve the tests
on machines without 32-bit support), it names the real driver host (the default of the cache
variable TOVRENKUR_DRIVER_HOST in CMakeLists.txt) and no loopback address, it holds no path of
the folder it was built in, and its PE time stamp is SOURCE_DATE_EPOCH when that is set.
Strings are looked for in both encodings the binary may hold (bytes and UTF-16LE).

Usage: check_product_exe.py EXE    (exit 1 with one line per fault)
"""
import os
import re
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LOOPBACK = ("localhost", "127.0.0.1", "[::1]", "0.0.0.0")


def real_host():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as lists:
        found = re.search(r'set\(TOVRENKUR_DRIVER_HOST\s+"([^"]+)"\s+CACHE', lists.read())
    if not found:
        sys.exit("check_product_exe: no default TOVRENKUR_DRIVER_HOST in CMakeLists.txt")
    return found.group(1)


def holds(data, text):
    lowered = data.lower()
    return any(text.lower().encode(codec) in lowered for codec in ("utf-8", "utf-16-le"))


def faults(exe):
    data = open(exe, "rb").read()
    host = real_host()
    if not holds(data, host):
        yield "it does not name the real driver host %s" % host
    for name in LOOPBACK:
        if holds(data, name):
            yield "it names the loopback address %s" % name
    if holds(data, ROOT):
        yield "it holds the build folder's path %s" % ROOT
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    header = struct.unpack_from("<I", data, 0x3C)[0]
    machine, stamp = struct.unpack_from("<HxxI", data, header + 4)
    if machine != 0x14C:
        yield "it is not a 32-bit x86 program (PE machine 0x%X)" % machine
    if epoch and stamp != int(epoch):
        yield "its PE time stamp is %d, not SOURCE_DATE_EPOCH %s" % (stamp, epoch)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    found = list(faults(sys.argv[1]))
    for fault in found:
        print("%s: %s" % (sys.argv[1], fault), file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
