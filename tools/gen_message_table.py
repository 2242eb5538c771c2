#!/usr/bin/env python3
"""Generate the message catalogue of the foundation library.

Input:  foundation/catalogue/messages.txt, the UTF-8 file translators edit
        (its header comment documents the format).
Output: foundation/MessageTable.cpp, the static table of rows with each text
        as escaped bytes of its code page (English 1252, Simplified Chinese
        936, Traditional Chinese 950), ended by the row whose id is 0;
        foundation/MessageIds.h, one named constant per row id.

The generator refuses the source, listing every problem, when a row breaks a
rule the programs rely on: unique ids and keys, ids inside their category's
range, all three texts present, each text encodable in its code page without
loss, the same number of lines and the same placeholders in all three texts.

The output is deterministic: the same source gives the same files byte for
byte. --check PATH... regenerates in memory and fails when a named file
differs, which is how the build proves the committed files match the source.
"""

import argparse
import os
import re
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_SOURCE = os.path.join(REPO, "foundation", "catalogue", "messages.txt")
TABLE_NAME = "MessageTable.cpp"
IDS_NAME = "MessageIds.h"
DEFAULT_OUTPUT_DIR = os.path.join(REPO, "foundation")

# Language tag in the source, code page of the column, name of the column.
LANGUAGES = (
    ("en", "cp1252", "English"),
    ("zh-CN", "cp936", "Simplified"),
    ("zh-TW", "cp950", "Traditional"),
)

# Category, key prefix, first id, last id.
CATEGORIES = (
    ("Info", "Shell_", 1, 3),
    ("Tip", "IDS_TIP_", 20000, 39999),
    ("Dialog", "IDS_DIALOG_", 40000, 79999),
    ("Message", "IDS_MESSAGE_", 80000, 99999),
    ("Error", "IDS_ERROR_", 100000, 139999),
    ("PXT", "IDS_PXT_", 140000, 2**31 - 1),
)

FIELDS = ("id", "key", "category") + tuple(tag for tag, _, _ in LANGUAGES)

# The look-up fills %1..%3, callers fill #1..#3, and a few texts are printf
# formats of their callers. A translation that loses or adds one of them
# shows a raw marker or drops a value, so all three texts must agree.
PLACEHOLDER = re.compile(r"%[1-9]|#[1-3]|%%|%[-+ #0]*[0-9]*(?:\.[0-9]+)?[diouxXcsfeEgG]")

KEY_SYNTAX = re.compile(r"^[A-Za-z][A-Za-z0-9_]*$")


class GenerationError(Exception):
    pass


class Row:
    def __init__(self, line):
        self.line = line          # line of the source where the row starts
        self.fields = {}

    @property
    def ident(self):
        return self.fields.get("id")

    @property
    def key(self):
        return self.fields.get("key", "")

    @property
    def category(self):
        return self.fields.get("category", "")

    def text(self, tag):
        return self.fields.get(tag, "")


# ---------------------------------------------------------------------------
# Reading the source


def parse_source(content, errors):
    """The rows of the source text, in file order. Problems go to `errors`."""
    rows = []
    row = None
    current_tag = None   # language field that "|" lines continue
    expect = 0           # index into FIELDS of the next field of the row

    for number, raw in enumerate(content.split("\n"), start=1):
        line = raw[:-1] if raw.endswith("\r") else raw
        where = "line %d" % number
        if "\r" in line:
            errors.append("%s: stray carriage return" % where)
            continue
        if line.startswith("|"):
            if row is None or current_tag is None:
                errors.append("%s: text line outside a multi-line text" % where)
                continue
            if line != "|" and not line.startswith("| "):
                errors.append("%s: a text line is \"|\", or \"| \" and the text" % where)
                continue
            row.fields[current_tag].append(line[2:])
            continue
        current_tag = None
        if not line.strip() or line.startswith("#"):
            continue
        name, sep, value = line.partition(":")
        if not sep or name not in FIELDS:
            errors.append("%s: expected one of %s" % (where, ", ".join(f + ":" for f in FIELDS)))
            continue
        if name == "id":
            if row is not None and expect != len(FIELDS):
                errors.append("line %d: row is missing %s" % (row.line, FIELDS[expect]))
            row = Row(number)
            rows.append(row)
            expect = 0
        if row is None:
            errors.append("%s: %s before the first id" % (where, name))
            continue
        if expect >= len(FIELDS) or FIELDS[expect] != name:
            wanted = FIELDS[expect] if expect < len(FIELDS) else "a new id"
            errors.append("%s: found %s where %s belongs" % (where, name, wanted))
            continue
        expect += 1
        if value and not value.startswith(" "):
            errors.append("%s: a blank belongs after \"%s:\"" % (where, name))
            continue
        value = value[1:]
        if name in ("id", "key", "category"):
            row.fields[name] = value.strip()
        elif value:
            row.fields[name] = [value]
        else:
            row.fields[name] = []
            current_tag = name
    if row is not None and expect != len(FIELDS):
        errors.append("line %d: row is missing %s" % (row.line, FIELDS[expect]))

    for row in rows:
        for tag, _, _ in LANGUAGES:
            if tag in row.fields:
                row.fields[tag] = "\r\n".join(row.fields[tag])
    return rows


