#!/usr/bin/env python3
"""Generate engine/CodeTables.cpp, the three fixed code tables of the engine.

Data sources:
  * the code pages 936 (GBK) and 950 (Big5), as Python's cp936 and cp950 codecs;
  * OpenCC's character mapping (STCharacters, TSCharacters, and TWVariants and
    TWVariantsRev for the Taiwan standard forms), read from the Debian opencc
    package through opencc_dict;
  * tools/code_table_overrides.txt for the choices those leave open.

The output is deterministic: the same inputs give the same file byte for byte.
--check PATH regenerates in memory and fails if PATH differs, which is how the
build proves the committed file matches this script.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUTPUT = os.path.join(REPO, "engine", "CodeTables.cpp")
OVERRIDES = os.path.join(REPO, "tools", "code_table_overrides.txt")
OPENCC_DIR = "/usr/share/opencc"
OPENCC_DICTS = ("STCharacters", "TSCharacters", "TWVariants", "TWVariantsRev")

BIG5_PLACEHOLDER = (0xA1, 0xBC)
GBK_PLACEHOLDER = (0xA1, 0xF5)

GB_LEADS = list(range(0xA1, 0xAA)) + list(range(0xB0, 0xD8))
GB_TRAILS = list(range(0xA1, 0xFF))
BIG5_LEADS = list(range(0x81, 0xFF))
BIG5_TRAILS = list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))

TABLE_NAMES = ("gb-big5", "big5-gb")


class GenerationError(Exception):
    pass


# ---------------------------------------------------------------------------
# Code pages


def is_private_use(ch):
    return unicodedata.category(ch) == "Co"


def big5_user_defined(lead, trail):
    """The three user-defined areas of code page 950. They mean nothing outside
    the machine that defined them. Python's codec decodes part of C6A1..C8FE
    (an older vendor extension), but code page 950 reserves the whole block."""
    if lead < 0xA1 or lead > 0xF9:
        return True
    return 0xC6A1 <= (lead << 8 | trail) <= 0xC8FE


def decode_big5(lead, trail):
    """The character of a Big5 code, or None for unassigned and user-defined codes."""
    if big5_user_defined(lead, trail):
        return None
    try:
        text = bytes((lead, trail)).decode("cp950")
    except UnicodeDecodeError:
        return None
    if len(text) != 1 or is_private_use(text):
        return None
    return text


def encode_big5(ch):
    """The Big5 code of a character, or None unless it is a standard double-byte code."""
    try:
        code = ch.encode("cp950")
    except UnicodeEncodeError:
        return None
    if len(code) != 2 or decode_big5(code[0], code[1]) != ch:
        return None
    return (code[0], code[1])


def gbk_user_defined(lead, trail):
    return 0xAA <= lead <= 0xAF and trail >= 0xA1 or lead >= 0xF8 and trail >= 0xA1 \
        or 0xA1 <= lead <= 0xA7 and 0x40 <= trail <= 0xA0


def decode_gbk(lead, trail):
    if gbk_user_defined(lead, trail):
        return None
    try:
        text = bytes((lead, trail)).decode("cp936")
    except UnicodeDecodeError:
        return None
    if len(text) != 1 or is_private_use(text):
        return None
    return text


def encode_gbk(ch):
    """The GBK code of a character, or None unless it is a double-byte, non-user code."""
    try:
        code = ch.encode("cp936")
    except UnicodeEncodeError:
        return None
    if len(code) != 2 or decode_gbk(code[0], code[1]) != ch:
        return None
    return (code[0], code[1])


def encode_gb2312(ch):
    """The GBK code of a character when it lies in the GB2312 square."""
    code = encode_gbk(ch)
    if code is None:
        return None
    lead, trail = code
    if 0xA1 <= lead <= 0xF7 and trail >= 0xA1 and not 0xAA <= lead <= 0xAF:
        return code
    return None


# ---------------------------------------------------------------------------
# OpenCC data


def load_opencc(directory):
    """Each dictionary as {char: [candidates]} for its single-character keys."""
    dicts = {}
    with tempfile.TemporaryDirectory(prefix="kivo-opencc-") as tmp:
        for name in OPENCC_DICTS:
            source = os.path.join(directory, name + ".ocd2")
            text = os.path.join(tmp, name + ".txt")
            try:
                subprocess.run(["opencc_dict", "-i", source, "-o", text, "-f", "ocd2", "-t", "text"],
                               check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            except (OSError, subprocess.CalledProcessError) as err:
                raise GenerationError("cannot read %s with opencc_dict: %s" % (source, err))
            entries = {}
            with open(text, encoding="utf-8") as f:
                for line in f:
                    line = line.rstrip("\n")
                    if not line:
                        continue
                    key, _, values = line.partition("\t")
                    if len(key) != 1:
                        continue
                    entries[key] = [v for v in values.split(" ") if len(v) == 1]
            dicts[name] = entries
    return dicts


def counterpart_pairs(dicts):
    """Unordered pairs of characters the OpenCC data relates in either direction."""
    pairs = set()
    for entries in dicts.values():
        for key, values in entries.items():
            for value in values:
                pairs.add(frozenset((key, value)))
    return pairs


# ---------------------------------------------------------------------------
# Overrides

ENTRY = re.compile(r"^(\S+)\s+(\S+)\s+(\S+)(?:\s+(\S+))?\s*#\s*(\S.*)$")
RANGE = re.compile(r"^U\+([0-9A-Fa-f]{4,6})\.\.U\+([0-9A-Fa-f]{4,6})$")


def load_overrides(path):
    """Returns ({table: {source: target}}, {table: [(first, last)]}, entry count)."""
    entries = 0
    maps = {name: {} for name in TABLE_NAMES}
    blocks = {name: [] for name in TABLE_NAMES}
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            where = "%s:%d" % (path, number)
            m = ENTRY.match(line)
            if not m:
                raise GenerationError("%s: not an entry with a reason: %s" % (where, line))
            kind, tables, first, second, _reason = m.groups()
            entries += 1
            if kind == "map" and second is not None:
                if tables not in TABLE_NAMES or len(first) != 1 or len(second) != 1:
                    raise GenerationError("%s: map needs a table and two characters" % where)
                if first in maps[tables]:
                    raise GenerationError("%s: %s is mapped twice" % (where, first))
                maps[tables][first] = second
            elif kind == "block" and second is None:
                r = RANGE.match(first)
                names = tables.split(",")
                if not r or any(n not in TABLE_NAMES for n in names):
                    raise GenerationError("%s: block needs tables and U+XXXX..U+YYYY" % where)
                lo, hi = int(r.group(1), 16), int(r.group(2), 16)
                if lo > hi:
                    raise GenerationError("%s: empty range" % where)
                for n in names:
                    blocks[n].append((lo, hi))
            else:
                raise GenerationError("%s: unknown entry: %s" % (where, line))
    return maps, blocks, entries


def blocked(ch, ranges):
    return any(lo <= ord(ch) <= hi for lo, hi in ranges)


# ---------------------------------------------------------------------------
# Tables

# GB row 0xA2 carries the numbered forms ten to twenty. Big5 has no code for
# them, and writing the number in ASCII keeps the text readable.
def gb_ascii_entries():
    entries = {}
    for first, count in ((0xBA, 11), (0xCE, 11), (0xE2, 1)):
        for i in range(count):
            digits = str(10 + i).encode("ascii")
            entries[(0xA2, first + i)] = (digits[0], digits[1])
    return entries


def build_gb_to_big5(opencc, overrides, blocks):
    ascii_entries = gb_ascii_entries()
    rows = []
    for lead in GB_LEADS:
        cells = []
        for trail in GB_TRAILS:
            if (lead, trail) in ascii_entries:
                cells.append(ascii_entries[(lead, trail)])
                continue
            ch = decode_gbk(lead, trail)
            cells.append(gb_target(ch, opencc, overrides, blocks))
        rows.append((lead, cells))
    return rows


def gb_target(ch, opencc, overrides, blocks):
    if ch is None or blocked(ch, blocks):
        return BIG5_PLACEHOLDER
    if ch in overrides:
        code = encode_big5(overrides[ch])
        if code is None:
            raise GenerationError("override %s -> %s: target is not a Big5 character" % (ch, overrides[ch]))
        return code
    # OpenCC's own route to Taiwan text: each traditional form, then its Taiwan
    # standard variant ahead of it. Big5 is the Taiwan code, and several forms
    # the plain mapping prefers (爲, 衆, 啓) are not in it at all.
    variants = opencc["TWVariants"]
    candidates = [v for form in opencc["STCharacters"].get(ch, []) + [ch]
                  for v in variants.get(form, []) + [form]]
    for candidate in candidates:
        code = encode_big5(candidate)
        if code is not None:
            return code
    return BIG5_PLACEHOLDER


def build_big5_to_gb(target):
    rows = []
    for lead in BIG5_LEADS:
        rows.append((lead, [target(decode_big5(lead, trail)) for trail in BIG5_TRAILS]))
    return rows


def simplified_target(opencc, overrides, blocks):
    def target(ch):
        if ch is None or blocked(ch, blocks):
            return GBK_PLACEHOLDER
        if ch in overrides:
            code = encode_gb2312(overrides[ch])
            if code is None:
                raise GenerationError("override %s -> %s: target is not in GB2312" % (ch, overrides[ch]))
            return code
        # A Taiwan-only form (痺, 簷) falls back to its common form, but only when
        # nothing else fits: 著 and 么 are ordinary simplified characters and
        # must not be turned into their mainland readings.
        mapping = opencc["TSCharacters"]
        candidates = mapping.get(ch, []) + [ch]
        for common in opencc["TWVariantsRev"].get(ch, []):
            candidates += mapping.get(common, []) + [common]
        for candidate in candidates:
            code = encode_gb2312(candidate)
            if code is not None:
                return code
        return GBK_PLACEHOLDER
    return target


def traditional_target(ch):
    if ch is None:
        return GBK_PLACEHOLDER
    return encode_gbk(ch) or GBK_PLACEHOLDER


# ---------------------------------------------------------------------------
# Self-checks: the tables must agree with the data they were made from.

def check_tables(gb_rows, simp_rows, trad_rows, pairs):
    problems = []

    def related(a, b):
        return a == b or frozenset((a, b)) in pairs

    for lead, cells in trad_rows:
        for trail, out in zip(BIG5_TRAILS, cells):
            if out == GBK_PLACEHOLDER:
                continue
            src, dst = decode_big5(lead, trail), decode_gbk(*out)
            if src is None or src != dst:
                problems.append("traditional %02X%02X -> %02X%02X: %r != %r" % (lead, trail, out[0], out[1], src, dst))

    for lead, cells in simp_rows:
        for trail, out in zip(BIG5_TRAILS, cells):
            if out == GBK_PLACEHOLDER:
                continue
            src, dst = decode_big5(lead, trail), decode_gbk(*out)
            if src is None or dst is None or not related(src, dst):
                problems.append("simplified %02X%02X -> %02X%02X: %r, %r unrelated" % (lead, trail, out[0], out[1], src, dst))

    for lead, cells in gb_rows:
        for trail, out in zip(GB_TRAILS, cells):
            if out == BIG5_PLACEHOLDER or out[0] < 0x80:
                continue
            src, dst = decode_gbk(lead, trail), decode_big5(*out)
            if src is None or dst is None or not related(src, dst):
                problems.append("gb-big5 %02X%02X -> %02X%02X: %r, %r unrelated" % (lead, trail, out[0], out[1], src, dst))

    tables = {
        "GbToBig5Table": (gb_rows, GB_TRAILS),
        "Big5ToGbSimplifiedTable": (simp_rows, BIG5_TRAILS),
        "Big5ToGbkTraditionalTable": (trad_rows, BIG5_TRAILS),
    }
    for name, source, expected in TELLING_ROWS:
        rows, trails = tables[name]
        lead, trail = source >> 8, source & 0xFF
        got = None
        for row_lead, cells in rows:
            if row_lead == lead:
                got = cells[trails.index(trail)]
        want = (expected >> 8, expected & 0xFF)
        if got != want:
            problems.append("%s %04X: want %04X, got %s" % (name, source, expected,
                            "no row" if got is None else "%02X%02X" % got))

    if problems:
        raise GenerationError("self-check failed:\n  " + "\n  ".join(problems))


# Entries whose values are fixed by the product's behaviour; a change of data
# or overrides that moves one of them is a regression.
TELLING_ROWS = [
    ("GbToBig5Table", 0xA1A1, 0xA140), ("GbToBig5Table", 0xA1A2, 0xA142),
    ("GbToBig5Table", 0xA1A3, 0xA143), ("GbToBig5Table", 0xA3A1, 0xA149),
    ("GbToBig5Table", 0xA3C1, 0xA1BC), ("GbToBig5Table", 0xA2F1, 0xA1BC),
    ("GbToBig5Table", 0xB7A2, 0xB56F), ("GbToBig5Table", 0xBAF3, 0xABE1),
    ("GbToBig5Table", 0xB8C9, 0xB746), ("GbToBig5Table", 0xC0EF, 0xB8CC),
    ("GbToBig5Table", 0xCCA8, 0xA578), ("GbToBig5Table", 0xD6BB, 0xA575),
    ("GbToBig5Table", 0xCFB5, 0xA874), ("GbToBig5Table", 0xC3E6, 0xADB1),
    ("GbToBig5Table", 0xD6D3, 0xC4C1), ("GbToBig5Table", 0xD7C5, 0xB5DB),
    ("GbToBig5Table", 0xA2C4, 0x3230), ("GbToBig5Table", 0xA2E2, 0x3130),
    ("Big5ToGbSimplifiedTable", 0xC5E9, 0xCCE5), ("Big5ToGbSimplifiedTable", 0xB0EA, 0xB9FA),
    ("Big5ToGbSimplifiedTable", 0xB0AE, 0xB8C9), ("Big5ToGbSimplifiedTable", 0xBE76, 0xB7A2),
    ("Big5ToGbSimplifiedTable", 0xABE1, 0xBAF3), ("Big5ToGbSimplifiedTable", 0xBB4F, 0xCCA8),
    ("Big5ToGbSimplifiedTable", 0xA578, 0xCCA8), ("Big5ToGbSimplifiedTable", 0xC1E9, 0xD6D3),
    ("Big5ToGbSimplifiedTable", 0xC4C1, 0xD6D3), ("Big5ToGbSimplifiedTable", 0xB45F, 0xB8B4),
    ("Big5ToGbSimplifiedTable", 0xBDC6, 0xB8B4), ("Big5ToGbSimplifiedTable", 0xA140, 0xA1A1),
    ("Big5ToGbSimplifiedTable", 0xA141, 0xA3AC), ("Big5ToGbSimplifiedTable", 0xA2CF, 0xA1F5),
    ("Big5ToGbSimplifiedTable", 0xF9D5, 0xA1F5), ("Big5ToGbSimplifiedTable", 0x8140, 0xA1F5),
    ("Big5ToGbkTraditionalTable", 0xC5E9, 0xF377), ("Big5ToGbkTraditionalTable", 0xB0EA, 0x87F8),
    ("Big5ToGbkTraditionalTable", 0xABE1, 0xE1E1), ("Big5ToGbkTraditionalTable", 0xB45F, 0x8FCD),
    ("Big5ToGbkTraditionalTable", 0xBDC6, 0xD17D), ("Big5ToGbkTraditionalTable", 0xA2CF, 0xA3C1),
    ("Big5ToGbkTraditionalTable", 0xF9D5, 0xFD93), ("Big5ToGbkTraditionalTable", 0x8140, 0xA1F5),
]


# ---------------------------------------------------------------------------
# Output

HEADER = """\
// Generated by tools/gen_code_tables.py; do not edit. Run the script to change it.
//
// Data: the code pages 936 (GBK) and 950 (Big5) as Python's cp936 and cp950
// codecs; the OpenCC character mapping (STCharacters, TSCharacters, and
// TWVariants/TWVariantsRev for Taiwan standard forms) from Debian's opencc
// package; the choices in tools/code_table_overrides.txt.
//
// Each row starts with its lead byte; the cells follow in trail-byte order,
// eight to a line, each line marked with the trail byte of its first cell.
"""

CELLS_PER_LINE = 8


def emit_rows(out, row_type, name, rows, trails, count_name):
    out.append("const %s %s[%s] = {" % (row_type, name, count_name))
    for lead, cells in rows:
        out.append("    {0x%02X, {  // lead 0x%02X" % (lead, lead))
        for start in range(0, len(cells), CELLS_PER_LINE):
            chunk = cells[start:start + CELLS_PER_LINE]
            text = ", ".join("{0x%02X,0x%02X}" % c for c in chunk)
            out.append("        /* %02X */ %s," % (trails[start], text))
        out.append("    }},")
    out.append("};")
    out.append("")


def render(gb_rows, simp_rows, trad_rows):
    out = [HEADER, '#include "CodeTables.h"', ""]
    emit_rows(out, "GbToBig5Row", "GbToBig5Table", gb_rows, GB_TRAILS, "kGbToBig5Rows")
    emit_rows(out, "Big5ToGbRow", "Big5ToGbSimplifiedTable", simp_rows, BIG5_TRAILS, "kBig5ToGbRows")
    emit_rows(out, "Big5ToGbRow", "Big5ToGbkTraditionalTable", trad_rows, BIG5_TRAILS, "kBig5ToGbRows")
    return "\n".join(out)


def placeholder_count(rows, placeholder):
    return sum(cell == placeholder for _, cells in rows for cell in cells)


def generate(opencc_dir, overrides_path):
    opencc = load_opencc(opencc_dir)
    maps, blocks, overrides = load_overrides(overrides_path)
    pairs = counterpart_pairs(opencc)
    for table, entries in maps.items():
        for source, target in entries.items():
            if source != target and frozenset((source, target)) not in pairs:
                raise GenerationError("override %s %s -> %s: OpenCC does not relate them" % (table, source, target))

    gb_rows = build_gb_to_big5(opencc, maps["gb-big5"], blocks["gb-big5"])
    simp_rows = build_big5_to_gb(simplified_target(opencc, maps["big5-gb"], blocks["big5-gb"]))
    trad_rows = build_big5_to_gb(traditional_target)
    check_tables(gb_rows, simp_rows, trad_rows, pairs)

    stats = [
        ("GbToBig5Table", placeholder_count(gb_rows, BIG5_PLACEHOLDER), len(GB_LEADS) * len(GB_TRAILS)),
        ("Big5ToGbSimplifiedTable", placeholder_count(simp_rows, GBK_PLACEHOLDER), len(BIG5_LEADS) * len(BIG5_TRAILS)),
        ("Big5ToGbkTraditionalTable", placeholder_count(trad_rows, GBK_PLACEHOLDER), len(BIG5_LEADS) * len(BIG5_TRAILS)),
    ]
    return render(gb_rows, simp_rows, trad_rows), stats, overrides


def main(argv):
    parser = argparse.ArgumentParser(description="Generate engine/CodeTables.cpp.")
    parser.add_argument("--output", metavar="PATH", default=DEFAULT_OUTPUT,
                        help="file to write (default: engine/CodeTables.cpp)")
    parser.add_argument("--check", metavar="PATH",
                        help="do not write; fail unless PATH equals the generated text")
    parser.add_argument("--stats", action="store_true", help="print the placeholder counts on stdout")
    parser.add_argument("--opencc-dir", default=OPENCC_DIR, help=argparse.SUPPRESS)
    parser.add_argument("--overrides", default=OVERRIDES, help=argparse.SUPPRESS)
    args = parser.parse_args(argv)

    try:
        text, stats, overrides = generate(args.opencc_dir, args.overrides)
    except GenerationError as err:
        print("gen_code_tables: %s" % err, file=sys.stderr)
        return 1

    report = ["%s: %d of %d entries are placeholders" % s for s in stats]
    report.append("overrides: %d entries" % overrides)
    for line in report:
        print(line, file=sys.stdout if args.stats else sys.stderr)

    data = text.encode("utf-8")
    if args.check:
        try:
            with open(args.check, "rb") as f:
                current = f.read()
        except OSError as err:
            print("gen_code_tables: cannot read %s: %s" % (args.check, err), file=sys.stderr)
            return 1
        if current != data:
            print("gen_code_tables: %s differs from the generated tables; "
                  "run tools/gen_code_tables.py to regenerate it" % args.check, file=sys.stderr)
            return 1
        return 0

    with open(args.output, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
