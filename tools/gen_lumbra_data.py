#!/usr/bin/env python3
"""Generate lumbra/data, the stand-in Lumbra installation the control reads.

What it writes:
  config/wag2b.ini, config/wab2g.ini   the catalogues of both directions;
  ctwa/*.txt                           the twelve built-in libraries, enciphered;
  ctwa/custbig, custgb, cfbig, cfgb    sample user libraries (plain text).

The phrases come from the OpenCC dictionaries of the npm registry's opencc
package (tools/phrase_dictionaries.py pins it): STPhrases, TSPhrases and the
Taiwan layers TWPhrases, TWPhrasesRev, TWVariantsPhrases and
TWVariantsRevPhrases, with the dictionaries' own conversions (s2tw, s2twp,
tw2s, tw2sp) telling how each phrase should read. A pair's source is what
the engine's character mapping and the libraries applied before this one
make of the phrase, its target what the phrase should be; a pair is kept
only when the two differ and both sides can be written in the direction's
code page. Mapping and word adjustment are asked of the native build of the
engine (kivomap), the enciphering is done by kivocrypt, so the data always
matches the code that reads it.

Word adjustment applies the pairs in their fixed order with no longest-match
rule, so a pair made for one phrase can rewrite part of another first. The
generator therefore runs every phrase through the whole pipeline and repairs
what still differs in the final-fix libraries, and prints how many phrases of
each direction come out as the dictionaries read them. Everyday words (the
most frequent of jieba's dictionary) go through the same check: those the
mapping alone gets right must stay right.

G2B libraries hold Big5 text, B2G libraries GBK text; lines end with CR LF.
Which library holds what (see lumbra/README.md):
  Base       two- and three-character phrases (general vocabulary)
  PDAF       regional vocabulary (mainland and Taiwan words for one thing)
  PDAF2      idioms and set phrases of four characters or more
  FinalFix   fix-ups: phrases the first three libraries still leave wrong,
             because a shorter pair rewrote part of a longer phrase first
  FinalFix2  punctuation: quotation marks of the other region
  FinalFix3  second-round fix-ups: what is still wrong after FinalFix

--check compares a fresh generation with the committed folder byte for byte;
--verify runs the committed libraries over the phrases (or a sample of them)
and fails below the agreement it is given.
"""

import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

import phrase_dictionaries

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUTPUT = os.path.join(REPO, "lumbra", "data")
DEFAULT_DICTIONARIES = os.path.join(REPO, "build", "npm", phrase_dictionaries.TARBALL)
USER_SAMPLES = os.path.join(REPO, "tools", "lumbra_user_samples.txt")
# Everyday words beside the dictionaries' phrases: jieba's dictionary (Debian's
# python3-jieba), "word frequency part-of-speech" a line, its most frequent
# words of two characters or more.
JIEBA_DICT = "/usr/lib/python3/dist-packages/jieba/dict.txt"
EVERYDAY_WORDS = 120000

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


def unique(items):
    seen = set()
    out = []
    for item in items:
        if item not in seen:
            seen.add(item)
            out.append(item)
    return out


# ---------------------------------------------------------------------------
# The libraries and the pipeline that applies them


class Library:
    """One library's pairs, ordered as the engine orders them: ascending by
    the source's bytes as the file writes it."""

    def __init__(self, encoding):
        self.encoding = encoding
        self.pairs = []        # (source, target), Unicode
        self.sources = set()

    def add(self, source, target):
        """Adds a pair unless its source is taken; True when added."""
        if source == target or source in self.sources:
            return False
        self.sources.add(source)
        self.pairs.append((source, target))
        return True

    def seal(self):
        self.pairs.sort(key=lambda pair: pair[0].replace(",", COMMA_TOKEN).encode(self.encoding))
        return self


