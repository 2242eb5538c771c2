#!/usr/bin/env python3
"""Generate lumbra/data, the stand-in Lumbra installation the control reads.

What it writes:
  config/wag2b.ini, config/wab2g.ini   the catalogues of both directions;
  ctwa/*.txt                           the twelve built-in libraries, enciphered;
  ctwa/custbig, custgb, cfbig, cfgb    sample user libraries (plain text).

The phrase pairs come from OpenCC's phrase dictionaries (Debian's opencc
package): STPhrases, TSPhrases, TWPhrases and TWPhrasesRev, with the opencc
converter (s2tw, s2twp, tw2s, tw2sp) telling how each phrase should read. A
pair's source is what the engine's character mapping (and the libraries
applied before this one) make of the phrase, its target what the phrase
should be; a pair is kept only when the two differ and both sides can be
written in the direction's code page. The mapping is asked of the native
build of the engine (kivomap), the enciphering is done by kivocrypt, so the
data always matches the code that reads it.

G2B libraries hold Big5 text, B2G libraries GBK text; lines end with CR LF.
Which library holds what (see lumbra/README.md):
  Base       two- and three-character phrases (general vocabulary)
  PDAF       regional vocabulary (mainland and Taiwan words for one thing)
  PDAF2      idioms and set phrases of four characters or more
  FinalFix   fix-ups: phrases the first three libraries still leave wrong,
             because a shorter pair rewrote part of a longer phrase first
  FinalFix2  punctuation: quotation marks of the other region
  FinalFix3  second-round fix-ups: what is still wrong after FinalFix

--check compares a fresh generation with the committed folder byte for byte.
"""

import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUTPUT = os.path.join(REPO, "lumbra", "data")
USER_SAMPLES = os.path.join(REPO, "tools", "lumbra_user_samples.txt")
OPENCC_DIR = "/usr/share/opencc"

COMMA_TOKEN = "{{_PX_MLE_WA_COMMA_}}"

# The built-in files of each direction in the order they are applied.
LIBRARY_FILES = {
    "g2b": ("basebig", "pdafbig", "pdaf2big", "ffbig", "ff2big", "ff3big"),
    "b2g": ("basegb", "pdafgb", "pdaf2gb", "ffgb", "ff2gb", "ff3gb"),
}
ENCODING = {"g2b": "cp950", "b2g": "cp936"}   # the libraries' text
SOURCE_ENCODING = {"g2b": "cp936", "b2g": "cp950"}   # the text before mapping
PLACEHOLDER = {"g2b": "\u25a1", "b2g": "\u25a1"}   # what the tables write for "no counterpart"

# Quotation marks: mainland “” ‘’ against Taiwan 「」 『』.
QUOTES = (("\u201c", "\u300c"), ("\u201d", "\u300d"), ("\u2018", "\u300e"), ("\u2019", "\u300f"))

SECTION_SUFFIX = {"g2b": "G2B", "b2g": "B2G"}
USER_FOLDERS = {"g2b": ("custbig", "cfbig"), "b2g": ("custgb", "cfgb")}


class GenerationError(Exception):
    pass


# ---------------------------------------------------------------------------
# Tools


def run_lines(command, lines, encoding):
    """Feeds `lines` to `command`, one a line, and returns its output lines."""
    data = "".join(line + "\n" for line in lines).encode(encoding)
    try:
        done = subprocess.run(command, input=data, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=True)
    except (OSError, subprocess.CalledProcessError) as err:
        raise GenerationError("%s failed: %s" % (" ".join(command), err))
    out = done.stdout.split(b"\n")
    if out and out[-1] == b"":
        out.pop()
    if len(out) != len(lines):
        raise GenerationError("%s answered %d lines for %d" % (command[0], len(out), len(lines)))
    return out


def opencc_convert(config, phrases):
    """The opencc converter's reading of each phrase (UTF-8 in and out)."""
    out = run_lines(["opencc", "-c", config + ".json"], phrases, "utf-8")
    return [line.decode("utf-8") for line in out]


