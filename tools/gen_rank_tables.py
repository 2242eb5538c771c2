#!/usr/bin/env python3
"""Generate cpanel/EncodingRankCodes.cpp, the frequency ranks of encoding detection.

The detector ranks the 600 most frequent characters of three character sets:
GB2312, Big5 and CNS 11643 plane 1 (the two-byte codes of EUC-TW). This
script lists them, most frequent first, as (lead, trail) codes.

Data and how each character reaches its set:
  * the word frequencies of jieba's dictionary (Debian's python3-jieba,
    jieba/dict.txt: "word frequency part-of-speech" a line); a character's
    frequency is the sum of the frequencies of the words it occurs in, once
    per occurrence. Only Han characters (U+3400..U+9FFF) count;
  * GB2312: the character's code in Python's gb2312 codec;
  * Big5: the dictionary is mainland text, so each GB2312 character is taken
    to its traditional form through the engine's own GB-to-Big5 table (the
    native kivomap program); a traditional form reached from several
    simplified characters gathers all their frequencies. Characters the table
    leaves without a counterpart, and characters outside GB2312, count as
    themselves when Python's cp950 codec writes them;
  * CNS 11643 plane 1: the same traditional characters, written in EUC-TW by
    the C library's converter (iconv -t EUC-TW); four-byte codes (the other
    planes) are left out.
Ties are broken by the lower code, so the output is deterministic.

--check PATH regenerates in memory and fails if PATH differs, which is how the
build proves the committed file matches this script and its data.
"""

import argparse
import collections
import os
import sys

# The phrase-library generator's pipe to kivomap serves iconv here too.
from gen_lumbra_data import GenerationError, run_lines

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUTPUT = os.path.join(REPO, "cpanel", "EncodingRankCodes.cpp")
DEFAULT_KIVOMAP = os.path.join(REPO, "build", "native", "tools", "kivomap")
JIEBA_DICT = "/usr/lib/python3/dist-packages/jieba/dict.txt"

RANKED = 600
CODES_PER_LINE = 8
BIG5_PLACEHOLDER = b"\xa1\xbc"

# Name of each list in the output, and its set, in output order.
LISTS = (
    ("g_arrGb2312ByFrequency", "GB2312"),
    ("g_arrBig5ByFrequency", "Big5"),
    ("g_arrCnsByFrequency", "CNS 11643 plane 1 (EUC-TW)"),
)


def is_han(ch):
    return 0x3400 <= ord(ch) <= 0x9FFF


