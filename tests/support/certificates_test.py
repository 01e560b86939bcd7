#!/usr/bin/env python3
"""The test and demo certificates kept in a build folder: a set about to expire is made anew, and
a new set lasts for years. Prints one closing line "N passed, N failed"."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import http_servers  # noqa: E402

YEAR = 365 * 24 * 3600


def valid_for(path, seconds):
    return subprocess.run(["openssl", "x509", "-noout", "-checkend", str(seconds), "-in", path],
                          stdout=subprocess.DEVNULL).returncode == 0


def main():
    results = []
    with tempfile.TemporaryDirectory(prefix="tk-certs-") as folder:
        http_servers.LIFETIME_DAYS = "2"  # what a kept folder of an older build holds
        http_servers.make_certificates(folder)
        old_ca = open(os.path.join(folder, "ca.pem")).read()
        results.append(("a set that ends within a month is stale",
                        not http_servers.certificates_fresh(folder)))
        http_servers.LIFETIME_DAYS = "1825"
        http_servers.ensure_certificates(folder)
        results.append(("a stale set is made anew", open(os.path.join(folder, "ca.pem")).read()
                        != old_ca))
        results.append(("the new set lasts for years", all(
            valid_for(os.path.join(folder, name), 4 * YEAR)
            for name in ("ca.pem", "server.pem", "self.pem"))))
        made = os.path.getmtime(os.path.join(folder, "server.pem"))
        http_servers.ensure_certificates(folder)
        results.append(("a fresh set is kept",
                        os.path.getmtime(os.path.join(folder, "server.pem")) == made))
    failed = [what for what, ok in results if not ok]
    for what in failed:
        print("FAIL:", what)
    print("%d passed, %d failed" % (len(results) - len(failed), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