class Pipeline:
    """The engine's character mapping and word adjustment of one direction,
    run by the native kivomap over plain copies of the libraries."""

    def __init__(self, name, kivomap, workdir):
        self.name = name
        self.kivomap = kivomap
        self.workdir = workdir
        self.encoding = ENCODING[name]

    def convert(self, phrases, libraries=()):
        """What the mapping and then `libraries`, in order, make of each
        phrase; None where the result is not text of the direction."""
        files = []
        for number, library in enumerate(libraries):
            path = os.path.join(self.workdir, "%s-%d.txt" % (self.name, number))
            write(path, library_text(library.pairs, library.encoding))
            files.append(path)
        encoded = [p.encode(SOURCE_ENCODING[self.name]).decode("latin-1") for p in phrases]
        result = []
        for line in run_lines([self.kivomap, self.name] + files, encoded, "latin-1"):
            try:
                result.append(line.decode(self.encoding))
            except UnicodeDecodeError:
                result.append(None)
        return result


# ---------------------------------------------------------------------------
# Phrase sets


def everyday_words():
    """jieba's most frequent words, simplified text, most frequent first."""
    words = []
    try:
        with open(JIEBA_DICT, encoding="utf-8") as f:
            for line in f:
                fields = line.split(" ")
                if len(fields) >= 2 and len(fields[0]) >= 2:
                    words.append((-int(fields[1]), fields[0]))
    except (OSError, ValueError) as err:
        raise GenerationError("cannot read jieba's dictionary (Debian package python3-jieba): %s" % err)
    return [word for _, word in sorted(words)[:EVERYDAY_WORDS]]


def split_by_length(phrases):
    short = [p for p in phrases if len(p) <= 3]
    long = [p for p in phrases if len(p) >= 4]
    return short, long


class Phrases:
    """The phrases of one direction as a user writes them, grouped by the
    library they go to, with the two readings of each: `plain` (character
    level, what Base and PDAF2 aim at) and `final` (with regional
    vocabulary, what the whole pipeline aims at). With `every` above 1 only
    every so many phrases are kept: a sample to check, not to build from.

    `words` are everyday words, read by the same conversions: no pair is made
    for them, but a pair made for a phrase may rewrite part of one (制面 inside
    控制面板), so those the mapping alone gets right are checked too."""

    def __init__(self, name, dicts, words, every=1):
        def keys(dictionary):
            return dicts.keys(dictionary)[::every]

        words = words[::every]
        if name == "g2b":
            base, self.idioms = split_by_length(keys("STPhrases"))
            # The Taiwan layers are keyed by standard traditional text; the
            # mainland text a user converts is its simplified reading.
            self.vocabulary = unique(dicts.t2s(key) for key in keys("TWPhrases") + keys("TWVariantsPhrases"))
            plain, final = dicts.s2tw, dicts.s2twp
        else:
            words = [dicts.s2twp(word) for word in words]
            # The text a user converts here is Taiwan text.
            taiwan = unique([dicts.s2tw(key) for key in keys("STPhrases")] +
                            [dicts.t2tw(key) for key in keys("TSPhrases")])
            base, self.idioms = split_by_length(taiwan)
            self.vocabulary = unique(keys("TWPhrasesRev") + keys("TWVariantsRevPhrases"))
            plain, final = dicts.tw2s, dicts.tw2sp
        self.base = base
        source_encoding = SOURCE_ENCODING[name]
        self.everything = [p for p in unique(self.base + self.vocabulary + self.idioms)
                           if encodable(p, source_encoding)]
        self.plain = {p: plain(p) for p in self.everything}
        self.final = {p: final(p) for p in self.everything}
        taken = set(self.everything)
        self.words = [w for w in unique(words) if w not in taken and encodable(w, source_encoding)]
        for w in self.words:
            self.plain[w] = self.final[w] = final(w)


def usable_phrases(name, phrases, pipeline):
    """The phrases the libraries can serve: the mapping turns each into text of
    its own length without placeholders, and both readings can be written;
    and the everyday words the mapping alone already gets right."""
    encoding = ENCODING[name]
    everything = phrases.everything + phrases.words
    mapped = dict(zip(everything, pipeline.convert(everything)))
    usable = set()
    for p in phrases.everything:
        m = mapped[p]
        if (m is not None and PLACEHOLDER[name] not in m and len(m) == len(p)
                and encodable(phrases.plain[p], encoding) and encodable(phrases.final[p], encoding)):
            usable.add(p)
    words = [w for w in phrases.words if mapped[w] == phrases.final[w]]
    return usable, words