def read_frequencies(path):
    """Han character -> summed word frequency."""
    frequencies = collections.Counter()
    try:
        with open(path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                fields = line.split()
                if len(fields) < 2 or not fields[1].isdigit():
                    raise GenerationError("%s:%d: not 'word frequency'" % (path, number))
                for ch in fields[0]:
                    if is_han(ch):
                        frequencies[ch] += int(fields[1])
    except OSError as err:
        raise GenerationError("cannot read jieba's dictionary (Debian package python3-jieba): %s" % err)
    return frequencies


def double_byte(ch, encoding):
    """The two-byte code of `ch` in `encoding`, or None."""
    try:
        code = ch.encode(encoding)
    except UnicodeEncodeError:
        return None
    return code if len(code) == 2 and code[0] >= 0x81 else None


def traditional_frequencies(frequencies, kivomap):
    """Traditional (Big5) character -> frequency, the GB2312 characters taken
    through the engine's GB-to-Big5 table."""
    gb = sorted(ch for ch in frequencies if double_byte(ch, "gb2312"))
    mapped = run_lines([kivomap, "g2b"], [ch.encode("gb2312").decode("latin-1") for ch in gb], "latin-1")
    result = collections.Counter()
    for ch, big5 in zip(gb, mapped):
        if len(big5) == 2 and big5 != BIG5_PLACEHOLDER:
            result[big5.decode("cp950")] += frequencies[ch]
        elif double_byte(ch, "cp950"):
            result[ch] += frequencies[ch]
    for ch in frequencies:
        if not double_byte(ch, "gb2312") and double_byte(ch, "cp950"):
            result[ch] += frequencies[ch]
    return result


def euc_tw_codes(chars):
    """Character -> its EUC-TW code, for the characters of CNS 11643 plane 1."""
    out = run_lines(["iconv", "-f", "UTF-8", "-t", "EUC-TW"], chars, "utf-8")
    return {ch: code for ch, code in zip(chars, out) if len(code) == 2 and code[0] >= 0xA1}


def most_frequent(code_frequencies):
    """The RANKED most frequent codes, most frequent first, ties by code."""
    ranked = sorted(code_frequencies.items(), key=lambda item: (-item[1], item[0]))
    if len(ranked) < RANKED:
        raise GenerationError("only %d characters of a set occur in the dictionary" % len(ranked))
    return [code for code, _ in ranked[:RANKED]]


def code_frequencies(frequencies, code_of, last_lead):
    """Code -> frequency for the codes the detector looks up: leads 0xA1 to
    `last_lead`, trail bytes 0xA1..0xFE (and 0x40..0x7E, which only Big5 has)."""
    result = collections.Counter()
    for ch, n in frequencies.items():
        code = code_of(ch)
        if code is not None and 0xA1 <= code[0] <= last_lead and (code[1] <= 0x7E or code[1] >= 0xA1):
            result[code] += n
    return result


def generate(dict_path, kivomap):
    frequencies = read_frequencies(dict_path)
    traditional = traditional_frequencies(frequencies, kivomap)
    cns = euc_tw_codes(sorted(traditional))
    return (
        most_frequent(code_frequencies(frequencies, lambda ch: double_byte(ch, "gb2312"), 0xF7)),
        most_frequent(code_frequencies(traditional, lambda ch: double_byte(ch, "cp950"), 0xF9)),
        most_frequent(code_frequencies(traditional, cns.get, 0xFE)),
    )


HEADER = """\
// Generated by tools/gen_rank_tables.py; do not edit. Run the script to change it.
//
// Data: character frequencies summed from the word frequencies of jieba's
// dictionary (Debian's python3-jieba), Han characters only. GB2312 codes from
// Python's gb2312 codec; Big5 through the engine's GB-to-Big5 table and
// Python's cp950 codec; CNS 11643 plane 1 through the C library's EUC-TW
// converter.
//
// Each list holds the 600 most frequent characters of its set as (lead, trail)
// codes, most frequent first: the first ranks 599, the last 0. Each line is
// marked with the rank of its first code.

#include "EncodingRanks.h"
"""


def render(lists):
    out = [HEADER]
    for (name, title), codes in zip(LISTS, lists):
        out.append("\n// %s\n" % title)
        out.append("const CRankedCode %s[kRankedCodes] = {\n" % name)
        for start in range(0, len(codes), CODES_PER_LINE):
            cells = ", ".join("{0x%02X,0x%02X}" % (c[0], c[1]) for c in codes[start:start + CODES_PER_LINE])
            out.append("    /* %3d */ %s,\n" % (RANKED - 1 - start, cells))
        out.append("};\n")
    return "".join(out)


def committed(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def main(argv):
    parser = argparse.ArgumentParser(description="Generate cpanel/EncodingRankCodes.cpp.")
    parser.add_argument("--output", metavar="PATH", default=DEFAULT_OUTPUT,
                        help="file to write (default: cpanel/EncodingRankCodes.cpp)")
    parser.add_argument("--check", metavar="PATH",
                        help="do not write; fail unless PATH equals the generated text")
    parser.add_argument("--kivomap", default=DEFAULT_KIVOMAP,
                        help="the native kivomap program (default: build/native/tools/kivomap)")
    parser.add_argument("--dictionary", default=JIEBA_DICT, help=argparse.SUPPRESS)
    args = parser.parse_args(argv)

    try:
        data = render(generate(args.dictionary, args.kivomap)).encode("ascii")
    except GenerationError as err:
        print("gen_rank_tables: %s" % err, file=sys.stderr)
        return 1

    if not args.check:
        with open(args.output, "wb") as f:
            f.write(data)
        return 0
    if committed(args.check) != data:
        print("gen_rank_tables: %s is missing or differs from the generated ranks; "
              "run tools/gen_rank_tables.py to regenerate it" % args.check, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