def read_dictionary(name):
    """An OpenCC dictionary as a list of (key, first value), in file order."""
    with tempfile.TemporaryDirectory(prefix="kivo-opencc-") as tmp:
        text = os.path.join(tmp, name + ".txt")
        try:
            subprocess.run(["opencc_dict", "-i", os.path.join(OPENCC_DIR, name + ".ocd2"), "-o", text,
                            "-f", "ocd2", "-t", "text"], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.PIPE)
        except (OSError, subprocess.CalledProcessError) as err:
            raise GenerationError("cannot read %s with opencc_dict: %s" % (name, err))
        entries = []
        with open(text, encoding="utf-8") as f:
            for line in f:
                key, _, values = line.rstrip("\n").partition("\t")
                if key and values:
                    entries.append((key, values.split(" ")[0]))
        return entries


def encodable(text, encoding):
    """True when every character of `text` is one double-byte code of `encoding`
    that decodes back to itself."""
    for ch in text:
        try:
            code = ch.encode(encoding)
        except UnicodeEncodeError:
            return False
        if len(code) != 2 or code.decode(encoding) != ch or code[0] < 0x81:
            return False
    return True


# ---------------------------------------------------------------------------
# The libraries as the engine applies them


class Library:
    """One library's pairs, ordered as the engine orders them: ascending by
    the source's bytes in the library's code page."""

    def __init__(self, encoding):
        self.encoding = encoding
        self.pairs = []        # (source, target), Unicode
        self.index = {}        # source -> position in self.pairs

    def add(self, source, target):
        """Adds a pair unless its source is taken; True when added."""
        if source == target or source in self.index:
            return False
        self.index[source] = len(self.pairs)
        self.pairs.append((source, target))
        return True

    def seal(self):
        self.pairs.sort(key=lambda pair: pair[0].encode(self.encoding))
        self.index = {source: i for i, (source, _) in enumerate(self.pairs)}

    def apply(self, text):
        """The engine's replacement: pair after pair in order, each replacing
        every non-overlapping occurrence from the left. All text here is
        double-byte, so matching whole characters is matching on character
        boundaries. Only pairs whose source occurs are looked at."""
        last = -1
        while True:
            best = None
            n = len(text)
            for start in range(n):
                for end in range(start + 1, n + 1):
                    i = self.index.get(text[start:end])
                    if i is not None and i > last and (best is None or i < best):
                        best = i
            if best is None:
                return text
            source, target = self.pairs[best]
            text = text.replace(source, target)
            last = best


def apply_all(libraries, text):
    for library in libraries:
        text = library.apply(text)
    return text


# ---------------------------------------------------------------------------
# Phrase sets


def split_by_length(phrases):
    short = [p for p in phrases if len(p) <= 3]
    long = [p for p in phrases if len(p) >= 4]
    return short, long


def unique(items):
    seen = set()
    out = []
    for item in items:
        if item not in seen:
            seen.add(item)
            out.append(item)
    return out


class Direction:
    """The phrases of one direction: the input form of each phrase (the text a
    user converts), its form after the character tables, the form each
    library aims at, and the final form."""

    def __init__(self, name, kivomap):
        self.name = name
        self.encoding = ENCODING[name]
        self.kivomap = kivomap

    def mapped(self, phrases):
        encoded = [p.encode(SOURCE_ENCODING[self.name]).decode("latin-1") for p in phrases]
        out = run_lines([self.kivomap, self.name], encoded, "latin-1")
        result = []
        for line in out:
            try:
                result.append(line.decode(self.encoding))
            except UnicodeDecodeError:
                result.append(None)
        return result


def g2b_phrases():
    st = read_dictionary("STPhrases")
    tw = read_dictionary("TWPhrases")
    simplified = unique(key for key, _ in st)
    base, idioms = split_by_length(simplified)
    # TWPhrases is keyed by OpenCC's standard traditional form; the mainland
    # text a user converts is its simplified reading.
    vocabulary = unique(opencc_convert("t2s", [key for key, _ in tw]))
    return base, vocabulary, idioms


def b2g_phrases():
    st = read_dictionary("STPhrases")
    ts = read_dictionary("TSPhrases")
    tw_rev = read_dictionary("TWPhrasesRev")
    simplified = unique(key for key, _ in st)
    # The text a user converts here is Taiwan text.
    taiwan = unique(opencc_convert("s2tw", simplified) + opencc_convert("t2tw", [key for key, _ in ts]))
    base, idioms = split_by_length(taiwan)
    vocabulary = unique(key for key, _ in tw_rev)
    return base, vocabulary, idioms


