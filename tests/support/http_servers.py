#!/usr/bin/env python3
"""Loopback HTTP and HTTPS servers for the download tests and the download benchmark.

run:   makes a test CA, a server certificate it signs and an untrusted self-signed one (openssl),
       serves plain HTTP, HTTPS with the CA's certificate and HTTPS with the self-signed one on free
       127.0.0.1 ports, runs the given command with the ports in its environment (TK_HTTP_PORT,
       TK_SELFSIGNED_PORT, TK_REFUSED_PORT, and TK_HTTPS_PORT when the CA was handed over with
       --ca-file or --ca-der) and returns its exit code.
serve: plain HTTP only, until killed; writes its port to --port-file.

Paths: /bytes/N (N bytes, byte i = i % 251), /zip/N (a stored zip archive whose one entry,
chromedriver.exe, holds those N bytes: 46 bytes before them, 84 after), /status/N, /cut/N/M
(announces N bytes, sends M, then drops the connection), /redirect/N (302 to /zip/N),
/to-http/N (302 to /zip/N on the plain HTTP server), /page (an HTML page, status 200), /endless
(no length announced, bytes until the client gives up), anything else 404.
"""
import argparse
import http.server
import os
import shlex
import shutil
import socket
import socketserver
import ssl
import subprocess
import sys
import tempfile
import struct
import threading
import zlib
from functools import lru_cache

BLOCK = bytes(range(251)) * 4096  # a whole number of periods, so blocks continue the pattern
NAME = b"chromedriver.exe"


@lru_cache(maxsize=8)
def stored_zip(size):
    """The bytes before and after the pattern in a stored zip archive of one entry."""
    crc = 0
    for start in range(0, size, len(BLOCK)):
        crc = zlib.crc32(BLOCK[:min(len(BLOCK), size - start)], crc)
    fields = (0, 0, 0, 0x21, crc, size, size, len(NAME), 0)  # flags, method, time, date (1980)...
    head = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, *fields) + NAME
    central = struct.pack("<IHH" + "HHHHIIIHH" + "HHHII", 0x02014B50, 20, 20, *fields,
                          0, 0, 0, 0, 0) + NAME
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central), len(head) + size, 0)
    return head, central + end


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body_head(self, status, length, extra=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.send_header("Connection", "close")
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.close_connection = True

    def send_pattern(self, size):
        sent = 0
        view = memoryview(BLOCK)
        while sent < size:
            take = min(size - sent, len(BLOCK))
            self.wfile.write(view[:take])
            sent += take

    def do_GET(self):
        parts = self.path.strip("/").split("/")
        try:
            numbers = [int(p) for p in parts[1:]]
        except ValueError:
            numbers = []
        kind = parts[0]
        if kind == "bytes" and len(numbers) == 1:
            self.send_body_head(200, numbers[0])
            self.send_pattern(numbers[0])
        elif kind == "status" and len(numbers) == 1:
            body = b"status page"
            self.send_body_head(numbers[0], len(body))
            self.wfile.write(body)
        elif kind == "cut" and len(numbers) == 2:
            self.send_body_head(200, numbers[0])
            self.send_pattern(numbers[1])
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
        elif kind == "zip" and len(numbers) == 1:
            head, tail = stored_zip(numbers[0])
            self.send_body_head(200, len(head) + numbers[0] + len(tail))
            self.wfile.write(head)
            self.send_pattern(numbers[0])
            self.wfile.write(tail)
        elif kind in ("redirect", "to-http") and len(numbers) == 1:
            base = "http://127.0.0.1:%d" % Handler.http_port if kind == "to-http" else ""
            self.send_body_head(302, 0, [("Location", "%s/zip/%d" % (base, numbers[0]))])
        elif kind == "page":
            body = b"<html><body><form>Otel agina giris</form></body></html>"
            self.send_body_head(200, len(body))
            self.wfile.write(body)
        elif kind == "endless":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            self.send_pattern(300 << 20)  # past any ceiling, yet bounded
        else:
            body = b"not here"
            self.send_body_head(404, len(body))
            self.wfile.write(body)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = False

    def handle_error(self, request, client_address):
        pass  # refused handshakes and dropped clients are what some tests are about


def start(context=None):
    server = Server(("127.0.0.1", 0), Handler)
    if context is not None:
        # The handshake runs in the request's thread, so a client that stalls blocks nobody.
        server.socket = context.wrap_socket(server.socket, server_side=True,
                                            do_handshake_on_connect=False)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]  # nothing listens here once the socket is closed


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# Certificates last for years, and a kept build folder's are made anew once they have less than
# a month left, so a demo or test build still downloads long after its first run. Five years keep
# every date clear of 2038, where a 32-bit time_t ends.
LIFETIME_DAYS = "1825"
RENEW_SECONDS = 30 * 24 * 3600