# ---------------------------------------------------------------------------
# Rules


def count_lines(text):
    """Pieces of a text as the programs split it: each CR LF ends a piece,
    empty pieces count, a CR LF at the very end opens no further piece."""
    if not text:
        return 0
    pieces = text.split("\r\n")
    if pieces[-1] == "":
        pieces.pop()
    return len(pieces)


def placeholders(text):
    return sorted(PLACEHOLDER.findall(text))


def check_text(where, tag, codec, text, errors):
    if not text:
        errors.append("%s: %s text is missing" % (where, tag))
        return
    for number, line in enumerate(text.split("\r\n"), start=1):
        if line != line.rstrip(" \t"):
            errors.append("%s: %s line %d ends in blanks" % (where, tag, number))
    for ch in text:
        if ord(ch) < 0x20 and ch not in "\r\n":
            errors.append("%s: %s holds the control character U+%04X" % (where, tag, ord(ch)))
    try:
        encoded = text.encode(codec)
    except UnicodeEncodeError as error:
        bad = text[error.start:error.end]
        errors.append("%s: %s text has %s, which code page %s cannot hold"
                      % (where, tag, ", ".join("U+%04X %s" % (ord(c), c) for c in bad),
                         codec[2:]))
        return
    if encoded.decode(codec) != text:
        errors.append("%s: %s text does not read back unchanged from code page %s"
                      % (where, tag, codec[2:]))
    if b"\0" in encoded:
        errors.append("%s: %s text holds a zero byte" % (where, tag))


def validate(rows, errors):
    seen_ids = {}
    seen_keys = {}
    categories = {name: (prefix, first, last) for name, prefix, first, last in CATEGORIES}
    previous = 0
    for row in rows:
        where = "line %d (%s)" % (row.line, row.key or "row")
        ident = row.ident
        if ident is None or not re.fullmatch(r"[0-9]+", ident):
            errors.append("%s: id must be a positive decimal number" % where)
            ident = None
        else:
            ident = int(ident)
            row.number = ident
            if ident <= 0 or ident > 2**31 - 1:
                errors.append("%s: id %d is outside 1..2147483647" % (where, ident))
            if ident in seen_ids:
                errors.append("%s: id %d already used on line %d" % (where, ident, seen_ids[ident]))
            else:
                seen_ids[ident] = row.line
            if ident <= previous:
                errors.append("%s: id %d does not follow %d in ascending order" % (where, ident, previous))
            previous = max(previous, ident)

        if not KEY_SYNTAX.match(row.key):
            errors.append("%s: key must be letters, digits and \"_\"" % where)
        elif row.key in seen_keys:
            errors.append("%s: key already used on line %d" % (where, seen_keys[row.key]))
        else:
            seen_keys[row.key] = row.line

        if row.category not in categories:
            errors.append("%s: category must be one of %s" % (where, ", ".join(categories)))
        else:
            prefix, first, last = categories[row.category]
            if not row.key.startswith(prefix):
                errors.append("%s: a %s key starts with %s" % (where, row.category, prefix))
            if ident is not None and not first <= ident <= last:
                errors.append("%s: %s ids lie in %d..%d" % (where, row.category, first, last))

        for tag, codec, _ in LANGUAGES:
            check_text(where, tag, codec, row.text(tag), errors)

        english = row.text("en")
        for tag, _, _ in LANGUAGES[1:]:
            text = row.text(tag)
            if not text or not english:
                continue
            if count_lines(text) != count_lines(english):
                errors.append("%s: %s has %d lines, en has %d"
                              % (where, tag, count_lines(text), count_lines(english)))
            if placeholders(text) != placeholders(english):
                errors.append("%s: %s placeholders %s differ from en %s"
                              % (where, tag, placeholders(text), placeholders(english)))


def load_rows(path):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as error:
        raise GenerationError("cannot read %s: %s" % (path, error.strerror))
    try:
        content = data.decode("utf-8")
    except UnicodeDecodeError as error:
        raise GenerationError("%s is not UTF-8 (byte %d)" % (path, error.start))
    if content.startswith("\ufeff"):
        content = content[1:]
    errors = []
    rows = parse_source(content, errors)
    if not errors:
        validate(rows, errors)
    if not rows and not errors:
        errors.append("no rows")
    if errors:
        raise GenerationError("%s:\n  %s" % (path, "\n  ".join(errors)))
    return rows


# ---------------------------------------------------------------------------
# Writing C++


