#!/usr/bin/env python3
"""Runs update_transfer_tests.exe against a real HTTP server on 127.0.0.1:

    update_transfer_driver.py WINERUN TESTS.exe [gtest args...]

(update_check_tests.exe runs the same way.)

The server serves a fresh temporary folder at a free port; the program gets
the address in KIVO_TEST_SITE and the folder (as a Windows path) in
KIVO_TEST_SITE_DIR, and writes there what it wants served. A POST of a
text to /sign/test or /sign/other answers it signed by tools/update-sign
with the test key the programs are built with, or with another one.
"""

import functools
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import time

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
KEYS = {
    "test": os.path.join(TOOLS, "update-keys", "test-only-private.pem"),
    "other": os.path.join(TOOLS, "update-keys", "test-only-other-private.pem"),
}


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Serves the folder, and appends each requested path to requests.log there."""

    def log_message(self, *args):
        pass

    def do_GET(self):
        with open(os.path.join(self.directory, "requests.log"), "a") as log:
            log.write(self.path + "\n")
        prefix = self.path.split("/")[1] if self.path.count("/") > 1 else ""
        broken = BY_PREFIX.get(prefix) or BROKEN.get(self.path)
        if broken:
            broken(self)
        else:
            super().do_GET()

    def do_POST(self):
        key = KEYS.get(self.path[len("/sign/"):]) if self.path.startswith("/sign/") else None
        if not key:
            self.send_error(404)
            return
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with tempfile.TemporaryDirectory() as work:
            text = os.path.join(work, "updtinfo.txt")
            with open(text, "wb") as file:
                file.write(body)
            subprocess.run([os.path.join(TOOLS, "update-sign"), "sign", key, text], check=True)
            with open(text, "rb") as file:
                signed = file.read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(signed)))
        self.end_headers()
        self.wfile.write(signed)


def server_error(handler):
    handler.send_error(500)


def no_length(handler):
    # HTTP/1.0 without a length: the body ends when the connection does.
    handler.send_response(200)
    handler.send_header("Content-Type", "application/octet-stream")
    handler.end_headers()
    handler.wfile.write(b"K" * 3000)
    handler.close_connection = True


def half_way(handler):
    # A length promised and not kept: the connection closes after part of it.
    handler.send_response(200)
    handler.send_header("Content-Length", "100000")
    handler.end_headers()
    handler.wfile.write(b"K" * 3000)
    handler.wfile.flush()
    handler.close_connection = True


def stalls(handler):
    # The file under /stall/: its length and a first part, then nothing for a minute.
    path = os.path.join(handler.directory, handler.path[len("/stall/"):])
    with open(path, "rb") as file:
        data = file.read()
    handler.send_response(200)
    handler.send_header("Content-Length", str(len(data)))
    handler.end_headers()
    handler.wfile.write(data[:len(data) // 2])
    handler.wfile.flush()
    time.sleep(60)


def hangs(handler):
    # Anything under /hang/: no answer at all for a minute.
    time.sleep(60)


def slowly(handler):
    # The file under /slow/ served at about 80 KB a second, so that a download can be seen running.
    path = os.path.join(handler.directory, handler.path[len("/slow/"):])
    with open(path, "rb") as file:
        data = file.read()
    handler.send_response(200)
    handler.send_header("Content-Length", str(len(data)))
    handler.end_headers()
    for start in range(0, len(data), 4096):
        handler.wfile.write(data[start:start + 4096])
        handler.wfile.flush()
        time.sleep(0.05)


BY_PREFIX = {"slow": slowly, "stall": stalls, "hang": hangs}

# The answers a broken or hostile server gives, by path.
BROKEN = {
    "/broken/500.exe": server_error,
    "/broken/no-length.exe": no_length,
    "/broken/half-way.exe": half_way,
    "/broken/half-way.txt": half_way,
}


def main():
    winerun, tests = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="kivo-site-") as site:
        handler = functools.partial(QuietHandler, directory=site)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        server.daemon_threads = True
        threading.Thread(target=server.serve_forever, daemon=True).start()
        env = dict(os.environ)
        env["KIVO_TEST_SITE"] = "http://127.0.0.1:%d" % server.server_address[1]
        env["KIVO_TEST_SITE_DIR"] = "Z:" + os.path.abspath(site).replace("/", "\\")
        try:
            return subprocess.run([winerun, tests, *sys.argv[3:]], env=env).returncode
        finally:
            server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
