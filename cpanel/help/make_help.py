#!/usr/bin/env python3
"""Compiles one language's help pages into a .chm file and lays the same pages
out as a folder of the online help.

    make_help.py --source DIR --common DIR --project NAME.hhp --stage DIR
                 --output FILE.chm --site DIR [--site DIR...]

The language folder (pages, .hhp, .hhc, .hhk) and the shared files (style
sheet, alias and context tables that the .hhp includes) are copied into the
stage folder, and chmcmd compiles the project there.

chmcmd stores every context-map target as the project's absolute folder
followed by the page ("/.../stage/english/rel_note.htm"), a name that no help
viewer finds inside the file. The map (#IVB: a length, then pairs of context
number and offset into #STRINGS) is therefore rewritten with each offset moved
past that folder, so that it names the page relative to the file's root, as
the viewer expects. The new map is appended to the file's uncompressed
section and its directory entry is pointed there; #STRINGS stays as it is.
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile


def read_encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def encint(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


class Chm:
    """The parts of an ITSF (version 3) file that the map rewrite touches."""

    def __init__(self, data):
        if data[:4] != b"ITSF" or struct.unpack_from("<I", data, 4)[0] != 3:
            raise ValueError("not an ITSF version 3 file")
        self.data = bytearray(data)
        self.sect0_off = struct.unpack_from("<Q", data, 0x38)[0]
        self.dir_off = struct.unpack_from("<Q", data, 0x48)[0]
        self.content_off = struct.unpack_from("<Q", data, 0x58)[0]
        itsp = self.dir_off
        if data[itsp:itsp + 4] != b"ITSP":
            raise ValueError("no directory header")
        hdr_len = struct.unpack_from("<I", data, itsp + 8)[0]
        self.chunk_size, self.density, depth = struct.unpack_from("<IiI", data, itsp + 0x10)
        chunks = struct.unpack_from("<I", data, itsp + 0x2C)[0]
        if depth != 1 or chunks != 1:
            raise ValueError("the directory has %d chunks; one was expected" % chunks)
        self.chunk_off = itsp + hdr_len
        self.entries = self._parse_chunk()

    def _parse_chunk(self):
        c = self.chunk_off
        d = self.data
        if d[c:c + 4] != b"PMGL":
            raise ValueError("no listing chunk")
        count = struct.unpack_from("<H", d, c + self.chunk_size - 2)[0]
        pos = c + 0x14
        entries = []
        for _ in range(count):
            n, pos = read_encint(d, pos)
            name = bytes(d[pos:pos + n]).decode("utf-8")
            pos += n
            section, pos = read_encint(d, pos)
            offset, pos = read_encint(d, pos)
            length, pos = read_encint(d, pos)
            entries.append([name, section, offset, length])
        return entries

    def _quickref_step(self):
        return 1 + (1 << self.density)

    def _write_chunk(self):
        body = bytearray()
        marks = []
        step = self._quickref_step()
        for i, (name, section, offset, length) in enumerate(self.entries):
            # The compiler marks the last entry of every group of `step`;
            # the mark is kept where it puts it.
            if i % step == step - 1:
                marks.append(len(body))
            raw = name.encode("utf-8")
            body += encint(len(raw)) + raw + encint(section) + encint(offset) + encint(length)
        tail = bytearray()
        for mark in reversed(marks):
            tail += struct.pack("<H", mark)
        tail += struct.pack("<H", len(self.entries))
        free = self.chunk_size - 0x14 - len(body)
        if free < len(tail):
            raise ValueError("the directory chunk is full")
        c = self.chunk_off
        chunk = bytearray(self.data[c:c + 0x14])
        struct.pack_into("<I", chunk, 4, free)
        chunk += body + bytes(free - len(tail)) + tail
        self.data[c:c + self.chunk_size] = chunk

    def entry(self, name):
        for e in self.entries:
            if e[0] == name:
                return e
        raise KeyError(name)

    def replace_uncompressed(self, name, content):
        """Points NAME's directory entry at CONTENT appended to section 0."""
        e = self.entry(name)
        e[1] = 0
        e[2] = len(self.data) - self.content_off
        e[3] = len(content)
        self.data += content
        self._write_chunk()
        struct.pack_into("<Q", self.data, self.sect0_off + 8, len(self.data))


def extract(chm_path, names):
    """The contents of internal files, read with libchm's extractor."""
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["extract_chmLib", chm_path, tmp], check=True,
                       stdout=subprocess.DEVNULL)
        out = {}
        for n in names:
            with open(os.path.join(tmp, n.lstrip("/")), "rb") as f:
                out[n] = f.read()
        return out


def relative_map(ivb, strings, folder):
    """#IVB with each target moved from FOLDER/page to page."""
    prefix = folder.encode("utf-8")
    (length,) = struct.unpack_from("<I", ivb, 0)
    out = bytearray(ivb[:4])
    for pos in range(4, 4 + length, 8):
        context, offset = struct.unpack_from("<II", ivb, pos)
        end = strings.index(b"\0", offset)
        target = strings[offset:end]
        if target.startswith(prefix):
            offset += len(prefix)
        elif target.startswith(b"/"):
            raise ValueError("context %d names %r outside the project" % (context, target))
        out += struct.pack("<II", context, offset)
    return bytes(out)


def copy_tree(src, dst, skip=()):
    for root, _dirs, files in os.walk(src):
        rel = os.path.relpath(root, src)
        for f in files:
            if f in skip:
                continue
            os.makedirs(os.path.join(dst, rel), exist_ok=True)
            shutil.copy2(os.path.join(root, f), os.path.join(dst, rel, f))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--source", required=True)
    ap.add_argument("--common", required=True)
    ap.add_argument("--project", required=True)
    ap.add_argument("--stage", required=True)
    ap.add_argument("--output", required=True)
    ap.add_argument("--site", action="append", default=[])
    args = ap.parse_args()

    stage = os.path.abspath(args.stage)
    shutil.rmtree(stage, ignore_errors=True)
    copy_tree(args.source, stage)
    copy_tree(args.common, stage)
    run = subprocess.run(["chmcmd", "--no-html-scan", args.project], cwd=stage,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    log = run.stdout
    compiled = None
    for line in open(os.path.join(stage, args.project), encoding="latin-1"):
        if line.lower().startswith("compiled file="):
            compiled = os.path.join(stage, line.split("=", 1)[1].strip())
    if run.returncode != 0 or "Error" in log or "Warning" in log or not compiled \
            or not os.path.exists(compiled):
        sys.stderr.write(log)
        sys.exit("make_help: chmcmd did not compile %s" % args.project)

    parts = extract(compiled, ["#IVB", "#STRINGS"])
    chm = Chm(open(compiled, "rb").read())
    chm.replace_uncompressed("/#IVB", relative_map(parts["#IVB"], parts["#STRINGS"], stage + "/"))
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with open(args.output, "wb") as f:
        f.write(chm.data)

    # The online help: the pages and the style sheet, without the project files.
    for site in args.site:
        shutil.rmtree(site, ignore_errors=True)
        copy_tree(args.source, site, skip={args.project} | {
            f for f in os.listdir(args.source) if f.endswith((".hhc", ".hhk"))})
        shutil.copy2(os.path.join(args.common, "kivo.css"), site)


if __name__ == "__main__":
    main()
