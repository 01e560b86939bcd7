#!/usr/bin/env python3
"""A stand-in WebDriver server for tests: answers /status, creates one session and records every
request (and its own PID) as JSON lines in the file named by FAKE_DRIVER_LOG. Ends by itself after
FAKE_DRIVER_SECONDS (default 30)."""
import http.server
import json
import os
import sys
import threading

LOG = os.environ["FAKE_DRIVER_LOG"]


def record(entry):
    with open(LOG, "a", encoding="utf-8") as log:
        log.write(json.dumps(entry) + "\n")


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, value):
        body = json.dumps({"value": value}).encode()
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.answer({"ready": True})

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        payload = json.loads(self.rfile.read(length) or b"{}")
        record({"path": self.path, "body": payload})
        if self.path == "/session":
            self.answer({"sessionId": "oturum-1", "capabilities": {}})
        else:
            self.answer(None)


def main():
    port = int(next(a.split("=", 1)[1] for a in sys.argv[1:] if a.startswith("--port=")))
    record({"pid": os.getpid(), "args": sys.argv[1:]})
    server = http.server.HTTPServer(("127.0.0.1", port), Handler)
    threading.Timer(float(os.environ.get("FAKE_DRIVER_SECONDS", "30")), server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
