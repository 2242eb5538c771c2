#!/usr/bin/env python3
"""Runs update_transfer_tests.exe against a real HTTP server on 127.0.0.1:

    update_transfer_driver.py WINERUN TESTS.exe [gtest args...]

(update_check_tests.exe runs the same way.)

The server serves a fresh temporary folder at a free port; the program gets
the address in KIVO_TEST_SITE and the folder (as a Windows path) in
KIVO_TEST_SITE_DIR, and writes there what it wants served.
"""

import functools
import http.server
import os
import subprocess
import sys
import tempfile
import threading


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Serves the folder, and appends each requested path to requests.log there."""

    def log_message(self, *args):
        pass

    def do_GET(self):
        with open(os.path.join(self.directory, "requests.log"), "a") as log:
            log.write(self.path + "\n")
        super().do_GET()


def main():
    winerun, tests = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="kivo-site-") as site:
        handler = functools.partial(QuietHandler, directory=site)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
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
