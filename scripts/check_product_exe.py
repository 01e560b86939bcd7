#!/usr/bin/env python3
"""Checks that an exe is fit to ship: it is a 32-bit x86 program (the x64 builds only serve the tests
on machines without 32-bit support), it names the real hosts it downloads from (the defaults of
the cache variables TOVRENKUR_DRIVER_HOST, TOVRENKUR_DRIVER_LISTS_HOST and
TOVRENKUR_DRIVER_DOWNLOAD_HOST in CMakeLists.txt, each as a name of its own) and no loopback
address, it holds no path of the folder it was built in nor the test build's stand-in for a
process without administrator rights, it is under 640 KB, and its PE time stamp is
SOURCE_DATE_EPOCH when that is set. Strings are looked for in both encodings the binary may hold
(bytes and UTF-16LE).

Usage: check_product_exe.py EXE    (exit 1 with one line per fault)
"""
import os
import re
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LOOPBACK = ("localhost", "127.0.0.1", "[::1]", "0.0.0.0")
TEST_HOOK = "TOVRENKUR_TEST_ELEVATION"  # honoured by the test build alone
MOST_BYTES = 640 * 1024


HOSTS = ("TOVRENKUR_DRIVER_HOST", "TOVRENKUR_DRIVER_LISTS_HOST", "TOVRENKUR_DRIVER_DOWNLOAD_HOST")


def real_hosts():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as lists:
        text = lists.read()
    for variable in HOSTS:
        found = re.search(r'set\(%s\s+"([^"]+)"\s+CACHE' % variable, text)
        if not found:
            sys.exit("check_product_exe: no default %s in CMakeLists.txt" % variable)
        yield found.group(1)


def holds(data, text):
    lowered = data.lower()
    return any(text.lower().encode(codec) in lowered for codec in ("utf-8", "utf-16-le"))


def names(data, host):
    """The host as a name of its own, not the tail of a longer one (storage.googleapis.com in
    chromedriver.storage.googleapis.com)."""
    for codec in ("utf-8", "utf-16-le"):
        unit = len("a".encode(codec))
        for found in re.finditer(re.escape(host.lower().encode(codec)), data.lower()):
            before = data[found.start() - unit:found.start()].decode(codec, "replace")
            if not re.match(r"[a-z0-9.-]", before):
                return True
    return False


def faults(exe):
    data = open(exe, "rb").read()
    for host in real_hosts():
        if not names(data, host):
            yield "it does not name the real host %s" % host
    for name in LOOPBACK:
        if holds(data, name):
            yield "it names the loopback address %s" % name
    if holds(data, ROOT):
        yield "it holds the build folder's path %s" % ROOT
    if holds(data, TEST_HOOK):
        yield "it is a test build: it takes %s" % TEST_HOOK
    if len(data) >= MOST_BYTES:
        yield "it is %d bytes, not under %d" % (len(data), MOST_BYTES)
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