def make_certificates(folder):
    names = "subjectAltName=DNS:localhost,IP:127.0.0.1"
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", LIFETIME_DAYS, "-keyout",
            "ca.key", "-out", "ca.pem", "-subj", "/CN=TovrenKur Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=folder)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
            "-subj", "/CN=localhost", cwd=folder)
    with open(os.path.join(folder, "server.ext"), "w") as ext:
        ext.write(names + "\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
            "-CAcreateserial", "-days", LIFETIME_DAYS, "-extfile", "server.ext", "-out",
            "server.pem", cwd=folder)
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", LIFETIME_DAYS, "-keyout",
            "self.key", "-out", "self.pem", "-subj", "/CN=localhost", "-addext", names, cwd=folder)


def certificates_fresh(folder):
    """Every certificate is there and stays valid for at least another month."""
    for name in ("ca.pem", "server.pem", "self.pem"):
        path = os.path.join(folder, name)
        if not os.path.exists(path) or subprocess.run(
                ["openssl", "x509", "-noout", "-checkend", str(RENEW_SECONDS), "-in", path],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60).returncode:
            return False
    return True


def ensure_certificates(folder):
    os.makedirs(folder, exist_ok=True)
    if not certificates_fresh(folder):
        make_certificates(folder)


def tls_context(folder, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(folder, name + ".pem"), os.path.join(folder, name + ".key"))
    return context


def run(args):
    # Certificates of the build's test CA are shared with other tests and kept; otherwise a CA of
    # this run's own, removed at the end.
    folder = args.certs or tempfile.mkdtemp(prefix="tk-http-")
    try:
        ensure_certificates(folder)
        if args.ca_file and not os.path.samefile(os.path.dirname(os.path.abspath(args.ca_file)),
                                                 folder):
            os.makedirs(os.path.dirname(os.path.abspath(args.ca_file)), exist_ok=True)
            shutil.copyfile(os.path.join(folder, "ca.pem"), args.ca_file)
        if args.ca_der:
            with open(os.path.join(folder, "ca.pem")) as pem, open(args.ca_der, "wb") as der:
                der.write(ssl.PEM_cert_to_DER_cert(pem.read()))
            if args.trust_command:
                subprocess.run(shlex.split(args.trust_command) + [args.ca_der], check=True,
                               timeout=120, stdin=subprocess.DEVNULL)
        servers = [start(), start(tls_context(folder, "server")), start(tls_context(folder, "self"))]
        Handler.http_port = servers[0].server_address[1]
        env = dict(os.environ)
        for name in ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY",
                     "all_proxy"):
            env.pop(name, None)
        env.update(TK_HTTP_PORT=str(servers[0].server_address[1]),
                   TK_SELFSIGNED_PORT=str(servers[2].server_address[1]),
                   TK_REFUSED_PORT=str(free_port()))
        if args.ca_file or args.ca_der:  # the CA is trusted only where the test build looks
            env["TK_HTTPS_PORT"] = str(servers[1].server_address[1])
        child = subprocess.Popen(args.command, env=env)
        try:
            return child.wait(timeout=args.timeout)
        except subprocess.TimeoutExpired:
            child.kill()  # by its PID: only the process this script started
            child.wait(timeout=30)
            print("timed out after %d s" % args.timeout, file=sys.stderr)
            return 124
    finally:
        if not args.certs:
            shutil.rmtree(folder, ignore_errors=True)


def serve(args):
    server = start()
    with open(args.port_file + ".tmp", "w") as out:
        out.write(str(server.server_address[1]))
    os.replace(args.port_file + ".tmp", args.port_file)
    threading.Event().wait()


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="mode", required=True)
    run_parser = sub.add_parser("run")
    run_parser.add_argument("--certs", help="a folder holding (or to hold) the test CA to use")
    run_parser.add_argument("--ca-file", help="where to copy the test CA (PEM)")
    run_parser.add_argument("--ca-der", help="where to write the test CA (DER)")
    run_parser.add_argument("--trust-command", help="run with the DER file to trust the CA")
    run_parser.add_argument("--timeout", type=int, default=240)
    run_parser.add_argument("command", nargs=argparse.REMAINDER)
    serve_parser = sub.add_parser("serve")
    serve_parser.add_argument("--port-file", required=True)
    args = parser.parse_args()
    if args.mode == "run":
        if args.command[:1] == ["--"]:
            args.command = args.command[1:]
        return run(args)
    return serve(args)


if __name__ == "__main__":
    sys.exit(main())
