#!/usr/bin/env python3
"""A loopback HTTPS mirror of the driver download server, for the demo sandbox and the acceptance
tests: serves the files of --root by their paths on 127.0.0.1:--port with a certificate signed by
a test CA (made with openssl into --certs unless a fresh one is there already), and appends one
line per request ("GET /path status") to --log. Writes its PID to --pid-file once it listens;
ends when killed or after --seconds. With --rate it sends each body at that many bytes a second,
as a slow line would. "<path>.cut" halves the body of <path>, "<path>.drop" closes its connection
unanswered ("GET /path -" in the log).

    driver_mirror.py certs --certs DIR            make the CA (ca.pem, ca.der) and server cert
    driver_mirror.py serve --port N --root DIR --certs DIR [--log F] [--pid-file F] [--seconds S]
                     [--rate BYTES]
    driver_mirror.py archive --out ZIP [--padding BYTES] NAME=TEXT...   a real zip archive with
                     the given entries (and "THIRD_PARTY_NOTICES.txt" of random bytes, which
                     do not compress: what a driver archive may hold besides the driver)

publish_lists() writes the driver lists that Google publishes, and the archives they name.
"""
import argparse
from argparse import Namespace
import http.server
import json
import os
import socketserver
import ssl
import sys
import threading
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import http_servers  # noqa: E402  (the test CA and certificates)


def make_certs(folder):
    http_servers.ensure_certificates(folder)
    with open(os.path.join(folder, "ca.pem")) as pem, open(os.path.join(folder, "ca.der"), "wb") as der:
        der.write(ssl.PEM_cert_to_DER_cert(pem.read()))


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def handler(root, log, rate):
    class Handler(http.server.BaseHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def do_GET(self):
            path = os.path.normpath(os.path.join(root, self.path.split("?")[0].lstrip("/")))
            found = path.startswith(os.path.abspath(root) + os.sep) and os.path.isfile(path)
            drop = found and os.path.isfile(path + ".drop")
            status = 200 if found else 404
            if log:
                with open(log, "a", encoding="utf-8") as out:
                    out.write("GET %s %s\n" % (self.path, "-" if drop else status))
            if drop:
                self.close_connection = True
                return
            body = open(path, "rb").read() if found else b"bulunamadi"
            body = body[:len(body) // 2] if os.path.isfile(path + ".cut") else body
            self.send_response(status)
            self.send_header("Content-Type", "application/zip" if found else "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            step = rate // 10 or len(body) or 1
            for at in range(0, len(body), step):
                self.wfile.write(body[at:at + step])
                time.sleep(0.1 if rate else 0)

    return Handler


def serve(args):
    make_certs(args.certs)
    server = Server(("127.0.0.1", args.port),
                    handler(os.path.abspath(args.root), args.log, args.rate))
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(args.certs, "server.pem"),
                            os.path.join(args.certs, "server.key"))
    server.socket = context.wrap_socket(server.socket, server_side=True)
    if args.pid_file:
        with open(args.pid_file + ".tmp", "w") as out:
            out.write(str(os.getpid()))
        os.replace(args.pid_file + ".tmp", args.pid_file)
    threading.Timer(args.seconds, server.shutdown).start()
    server.serve_forever()


def archive(args):
    with zipfile.ZipFile(args.out, "w", zipfile.ZIP_DEFLATED) as out:
        for entry in args.entries:
            name, _, text = entry.partition("=")
            out.writestr(name, text)
        if args.padding:
            out.writestr("THIRD_PARTY_NOTICES.txt", os.urandom(args.padding))


BUILDS_LIST = "chrome-for-testing/latest-patch-versions-per-build-with-downloads.json"
MILESTONES_LIST = "chrome-for-testing/latest-versions-per-milestone-with-downloads.json"


def publish_lists(root, host, entries):
    """The lists in Google's shape, and the archives they name: `entries` maps a build, milestone
    or LATEST_RELEASE suffix to its release, or to (release, host) for a driver on another host."""
    lists = {"builds": {}, "milestones": {}}
    for key, release in entries.items():
        release, driver_host = release if isinstance(release, tuple) else (release, host)
        driver = "sürücü %s\r\n" % release
        if int(key.split(".")[0]) < 115:
            open(os.path.join(root, "LATEST_RELEASE_" + key), "w").write(release)
            os.makedirs(os.path.join(root, release), exist_ok=True)
            archive(Namespace(out=os.path.join(root, release, "chromedriver_win32.zip"),
                              entries=["chromedriver.exe=" + driver], padding=0))
            continue
        path = "/chrome-for-testing-public/%s/%%s/%%s-%%s.zip" % release
        downloads = {binary: [{"platform": platform, "url": "https://%s%s" % (
            driver_host if (binary, platform) == ("chromedriver", "win32") else host,
            path % (platform, binary, platform))}
            for platform in ("linux64", "mac-arm64", "mac-x64", "win32", "win64")]
            for binary in ("chrome", "chromedriver", "chrome-headless-shell")}
        entry = {"version": release, "revision": release.split(".")[2], "downloads": downloads}
        group = "builds" if "." in key else "milestones"
        lists[group][key] = entry if "." in key else dict(milestone=key, **entry)
        out = os.path.join(root, *(path % ("win32", "chromedriver", "win32")).split("/"))
        os.makedirs(os.path.dirname(out), exist_ok=True)
        archive(Namespace(out=out, padding=0, entries=["chromedriver-win32/chromedriver.exe=" + driver,
                                                       "chromedriver-win32/LICENSE.chromedriver=l"]))
    os.makedirs(os.path.join(root, "chrome-for-testing"), exist_ok=True)
    for name, group in ((BUILDS_LIST, "builds"), (MILESTONES_LIST, "milestones")):
        json.dump({"timestamp": "2024-12-04T08:09:52.035Z", group: lists[group]},
                  open(os.path.join(root, *name.split("/")), "w"), indent="\t")



def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="mode", required=True)
    certs = sub.add_parser("certs")
    certs.add_argument("--certs", required=True)
    serve_parser = sub.add_parser("serve")
    serve_parser.add_argument("--port", type=int, required=True)
    serve_parser.add_argument("--root", required=True)
    serve_parser.add_argument("--certs", required=True)
    serve_parser.add_argument("--log")
    serve_parser.add_argument("--pid-file")
    serve_parser.add_argument("--seconds", type=float, default=3600)
    serve_parser.add_argument("--rate", type=int, default=0)
    zip_parser = sub.add_parser("archive")
    zip_parser.add_argument("--out", required=True)
    zip_parser.add_argument("--padding", type=int, default=0)
    zip_parser.add_argument("entries", nargs="+")
    args = parser.parse_args()
    if args.mode == "certs":
        make_certs(args.certs)
    elif args.mode == "serve":
        serve(args)
    else:
        archive(args)


if __name__ == "__main__":
    main()