STAGE_TARGET = {"g2b": ("s2tw", "s2twp"), "b2g": ("tw2s", "tw2sp")}


def build_direction(name, kivomap, report):
    direction = Direction(name, kivomap)
    encoding = direction.encoding
    source_encoding = SOURCE_ENCODING[name]
    base, vocabulary, idioms = g2b_phrases() if name == "g2b" else b2g_phrases()
    plain_config, final_config = STAGE_TARGET[name]

    # Every phrase with its input form encodable, its mapped form free of
    # placeholders, and its final form encodable in the library's code page.
    everything = unique(base + vocabulary + idioms)
    everything = [p for p in everything if encodable(p, source_encoding)]
    mapped = dict(zip(everything, direction.mapped(everything)))
    plain = dict(zip(everything, opencc_convert(plain_config, everything)))
    final = dict(zip(everything, opencc_convert(final_config, everything)))

    def usable(p):
        m = mapped.get(p)
        return (m is not None and PLACEHOLDER[name] not in m and len(m) == len(p)
                and encodable(plain[p], encoding) and encodable(final[p], encoding))

    def make(phrases, aim, before):
        library = Library(encoding)
        for p in phrases:
            if not usable(p):
                continue
            source = apply_all(before, mapped[p])
            library.add(source, aim(p))
        library.seal()
        return library

    libraries = []
    libraries.append(make([p for p in base if p in mapped], lambda p: plain[p], libraries))
    libraries.append(make([p for p in vocabulary if p in mapped], lambda p: final[p], libraries[:]))
    libraries.append(make([p for p in idioms if p in mapped], lambda p: plain[p], libraries[:]))

    def fixups(before):
        library = Library(encoding)
        wrong = {}
        for p in everything:
            if not usable(p):
                continue
            got = apply_all(before, mapped[p])
            if got != final[p]:
                wrong.setdefault(got, set()).add(final[p])
        for got in sorted(wrong):
            aims = wrong[got]
            if len(aims) == 1:   # a result two phrases share with two aims is left alone
                library.add(got, next(iter(aims)))
        library.seal()
        return library

    libraries.append(fixups(libraries[:]))
    punctuation = Library(encoding)
    for mainland, taiwan in QUOTES:
        punctuation.add(mainland, taiwan) if name == "g2b" else punctuation.add(taiwan, mainland)
    punctuation.seal()
    libraries.append(punctuation)
    libraries.append(fixups(libraries[:]))

    still_wrong = sum(1 for p in everything if usable(p) and apply_all(libraries, mapped[p]) != final[p])
    report.append("%s: %d phrases usable, %d still differ from the converter after all libraries"
                  % (name, sum(1 for p in everything if usable(p)), still_wrong))
    return libraries


# ---------------------------------------------------------------------------
# Files


def library_text(pairs, encoding):
    lines = []
    for source, target in pairs:
        line = source.replace(",", COMMA_TOKEN) + "," + target.replace(",", COMMA_TOKEN)
        lines.append(line.encode(encoding) + b"\r\n")
    return b"".join(lines)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read_user_samples(path):
    """The sample user libraries: blocks of
         file: custbig/places.txt
         title: Place names
         comment: ...            (any number)
         apply: true|false
         pair: 乌兹别克斯坦 = 烏茲別克
    where a pair gives the phrase as the user types it and as it should read."""
    libraries = []
    current = None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            field, _, value = line.partition(":")
            value = value.strip()
            if field == "file":
                current = {"file": value, "title": "", "comments": [], "apply": False, "pairs": []}
                libraries.append(current)
            elif current is None:
                raise GenerationError("%s:%d: a block starts with file:" % (path, number))
            elif field == "title":
                current["title"] = value
            elif field == "comment":
                current["comments"].append(value)
            elif field == "apply":
                current["apply"] = value == "true"
            elif field == "pair":
                phrase, _, aim = value.partition("=")
                current["pairs"].append((phrase.strip(), aim.strip()))
            else:
                raise GenerationError("%s:%d: unknown field %r" % (path, number, field))
    return libraries


