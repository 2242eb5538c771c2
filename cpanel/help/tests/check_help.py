#!/usr/bin/env python3
"""Checks the built help files and the online help folder.

    check_help.py HELP-DIR SITE-DIR

For every help file: each topic that the help opener passes as a context
number resolves through the file's context map (#IVB into #STRINGS) to its
page, and that page is inside the file; the topic-0 page is the default
topic; the three windows the opener names are defined with captions (#WINDOWS); the pages
declare the character set of their language and are valid in it. Under each
online base path the site has every online page of the topics.
"""

import os
import re
import struct
import subprocess
import sys
import tempfile

# Topic -> (window, page). The page is both the map's target in the help
# file and the online page under the base path.
TOPICS = {
    0: ("FullScreen", "index.html"),
    1: ("FullScreen", "intro.htm"),
    2: ("FullScreen", "userguide/0_contents.htm"),
    3: ("FullScreen", "download.htm"),
    7: ("FullWindowSingleTopic", "support.htm"),
    8: ("ReleaseNote", "rel_note.htm"),
    22: ("FullScreen", "index.html"),
    23: ("FullScreen", "userguide/43_tte.htm"),
    200: ("FullScreen", "userguide/1_introduction.htm"),
    201: ("FullScreen", "userguide/2_sysreq.htm"),
    # The details button of the code-transfer message box.
    26: ("FullScreen", "userguide/3_codetransfer.htm"),
}

# Help file -> (online base path, declared charset, codec of the pages).
FILES = {
    "kivo.chm": ("kivo/help/english", "iso-8859-1", "ascii"),
    "kivop.chm": ("kivo/help/gb2312", "gb2312", "gbk"),
    "kivoc.chm": ("kivo/help/big5", "big5", "big5"),
    "kivoprc.chm": ("lumbra/help/kivo/gb2312", "gb2312", "gbk"),
}

failures = []


def fail(msg):
    failures.append(msg)
    print("FAILED " + msg)


def cstring(blob, offset):
    end = blob.index(b"\0", offset)
    return blob[offset:end].decode("latin-1")


def system_entries(system):
    """#SYSTEM: a version, then records of (code, length, data)."""
    entries = {}
    pos = 4
    while pos + 4 <= len(system):
        code, length = struct.unpack_from("<HH", system, pos)
        entries[code] = system[pos + 4:pos + 4 + length]
        pos += 4 + length
    return entries


def check_file(help_dir, name, charset, codec):
    path = os.path.join(help_dir, name)
    if not os.path.exists(path):
        fail("%s was not built" % name)
        return
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["extract_chmLib", path, tmp], check=True, stdout=subprocess.DEVNULL)

        def internal(n):
            with open(os.path.join(tmp, n), "rb") as f:
                return f.read()

        strings = internal("#STRINGS")
        ivb = internal("#IVB")
        (length,) = struct.unpack_from("<I", ivb, 0)
        context_map = {}
        for pos in range(4, 4 + length, 8):
            context, offset = struct.unpack_from("<II", ivb, pos)
            context_map[context] = cstring(strings, offset)

        default_topic = system_entries(internal("#SYSTEM")).get(2, b"").rstrip(b"\0").decode("latin-1")
        windows = internal("#WINDOWS")
        count, size = struct.unpack_from("<II", windows, 0)
        # Each definition: its name at offset 8, its caption at 0x14 (#STRINGS offsets).
        captions = {}
        for i in range(count):
            name_at, caption_at = struct.unpack_from("<I8xI", windows, 8 + i * size + 8)
            captions[cstring(strings, name_at)] = cstring(strings, caption_at)
        window_names = {n for n, c in captions.items() if c}

        for topic, (window, page) in sorted(TOPICS.items()):
            target = default_topic if topic == 0 else context_map.get(topic)
            label = "%s topic %d" % (name, topic)
            if target != page:
                fail("%s: maps to %r, expected %r" % (label, target, page))
            elif not os.path.isfile(os.path.join(tmp, page)):
                fail("%s: page %s is not in the file" % (label, page))
            if window not in window_names:
                fail("%s: window %s is not defined with a caption (%s)" % (label, window, captions))

        for root, _dirs, files in os.walk(tmp):
            for f in files:
                if not f.endswith((".htm", ".html")):
                    continue
                raw = open(os.path.join(root, f), "rb").read()
                page = os.path.relpath(os.path.join(root, f), tmp)
                declared = re.search(rb"charset=([\w-]+)", raw)
                if not declared or declared.group(1).decode().lower() != charset:
                    fail("%s: %s does not declare charset %s" % (name, page, charset))
                try:
                    raw.decode(codec)
                except UnicodeDecodeError as e:
                    fail("%s: %s is not valid %s: %s" % (name, page, codec, e))


def main():
    help_dir, site_dir = sys.argv[1], sys.argv[2]
    for name, (base, charset, codec) in FILES.items():
        check_file(help_dir, name, charset, codec)
        for topic, (_window, page) in sorted(TOPICS.items()):
            if not os.path.isfile(os.path.join(site_dir, base, page)):
                fail("site: /%s/%s (topic %d) is missing" % (base, page, topic))
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