def report_agreement(report, name, phrases, checked, words, results):
    right, total = agreement(phrases, checked, results[:len(checked)])
    words_right, words_total = agreement(phrases, words, results[len(checked):])
    report.append("%s: %d of %d phrases (%.2f %%) read as the dictionaries read them; "
                  "%d of %d everyday words the mapping gets right stay right"
                  % (name, right, total, 100.0 * right / total, words_right, words_total))
    return 100.0 * right / total


# ---------------------------------------------------------------------------
# Building and repairing


def agreement(phrases, checked, results):
    right = sum(1 for p, got in zip(checked, results) if got == phrases.final[p])
    return right, len(checked)


def repairs(phrases, checked, before, encoding):
    """A final-fix library for what is still wrong: each wrong phrase's text as
    it comes to the library (`before`) becomes its reading. A text that
    phrases with two readings share is left alone, and so is a repair whose
    source lies inside the text of more phrases that are already right than
    there are phrases it mends: every one of those it would make wrong."""
    wrong = {}
    right_texts = []
    for p, got in zip(checked, before):
        if got == phrases.final[p]:
            right_texts.append(got)
        elif len(got) >= 2:
            wrong.setdefault(got, []).append(phrases.final[p])
    candidates = {got: aims[0] for got, aims in wrong.items() if len(set(aims)) == 1}
    # The substrings of the right texts, looked up once per length.
    lengths = {len(source) for source in candidates}
    harmed = {}
    for got in right_texts:
        for length in lengths:
            for source in {got[start:start + length] for start in range(len(got) - length + 1)}:
                if source in candidates:
                    harmed[source] = harmed.get(source, 0) + 1
    library = Library(encoding)
    for source in sorted(candidates):
        if harmed.get(source, 0) <= len(wrong[source]):
            library.add(source, candidates[source])
    return library.seal()


def build_direction(name, dicts, kivomap, workdir, report):
    pipeline = Pipeline(name, kivomap, workdir)
    encoding = ENCODING[name]
    phrases = Phrases(name, dicts, everyday_words())
    usable, words = usable_phrases(name, phrases, pipeline)
    checked = [p for p in phrases.everything if p in usable]
    guarded = checked + words

    def make(group, aim, before):
        group = [p for p in group if p in usable]
        library = Library(encoding)
        for p, source in zip(group, pipeline.convert(group, before)):
            if source is not None:
                library.add(source, aim[p])
        return library.seal()

    libraries = [make(phrases.base, phrases.plain, [])]
    libraries.append(make(phrases.vocabulary, phrases.final, libraries[:]))
    libraries.append(make(phrases.idioms, phrases.plain, libraries[:]))
    before = pipeline.convert(guarded, libraries)
    libraries.append(repairs(phrases, guarded, before, encoding))
    punctuation = Library(encoding)
    for mainland, taiwan in QUOTES:
        punctuation.add(mainland, taiwan) if name == "g2b" else punctuation.add(taiwan, mainland)
    libraries.append(punctuation.seal())
    before = pipeline.convert(guarded, libraries)
    libraries.append(repairs(phrases, guarded, before, encoding))

    report_agreement(report, name, phrases, checked, words, pipeline.convert(guarded, libraries))
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


def user_library_text(sample, name, pipeline):
    encoding = ENCODING[name]
    phrases = [phrase for phrase, _ in sample["pairs"]]
    for phrase, aim in sample["pairs"]:
        if not encodable(phrase, SOURCE_ENCODING[name]) or not encodable(aim, encoding):
            raise GenerationError("%s: %s = %s cannot be written" % (sample["file"], phrase, aim))
    lines = [(";[T] " + sample["title"]).encode(encoding)]
    lines += [(";" + comment).encode(encoding) for comment in sample["comments"]]
    for (phrase, aim), source in zip(sample["pairs"], pipeline.convert(phrases)):
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