def user_library_text(sample, name, kivomap):
    encoding = ENCODING[name]
    direction = Direction(name, kivomap)
    phrases = [phrase for phrase, _ in sample["pairs"]]
    for phrase, aim in sample["pairs"]:
        if not encodable(phrase, SOURCE_ENCODING[name]) or not encodable(aim, encoding):
            raise GenerationError("%s: %s = %s cannot be written" % (sample["file"], phrase, aim))
    lines = [(";[T] " + sample["title"]).encode(encoding)]
    lines += [(";" + comment).encode(encoding) for comment in sample["comments"]]
    for (phrase, aim), source in zip(sample["pairs"], direction.mapped(phrases)):
        if source is None or source == aim:
            raise GenerationError("%s: the mapping already gets %s right" % (sample["file"], phrase))
        lines.append((source + "," + aim).encode(encoding))
    return b"".join(line + b"\r\n" for line in lines)


def catalogue_text(name, user_samples):
    suffix = SECTION_SUFFIX[name]
    custom, final_custom = USER_FOLDERS[name]
    lines = ["; Word adjustment catalogue, %s" % ("GBK -> Big5" if name == "g2b" else "Big5 -> GBK"), ""]
    for section in ("PDAF", "PDAF2", "FinalFix", "FinalFix2", "FinalFix3"):
        lines += ["[%s_%s]" % (section, suffix), "Apply = true", ""]
    numbers = {custom: 0, final_custom: 0}
    for sample in user_samples:
        folder = sample["file"].split("/")[0]
        if folder not in numbers:
            continue
        numbers[folder] += 1
        prefix = "CUSLIB" if folder == custom else "CUS_FF_LIB"
        lines += ["[%s_%s%d]" % (prefix, suffix, numbers[folder]),
                  "Path = %%%%CTWA_FOLDER%%%%\\%s" % sample["file"].replace("/", "\\"),
                  "Apply = %s" % ("true" if sample["apply"] else "false"), ""]
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def generate(output, kivomap, kivocrypt):
    report = []
    samples = read_user_samples(USER_SAMPLES)
    with tempfile.TemporaryDirectory(prefix="kivo-lumbra-") as plain_dir:
        for name in ("g2b", "b2g"):
            libraries = build_direction(name, kivomap, report)
            for file_name, library in zip(LIBRARY_FILES[name], libraries):
                plain = os.path.join(plain_dir, file_name + ".txt")
                write(plain, library_text(library.pairs, library.encoding))
                target = os.path.join(output, "ctwa", file_name + ".txt")
                os.makedirs(os.path.dirname(target), exist_ok=True)
                try:
                    subprocess.run([kivocrypt, "encipher", plain, target], check=True,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
                except (OSError, subprocess.CalledProcessError) as err:
                    raise GenerationError("kivocrypt could not encipher %s: %s" % (file_name, err))
                report.append("  %-13s %5d pairs" % (file_name + ".txt", len(library.pairs)))
            mine = [s for s in samples if s["file"].split("/")[0] in USER_FOLDERS[name]]
            for sample in mine:
                write(os.path.join(output, "ctwa", *sample["file"].split("/")),
                      user_library_text(sample, name, kivomap))
            write(os.path.join(output, "config", "wa%s.ini" % name), catalogue_text(name, mine))
    return report


def same_tree(a, b):
    compare = filecmp.dircmp(a, b)
    if compare.left_only or compare.right_only or compare.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(a, b, compare.common_files, shallow=False)
    if mismatch or errors:
        return False
    return all(same_tree(os.path.join(a, d), os.path.join(b, d)) for d in compare.common_dirs)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--kivomap", required=True, help="the native kivomap program")
    parser.add_argument("--kivocrypt", required=True, help="the native kivocrypt program")
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    parser.add_argument("--check", action="store_true", help="compare with --output instead of writing it")
    args = parser.parse_args(argv)
    try:
        if args.check:
            with tempfile.TemporaryDirectory(prefix="kivo-lumbra-check-") as tmp:
                generate(tmp, args.kivomap, args.kivocrypt)
                if not same_tree(tmp, args.output):
                    print("%s differs from what tools/gen_lumbra_data.py makes" % args.output, file=sys.stderr)
                    return 1
            return 0
        if os.path.isdir(args.output):
            shutil.rmtree(args.output)
        for line in generate(args.output, args.kivomap, args.kivocrypt):
            print(line)
    except GenerationError as err:
        print("gen_lumbra_data: %s" % err, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
