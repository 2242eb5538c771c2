#!/usr/bin/env python3
"""Runs help_links_tests.exe with what it needs around it, and checks what it
cannot see from inside:

    help_links_driver.py WINERUN TESTS.exe SITE-DIR ARTEFACTS [gtest args...]

- the online help (SITE-DIR) is served on 127.0.0.1 at a free port, and the
  program writes that address as the vendor site;
- a recording browser (a small shell script) is named in Wine's browser
  setting, so that the shell's "open" of a web address starts it; it appends
  its arguments to a log;
- the program runs with Wine's ieframe trace on: the help viewer's
  navigations must match the "KIVO-EXPECT-NAVIGATION" lines it writes;
- every help page the browser was started on must be served (200);
- the registry keys the tests change (Wine's browser setting, the "http"
  command, the ".htm" association) are put back as they were, even when the
  program fails or crashes.
"""

import functools
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading
import urllib.error
import urllib.request

# What the tests change, exported before and imported back after.
SAVED_KEYS = [
    r"HKCU\Software\Wine\WineBrowser",
    r"HKCR\http\shell\open\command",
    r"HKCR\.htm",
    r"HKCR\KIVOTest.htmfile",
]

RECORDER = """#!/bin/sh
# The recording browser: one line per start, the arguments separated by tabs.
line=""
for arg in "$@"; do line="$line$arg	"; done
printf '%s\\n' "$line" >> '{log}'
printf '%s\\n' "$line" >> '{all}'
"""

NAVIGATION = re.compile(r'navigate_url navigating to L"(.*)"')


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def reg(winerun, *args):
    return subprocess.run([winerun, "reg", *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def save_keys(winerun, folder):
    saved = {}
    for n, key in enumerate(SAVED_KEYS):
        path = os.path.join(folder, "saved%d.reg" % n)
        saved[key] = path if reg(winerun, "export", key, windows_path(path), "/y") == 0 else None
    return saved


def restore_keys(winerun, saved):
    for key, path in saved.items():
        reg(winerun, "delete", key, "/f")
        if path and reg(winerun, "import", windows_path(path)) != 0:
            print("driver: could not put back %s" % key)


def check_navigations(trace):
    """The viewer's navigations between the program's expectation lines."""
    failures = []
    expected = None
    seen = []
    checked = 0

    def settle():
        nonlocal checked
        if expected is None:
            return
        kind, value = expected
        lowered = [s.lower() for s in seen]
        if kind == "page" and value.lower() not in lowered:
            failures.append("expected the viewer to show %s, it navigated to %s" % (value, seen or "nothing"))
        if kind == "none" and seen:
            failures.append("expected no navigation for %s, got %s" % (value, seen))
        checked += 1

    for line in trace.splitlines():
        if line.startswith("KIVO-EXPECT-"):
            settle()
            seen = []
            if line.startswith("KIVO-EXPECT-NAVIGATION "):
                expected = ("page", line.split(" ", 1)[1])
            elif line.startswith("KIVO-EXPECT-NO-NAVIGATION "):
                expected = ("none", line.split(" ", 1)[1])
            else:
                expected = None
            continue
        match = NAVIGATION.search(line)
        if match and expected is not None:
            seen.append(match.group(1).replace("\\\\", "\\"))
    settle()
    return checked, failures


def check_served(site, recorded):
    failures = []
    pages = [u for u in recorded if u.startswith(site + "/kivo/help/") or u.startswith(site + "/lumbra/help/")]
    pages = [u for u in pages if "%20" not in u]  # the test's deliberately odd address
    for url in sorted(set(pages)):
        try:
            with urllib.request.urlopen(url, timeout=10) as answer:
                if answer.status != 200:
                    failures.append("%s answered %d" % (url, answer.status))
        except urllib.error.URLError as error:
            failures.append("%s: %s" % (url, error))
    return len(set(pages)), failures


def main():
    winerun, program, site_dir, artefacts = sys.argv[1:5]
    gtest_args = sys.argv[5:]
    os.makedirs(artefacts, exist_ok=True)
    work = tempfile.mkdtemp(prefix="kivo-links-")
    log = os.path.join(work, "browser.log")
    all_log = os.path.join(work, "browser-all.log")
    recorder = os.path.join(work, "recorder.sh")
    with open(recorder, "w") as out:
        out.write(RECORDER.format(log=log, all=all_log))
    os.chmod(recorder, 0o755)

    handler = functools.partial(QuietHandler, directory=site_dir)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    site = "http://127.0.0.1:%d" % server.server_address[1]

    saved = save_keys(winerun, work)
    failures = []
    try:
        if reg(winerun, "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/d", recorder, "/f") != 0:
            print("driver: could not name the recording browser")
            return 1
        env = dict(os.environ,
                   WINEDEBUG="trace+ieframe",
                   KIVO_TEST_SITE=site,
                   KIVO_TEST_BROWSER_LOG=windows_path(log),
                   KIVO_TEST_RECORDER=recorder,
                   KIVO_ARTEFACTS=windows_path(artefacts))
        trace_path = os.path.join(artefacts, "help-links-trace.txt")
        with open(trace_path, "w", errors="replace") as trace_file:
            status = subprocess.run([winerun, program, *gtest_args], env=env, stderr=trace_file).returncode
        with open(trace_path, errors="replace") as trace_file:
            trace = trace_file.read()

        checked, navigation_failures = check_navigations(trace)
        failures += navigation_failures
        print("driver: %d viewer navigations checked" % checked)
        if "KIVO-EXPECT-END" not in trace and not gtest_args:
            failures.append("the viewer test did not run to its end")

        recorded = []
        if os.path.exists(all_log):
            with open(all_log) as recorded_file:
                recorded = [line.rstrip("\n").rstrip("\t").split("\t")[-1] for line in recorded_file]
        served, served_failures = check_served(site, recorded)
        failures += served_failures
        print("driver: %d help pages the browser was started on, each fetched from the server" % served)
        if status != 0:
            failures.append("help_links_tests.exe ended with %d" % status)
    finally:
        restore_keys(winerun, saved)
        server.shutdown()
        for name in os.listdir(work):
            os.remove(os.path.join(work, name))
        os.rmdir(work)

    for failure in failures:
        print("driver: FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