def c_literal(chunks):
    """A C++ string literal of the encoded characters `chunks` (the bytes of
    one character each): printable ASCII as it is, every byte of any other
    character as \\xNN, so that a double-byte character never shows half as a
    letter. A literal is closed and reopened after an escape that a hex
    digit follows, since \\x would swallow the digit."""
    out = ['"']
    after_hex = False
    previous = ""
    for chunk in chunks:
        ch = chr(chunk[0]) if len(chunk) == 1 and chunk[0] < 0x80 else None
        if ch is not None and after_hex and ch in "0123456789abcdefABCDEF":
            out.append('" "')
        after_hex = False
        if ch is None or not (0x20 <= ord(ch) < 0x7F or ch in "\r\n"):
            out.append("".join("\\x%02X" % byte for byte in chunk))
            after_hex = True
            ch = ""
        elif ch in '"\\':
            out.append("\\" + ch)
        elif ch == "?" and previous == "?":
            out.append("\\?")  # never a trigraph
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\n":
            out.append("\\n")
        else:
            out.append(ch)
        previous = ch
    out.append('"')
    return "".join(out)


def encoded_chars(text, codec):
    return [ch.encode(codec) for ch in text]


def c_text(text, codec, indent):
    """The text as one literal per line, CR LF kept at each line's end."""
    lines = text.split("\r\n")
    literals = [c_literal(encoded_chars(line + "\r\n", codec)) for line in lines[:-1]]
    if lines[-1] or not literals:
        literals.append(c_literal(encoded_chars(lines[-1], codec)))
    return ("\n" + indent).join(literals)


SOURCE_NOTE = "foundation/catalogue/messages.txt"


def render_table(rows):
    out = []
    out.append("// Generated by tools/gen_message_table.py from %s: edit that file and" % SOURCE_NOTE)
    out.append("// run the generator again. Texts are bytes of their column's code page:")
    out.append("// English 1252, Simplified Chinese 936 (GBK), Traditional Chinese 950 (Big5).")
    out.append('#include "MessageTable.h"')
    out.append("")
    out.append("const CMessageRow g_arrMessageTable[] = {")
    indent = " " * 6
    for row in rows:
        out.append("    { %d, 0, %s, %s," % (row.number, c_literal(encoded_chars(row.key, "ascii")),
                                             c_literal(encoded_chars(row.category, "ascii"))))
        texts = [indent + c_text(row.text(tag), codec, indent) for tag, codec, _ in LANGUAGES]
        out.append(",\n".join(texts) + " },")
    out.append('    { 0, 0, "", "", "", "", "" },')
    out.append("};")
    out.append("")
    return "\n".join(out)


def render_ids(rows):
    out = []
    out.append("// Generated by tools/gen_message_table.py from %s: edit that file and" % SOURCE_NOTE)
    out.append("// run the generator again. The ids of the message catalogue, named by key.")
    out.append("#pragma once")
    out.append("")
    out.append("#include <cstdint>")
    out.append("")
    out.append("enum MessageId : std::int32_t {")
    for row in rows:
        out.append("    %s = %d," % (row.key, row.number))
    out.append("};")
    out.append("")
    out.append("// Rows in the table, the end row included.")
    out.append("inline constexpr int kMessageTableRows = %d;" % (len(rows) + 1))
    out.append("")
    return "\n".join(out)


def generate(source):
    rows = load_rows(source)
    return {TABLE_NAME: render_table(rows).encode("ascii"),
            IDS_NAME: render_ids(rows).encode("ascii")}


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", default=DEFAULT_SOURCE, help="catalogue source (UTF-8)")
    parser.add_argument("--output-dir", default=DEFAULT_OUTPUT_DIR,
                        help="folder that receives %s and %s" % (TABLE_NAME, IDS_NAME))
    parser.add_argument("--check", nargs="+", metavar="PATH",
                        help="compare generated files with these (named %s or %s) "
                             "instead of writing" % (TABLE_NAME, IDS_NAME))
    args = parser.parse_args(argv)

    try:
        outputs = generate(args.source)
    except GenerationError as error:
        print("gen_message_table: %s" % error, file=sys.stderr)
        return 2

    if args.check:
        status = 0
        for path in args.check:
            name = os.path.basename(path)
            if name not in outputs:
                print("gen_message_table: %s is not one of %s" % (path, ", ".join(outputs)),
                      file=sys.stderr)
                status = 2
                continue
            try:
                with open(path, "rb") as f:
                    committed = f.read()
            except OSError as error:
                print("gen_message_table: cannot read %s: %s" % (path, error.strerror),
                      file=sys.stderr)
                status = 1
                continue
            if committed != outputs[name]:
                print("gen_message_table: %s differs from what %s makes; run "
                      "tools/gen_message_table.py" % (path, SOURCE_NOTE), file=sys.stderr)
                status = 1
        return status

    for name, data in outputs.items():
        path = os.path.join(args.output_dir, name)
        try:
            with open(path, "wb") as f:
                f.write(data)
        except OSError as error:
            print("gen_message_table: cannot write %s: %s" % (path, error.strerror),
                  file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