def generate(output, dicts, kivomap, kivocrypt):
    report = []
    samples = read_user_samples(USER_SAMPLES)
    with tempfile.TemporaryDirectory(prefix="kivo-lumbra-") as plain_dir:
        for name in ("g2b", "b2g"):
            libraries = build_direction(name, dicts, kivomap, plain_dir, report)
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
            pipeline = Pipeline(name, kivomap, plain_dir)
            for sample in mine:
                write(os.path.join(output, "ctwa", *sample["file"].split("/")),
                      user_library_text(sample, name, pipeline))
            write(os.path.join(output, "config", "wa%s.ini" % name), catalogue_text(name, mine))
    return report


def read_built_in(folder, name, kivocrypt, workdir):
    """The committed built-in libraries of one direction, deciphered."""
    encoding = ENCODING[name]
    libraries = []
    for file_name in LIBRARY_FILES[name]:
        plain = os.path.join(workdir, file_name + ".plain")
        try:
            subprocess.run([kivocrypt, "decipher", os.path.join(folder, "ctwa", file_name + ".txt"), plain],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        except (OSError, subprocess.CalledProcessError) as err:
            raise GenerationError("kivocrypt could not decipher %s: %s" % (file_name, err))
        library = Library(encoding)
        with open(plain, "rb") as f:
            for line in f.read().decode(encoding).split("\r\n"):
                source, _, target = line.partition(",")
                if source:
                    library.pairs.append((source.replace(COMMA_TOKEN, ","), target.replace(COMMA_TOKEN, ",")))
        libraries.append(library)
    return libraries


def verify(folder, dicts, kivomap, kivocrypt, every):
    """Runs the committed libraries over every `every`-th usable phrase of each
    direction; returns the report and the lowest agreement in per cent."""
    report = []
    lowest = 100.0
    with tempfile.TemporaryDirectory(prefix="kivo-lumbra-verify-") as workdir:
        for name in ("g2b", "b2g"):
            pipeline = Pipeline(name, kivomap, workdir)
            phrases = Phrases(name, dicts, everyday_words(), every)
            usable, words = usable_phrases(name, phrases, pipeline)
            checked = [p for p in phrases.everything if p in usable]
            libraries = read_built_in(folder, name, kivocrypt, workdir)
            results = pipeline.convert(checked + words, libraries)
            lowest = min(lowest, report_agreement(report, name, phrases, checked, words, results))
    return report, lowest


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
    parser.add_argument("--dictionaries", default=DEFAULT_DICTIONARIES,
                        help="the pinned tarball of the npm package opencc (./run build fetches it)")
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    parser.add_argument("--check", action="store_true", help="compare with --output instead of writing it")
    parser.add_argument("--verify", type=float, metavar="PERCENT",
                        help="run the libraries in --output over the phrases and fail below PERCENT agreement")
    parser.add_argument("--every", type=int, default=1, help="with --verify: every N-th phrase only")
    args = parser.parse_args(argv)
    try:
        dicts = phrase_dictionaries.Dictionaries(args.dictionaries)
        if args.verify is not None:
            report, lowest = verify(args.output, dicts, args.kivomap, args.kivocrypt, max(1, args.every))
            print("\n".join(report))
            if lowest < args.verify:
                print("%s: below %.2f %% agreement" % (args.output, args.verify), file=sys.stderr)
                return 1
            return 0
        if args.check:
            with tempfile.TemporaryDirectory(prefix="kivo-lumbra-check-") as tmp:
                generate(tmp, dicts, args.kivomap, args.kivocrypt)
                if not same_tree(tmp, args.output):
                    print("%s differs from what tools/gen_lumbra_data.py makes" % args.output, file=sys.stderr)
                    return 1
            return 0
        if os.path.isdir(args.output):
            shutil.rmtree(args.output)
        for line in generate(args.output, dicts, args.kivomap, args.kivocrypt):
            print(line)
    except (GenerationError, phrase_dictionaries.DictionaryError) as err:
        print("gen_lumbra_data: %s" % err, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
