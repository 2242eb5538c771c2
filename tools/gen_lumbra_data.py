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
mapping alone gets right must stay right. So do sequences of two and three
of jieba's commonest words in which a pair's source reaches across a word
boundary (了解 in 为了|解决): each must come out as its words do one by one,
and the final-fix libraries repair those that do not.

G2B libraries hold Big5 text, B2G libraries GBK text; lines end with CR LF.
Which library holds what (see lumbra/README.md):
  Base       two- and three-character phrases (general vocabulary)
  PDAF       regional vocabulary (mainland and Taiwan words for one thing)
  PDAF2      idioms and set phrases of four characters or more
  FinalFix   fix-ups: phrases the first three libraries still leave wrong,
             because a shorter pair rewrote part of a longer phrase first,
             and word sequences a pair broke across a boundary
  FinalFix2  punctuation: quotation marks of the other region
  FinalFix3  second-round fix-ups: what is still wrong after FinalFix,
             last with a pair of its whole text

--check compares a fresh generation with the committed folder byte for byte;
--verify runs the committed libraries over the phrases (or a sample of them)
and fails below the agreement it is given.
"""

import argparse
import bisect
import filecmp
import heapq
import math
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


class WordTable:
    """jieba's dictionary: every word with its frequency, for ranking words and
    for cutting a text into its most probable words as jieba does without its
    hidden Markov model (the cut whose product of word frequencies is
    highest; on a tie the one whose first word is longest)."""

    def __init__(self, path=JIEBA_DICT):
        self.ranked = []       # (-frequency, word), as the file lists them
        self.frequency = {}
        try:
            with open(path, encoding="utf-8") as f:
                for line in f:
                    fields = line.split(" ")
                    if len(fields) >= 2:
                        count = int(fields[1])
                        self.ranked.append((-count, fields[0]))
                        self.frequency[fields[0]] = count
        except (OSError, ValueError) as err:
            raise GenerationError("cannot read jieba's dictionary (Debian package python3-jieba): %s" % err)
        self.ranked.sort()
        self.longest = max(len(word) for word in self.frequency)
        self.log_total = math.log(sum(self.frequency.values()))

    def most_frequent(self, count, shortest=1):
        """The `count` most frequent words of `shortest` characters or more."""
        return [word for _, word in self.ranked if len(word) >= shortest][:count]

    def cut(self, text):
        best = [(0.0, 0)] * (len(text) + 1)
        for start in range(len(text) - 1, -1, -1):
            options = []
            for end in range(start + 1, min(len(text), start + self.longest) + 1):
                count = self.frequency.get(text[start:end])
                if count:
                    options.append((math.log(count) - self.log_total + best[end][0], end))
            best[start] = max(options) if options else (best[start + 1][0] - self.log_total, start + 1)
        words = []
        at = 0
        while at < len(text):
            words.append(text[at:best[at][1]])
            at = best[at][1]
        return words


def everyday_words(table):
    """jieba's most frequent words, simplified text, most frequent first."""
    return table.most_frequent(EVERYDAY_WORDS, 2)


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
    wrong = [(p, got) for p, got in zip(checked + words, results) if got != phrases.final[p]]
    for p, got in wrong[:10]:
        report.append("    %s -> %s, not %s" % (p, got, phrases.final[p]))
    return 100.0 * right / total


# ---------------------------------------------------------------------------
# Words next to words
#
# A pair's source matches wherever it stands, also across the boundary of two
# words that each read right alone: 为了 + 解决 holds 了解, so a pair for 了解
# breaks both. The check takes the most frequent words of jieba's dictionary,
# single characters included (particles and measure words do most of this),
# and keeps the sequences of two and three of them where some library's source
# straddles a boundary as the text stands when that library comes, and which
# jieba itself would cut into exactly those words. Such a sequence must come
# out as its words do one by one.

SEQUENCE_WORDS = {2: 4000, 3: 1000}   # words per sequence: how many of the commonest words
PROBES = 6                             # rounds of looking for what the last repairs reach across
SEQUENCE_SAMPLE = 1                    # the committed data's test takes every so many: all, under a second


class WordSequences:
    """The commonest words of one direction, as a user writes them (`text`)
    and as they should read (`aim`), and the sequences of them to check."""

    def __init__(self, name, dicts, table):
        self.name = name
        self.table = table
        self.text = {}
        self.aim = {}
        # Text that is a word or a phrase of its own is not a sequence: in
        # simplified text (jieba's words too, below) and, for B2G, in the
        # traditional text it is converted from.
        self.whole = set(dicts.keys("STPhrases"))
        self.whole.update(dicts.t2s(key) for key in dicts.keys("TWPhrases") + dicts.keys("TWVariantsPhrases"))
        self.whole_text = set()
        if name == "b2g":
            for dictionary in ("TSPhrases", "TWPhrasesRev", "TWVariantsRevPhrases"):
                self.whole_text.update(dicts.keys(dictionary))
            self.whole_text.update(value for _, value in dicts.dicts["STPhrases"].entries)
        for word in table.most_frequent(SEQUENCE_WORDS[2]):
            text = word if name == "g2b" else dicts.s2twp(word)
            aim = dicts.s2twp(word) if name == "g2b" else dicts.tw2sp(text)
            if encodable(text, SOURCE_ENCODING[name]) and encodable(aim, ENCODING[name]):
                self.text[word] = text
                self.aim[word] = aim
        self.words = list(self.text)   # most frequent first
        self.rank = {word: number for number, word in enumerate(self.words)}
        # What a piece of a sequence's text reads as, alone: the dictionaries'
        # own conversion of the direction.
        self.dicts = dicts
        self.read_alone = dicts.s2twp if name == "g2b" else dicts.tw2sp
        self.readings_alone = {}
        self.known = {}
        self.sequences_known = {}

    def sequence_text(self, sequence):
        return "".join(self.text[word] for word in sequence)

    def sequence_aim(self, sequence):
        return "".join(self.aim[word] for word in sequence)

    def find(self, pipeline, libraries, probe=None):
        """The sequences to check against `libraries`: their words read right
        alone, some source of a library straddles a boundary between them, and
        jieba cuts their text into just those words. In a fixed order. With
        `probe`, a library that would come next, those its sources straddle
        too: the sequences a repair might break."""
        readings = dict(zip(self.words, pipeline.convert([self.text[w] for w in self.words], libraries)))
        right = [w for w in self.words if readings[w] == self.aim[w]]
        middle = set(right[:SEQUENCE_WORDS[3]])
        found = set()
        for number, library in enumerate(libraries):
            stage = pipeline.convert([self.text[w] for w in right], libraries[:number])
            found |= straddled(dict(zip(right, stage)), library, middle)
        if probe is not None:
            found |= straddled({w: readings[w] for w in right}, probe, middle)
        return self.ordered(sequence for sequence in found if self.is_sequence(sequence)), readings

    def ordered(self, sequences):
        """`sequences` in the fixed order of the check: two words before
        three, the commonest words first."""
        return sorted(sequences, key=lambda sequence: (len(sequence), [self.rank[w] for w in sequence]))

    def is_sequence(self, sequence):
        """True when the words' text is no word or phrase of its own and jieba
        cuts it into just these words."""
        known = self.sequences_known.get(sequence)
        if known is None:
            joined = "".join(sequence)
            known = (joined not in self.whole and joined not in self.table.frequency
                     and self.sequence_text(sequence) not in self.whole_text
                     and self.table.cut(joined) == list(sequence))
            self.sequences_known[sequence] = known
        return known

    def straddles(self, pipeline, libraries):
        """An index of the words that read right through `libraries`, as the
        next library would see them: which sequences of them a source would
        reach across."""
        readings = dict(zip(self.words, pipeline.convert([self.text[w] for w in self.words], libraries)))
        right = {w: readings[w] for w in self.words if readings[w] == self.aim[w]}
        return Straddles(right, set([w for w in self.words if w in right][:SEQUENCE_WORDS[3]]))

    def damaged(self, pipeline, libraries, sequences, readings):
        """The sequences that `libraries` convert otherwise than their words
        one by one, as (sequence, what it became)."""
        texts = [self.sequence_text(s) for s in sequences]
        out = []
        for sequence, got in zip(sequences, pipeline.convert(texts, libraries)):
            if got != "".join(readings[w] for w in sequence):
                out.append((sequence, got))
        return out

    def likelihood(self, sequence):
        """How often jieba's frequencies say the words stand so: the product
        of their probabilities."""
        return math.exp(sum(math.log(self.table.frequency.get(w, 1)) - self.table.log_total for w in sequence))

    def is_word(self, text):
        """True when `text`, as a user of the direction writes it, is a word of
        jieba's dictionary or a phrase of the dictionaries."""
        if self.name == "g2b":
            return text in self.table.frequency or text in self.whole
        known = self.known.get(text)
        if known is None:
            known = self.known[text] = (text in self.whole_text or self.dicts.t2s(text) in self.table.frequency)
        return known

    def reads_otherwise(self, sequence, got):
        """True when the sequence's text can also be cut into other words, no
        more of them than the sequence has, whose readings, each alone, give
        `got`: 有|效能 holds 有效|能 too, and the text alone cannot tell which
        was meant, so 有效能 is a right reading of it and no damage. (Cut
        finer, almost any text holds some other reading: 为|了解|决.)"""
        text = self.sequence_text(sequence)
        # reach[i]: the lengths of `got` that the cuts of text[:i] into words
        # can read as, each with the fewest words that do.
        reach = [{} for _ in range(len(text) + 1)]
        reach[0][0] = 0
        for start in range(len(text)):
            if not reach[start]:
                continue
            for end in range(start + 1, min(len(text), start + self.table.longest) + 1):
                piece = text[start:end]
                if not self.is_word(piece):
                    continue
                reading = self.readings_alone.get(piece)
                if reading is None:
                    reading = self.readings_alone[piece] = self.read_alone(piece)
                for at, pieces in reach[start].items():
                    if got.startswith(reading, at):
                        further = reach[end].get(at + len(reading))
                        if further is None or further > pieces + 1:
                            reach[end][at + len(reading)] = pieces + 1
        return reach[len(text)].get(len(got), len(sequence) + 1) <= len(sequence)


class Straddles:
    """Which sequences of two words of `stage` (word -> its text as a library
    sees it), and of three whose middle word is one of `middle_words`, a
    source would reach across: starting in the first word, ending in the
    last."""

    def __init__(self, stage, middle_words):
        self.middle_words = middle_words
        self.stage = stage
        self.starting = {}
        self.ending = {}
        self.whole = {}
        for word, text in stage.items():
            if not text:
                continue
            self.whole.setdefault(text, []).append(word)
            for length in range(1, len(text) + 1):
                self.starting.setdefault(text[:length], []).append(word)
                self.ending.setdefault(text[-length:], []).append(word)

    def of(self, source):
        found = set()
        middle_words = self.middle_words
        for cut in range(1, len(source)):
            firsts = self.ending.get(source[:cut])
            if not firsts:
                continue
            rest = source[cut:]
            for second in self.starting.get(rest, ()):
                for first in firsts:
                    found.add((first, second))
            for cut2 in range(1, len(rest)):
                middles = [w for w in self.whole.get(rest[:cut2], ()) if w in middle_words]
                if not middles:
                    continue
                lasts = [w for w in self.starting.get(rest[cut2:], ()) if w in middle_words]
                for middle in middles:
                    for first in firsts:
                        if first in middle_words:
                            for last in lasts:
                                found.add((first, middle, last))
        return found


def straddled(stage, library, middle_words):
    """The sequences of `stage` that some source of `library` reaches across."""
    index = Straddles(stage, middle_words)
    found = set()
    for source in {source for source, _ in library.pairs}:
        found |= index.of(source)
    return found


# ---------------------------------------------------------------------------
# Building and repairing


def agreement(phrases, checked, results):
    right = sum(1 for p, got in zip(checked, results) if got == phrases.final[p])
    return right, len(checked)


class Finder:
    """Finds which of a set of texts occur inside a text: each start is
    followed only as long as it begins one of them."""

    def __init__(self, wanted):
        self.wanted = wanted
        self.beginnings = {text[:length] for text in wanted for length in range(1, len(text) + 1)}

    def inside(self, text):
        found = set()
        for at in range(len(text)):
            end = at + 1
            while end <= len(text) and text[at:end] in self.beginnings:
                if text[at:end] in self.wanted:
                    found.add(text[at:end])
                end += 1
        return found

    def count(self, texts):
        """How many of `texts` hold each wanted text."""
        held = {}
        for text in texts:
            for part in self.inside(text):
                held[part] = held.get(part, 0) + 1
        return held


def repairs(aims, before, encoding, words=None, straddles=None, weights=None):
    """A final-fix library for what is still wrong: each wrong item's text as
    it comes to the library (`before`) becomes its reading (`aims`). A text
    that items with two readings share is left alone, and so is a repair whose
    source lies inside the text of more items that are already right than
    there are items it mends: every one of those it would make wrong.

    With `words`, only the first `words` items are phrases and words; the
    rest are word sequences, repaired after them. With `straddles` (a
    function: the texts of the right sequences a source would reach across)
    a later library puts back what a sequence's repair breaks, and the
    sequences are repaired with the least context that decides them, see
    context_repairs (`weights`: how likely each sequence is). Without,
    nothing follows: a sequence's repair is its
    whole text as it comes, it may not touch the text of any phrase or word,
    wrong or right (it could get between a phrase and its own repair), it
    mends every wrong sequence whose text holds its source and comes out
    right by it (了|解决 mends 为了|解决 too), and it must mend more than it
    breaks: between two sequences it is a coin toss."""
    words = len(aims) if words is None else words
    library = Library(encoding)
    wrong = {}
    right_texts = []
    for aim, got in zip(aims[:words], before[:words]):
        if got == aim:
            right_texts.append(got)
        elif got is not None and len(got) >= 2:
            wrong.setdefault(got, []).append(aim)
    candidates = {got: aims[0] for got, aims in wrong.items() if len(set(aims)) == 1}
    harmed = Finder(candidates).count(right_texts)
    for source in sorted(candidates):
        if harmed.get(source, 0) <= len(wrong[source]):
            library.add(source, candidates[source])
    if words == len(aims):
        return library.seal()

    sequences = list(zip(aims[words:], before[words:]))
    if straddles is not None:
        for source, target in context_repairs(aims[:words] + before[:words], sequences, library.sources,
                                              straddles, weights):
            library.add(source, target)
        return library.seal()
    wrong = {}
    for aim, got in sequences:
        if got is not None and got != aim and len(got) >= 2:
            wrong.setdefault(got, []).append(aim)
    # A sequence that is right as it stands shares its text with the wrong
    # ones of the same text: no later library could tell them apart.
    shared = {got for aim, got in sequences if got == aim}
    candidates = {got: aims[0] for got, aims in wrong.items()
                  if len(set(aims)) == 1 and got not in library.sources and got not in shared}
    finder = Finder(candidates)
    touched = finder.count(t for t in before[:words] + aims[:words] if t)
    harmed = {}
    for aim, got in sequences:
        if got is not None and got == aim:
            for source in finder.inside(got):
                harmed.setdefault(source, []).append(got)
    mended = {}
    for number, (aim, got) in enumerate(sequences):
        if got is None or got == aim:
            continue
        for part in finder.inside(got):
            if got.replace(part, candidates[part]) == aim:
                mended.setdefault(part, []).append(number)
    backs = puts_back(harmed, candidates, [t for t in before + aims if t], encoding)
    # Shortest first: a longer repair that mends nothing a shorter one does
    # not is left out.
    covered = set()
    for source in sorted(candidates, key=lambda source: (len(source), source)):
        mends = mended.get(source, [])
        if source in touched or covered.issuperset(mends):
            continue
        kept = {broken: text for broken, text in backs.get(source, {}).items() if broken not in library.sources}
        lost = [text for text in harmed.get(source, ()) if text.replace(source, candidates[source]) not in kept]
        if len(lost) < len(mends):
            library.add(source, candidates[source])
            for broken, text in sorted(kept.items()):
                library.add(broken, text)
            covered.update(mends)
    return library.seal()


def library_order(text, encoding):
    """Where a source stands in its library: the engine applies a library's
    pairs in the byte order of their sources as the file writes them."""
    return text.replace(",", COMMA_TOKEN).encode(encoding)


def puts_back(harmed, candidates, texts, encoding):
    """What the last library can put back of the right texts a repair of it
    breaks, in the same library: a pair from the broken text to the right one
    applies after the repair when its source comes later in the library's
    order (決定製作戰 after 決定制作, the repair of 决定|制作 that breaks
    决定|制|作战). `harmed`: source -> the right texts that hold it;
    `candidates`: source -> target; `texts`: every text the libraries see or
    aim at, phrases, words and sequences. Only a broken text that none of
    them holds is put back, so the pair touches nothing but what the repair
    wrote. Returns source -> {broken text: right text}."""
    proposed = {}
    readings = {}     # broken text -> the right texts it comes from
    for source, rights in harmed.items():
        order = library_order(source, encoding)
        for text in rights:
            broken = text.replace(source, candidates[source])
            if library_order(broken, encoding) > order:
                proposed.setdefault(source, {})[broken] = text
                readings.setdefault(broken, set()).add(text)
    anywhere = Finder({broken for kept in proposed.values() for broken in kept}).count(texts)
    # A broken text that two right texts become stands for neither.
    anywhere.update((broken, 2) for broken, rights in readings.items() if len(rights) > 1)
    backs = {}
    for source, kept in proposed.items():
        kept = {broken: text for broken, text in kept.items() if broken not in anywhere}
        if kept:
            backs[source] = kept
    return backs


def differing(got, aim):
    """Where `got` and `aim` part: the lengths of their common beginning and
    of their common end, which do not overlap in the shorter of them."""
    shorter = min(len(got), len(aim))
    begin = 0
    while begin < shorter and got[begin] == aim[begin]:
        begin += 1
    end = 0
    while end < shorter - begin and got[-1 - end] == aim[-1 - end]:
        end += 1
    return begin, end


def context_repairs(guarded_texts, sequences, taken, straddles, weights=None):
    """Repairs of the wrong word sequences, each with the least context that
    decides it, so that one pair mends every sequence that holds its text
    (為瞭 -> 為了 mends 为了|解决, 为了|解释 and the rest).

    `sequences` are (reading, text as it comes to the library). A candidate
    repair is any piece of a wrong sequence's text that holds all of what
    differs and is two characters or more, with the same piece of its
    reading. What it mends: the wrong sequences it turns right. What it
    breaks: the phrases and words whose text holds it (`guarded_texts`, as
    they come and as they read), the wrong sequences it changes without
    mending them, the right sequences that hold it, and the right sequences
    it would reach across (`straddles(source)`, their texts). FinalFix3 puts
    back from the longer text what a repair breaks, one pair each, so a
    repair earns its pair when it mends at least two more sequences than it
    breaks; the best of those are taken first. A sequence none of them mends
    gets the piece of its own that breaks the least. What could not be put
    back without undoing the mending (the text a broken phrase or sequence
    has then lies inside a mended one) counts as lost: no such phrase, and
    lost sequences only where the repair mends more than it breaks and
    loses together. `taken`: sources the library has already. Where damaged
    sequences of two readings share a text (国家|具 and 国家|俱 both become
    國傢俱), the likelier reading by `weights` (one a sequence, how often
    such text means it) wins, if it is likelier than the others together.
    """
    weights = [1.0] * len(sequences) if weights is None else weights
    wrong = []
    weight = []
    for (aim, got), likely in zip(sequences, weights):
        if got is not None and got != aim and len(got) >= 2:
            wrong.append((aim, got))
            weight.append(likely)
    right_texts = [got for aim, got in sequences if got is not None and got == aim]
    options = {}     # source -> {target: numbers of the wrong sequences it mends}
    own = []         # per wrong sequence: its candidate (source, target)s
    for number, (aim, got) in enumerate(wrong):
        begin, end = differing(got, aim)
        mine = []
        for start in range(begin + 1):
            for stop in range(len(got) - end, len(got) + 1):
                if stop - start < 2:
                    continue
                source = got[start:stop]
                target = aim[start:len(aim) - (len(got) - stop)]
                if source in taken or got.replace(source, target) != aim:
                    continue
                options.setdefault(source, {}).setdefault(target, []).append(number)
                mine.append((source, target))
        own.append(mine)
    finder = Finder(options)

    def holders(texts):
        held = {}
        for text in texts:
            for source in finder.inside(text):
                held.setdefault(source, []).append(text)
        return held

    broken_phrases = holders(set(t for t in guarded_texts if t))
    broken_right = holders(right_texts)
    holding = {}     # source -> numbers of the wrong sequences that hold it
    for number, (_, got) in enumerate(wrong):
        for source in finder.inside(got):
            holding.setdefault(source, []).append(number)
    best = {}
    for source, targets in options.items():
        likely = {target: math.fsum(weight[number] for number in numbers) for target, numbers in targets.items()}
        target = max(targets, key=lambda target: (likely[target], target))
        mends = targets[target]
        if 2 * likely[target] <= math.fsum(likely.values()):
            continue
        # 箇中 -> 個中 mends 一个|中国 but is the word 个中 itself: putting
        # that back would undo it.
        phrases = broken_phrases.get(source, [])
        if any(text.replace(source, target) in wrong[number][0] for text in phrases for number in mends):
            continue
        spoiled = len(holding.get(source, ())) - len(mends)
        best[source] = (target, set(mends), len(phrases) + len(broken_right.get(source, ())) + spoiled)
    reached = {}

    def breaks(source):
        """What a repair breaks, and how much of that is lost (多|任务|作 and
        很多|工作 meet in one text once 多工 -> 多任务 has rewritten the
        second)."""
        if source not in reached:
            target, mends, harm = best[source]
            across = straddles(source)
            aims = [wrong[number][0] for number in mends]
            others = [wrong[number][1] for number in holding.get(source, []) if number not in mends]
            lost = sum(1 for text in across + broken_right.get(source, []) + others
                       if any(text.replace(source, target) in aim for aim in aims))
            reached[source] = (harm + len(across), lost)
        return reached[source]

    covered = set()
    chosen = {}
    heap = [(-(len(mends) - harm), source) for source, (_, mends, harm) in best.items()]
    heapq.heapify(heap)
    while heap:
        _, source = heapq.heappop(heap)
        target, mends, _ = best[source]
        harm, lost = breaks(source)
        gain = len(mends - covered) - harm
        if lost or gain < 2:
            continue
        if heap and gain < -heap[0][0]:
            heapq.heappush(heap, (-gain, source))
            continue
        chosen[source] = target
        covered |= mends
    def acceptable(source):
        harm, lost = breaks(source)
        return not lost or harm + lost <= len(best[source][1] - covered)

    for number, mine in enumerate(own):
        if number in covered:
            continue
        mine = [option for option in mine if option[0] in best and acceptable(option[0])]
        if mine:
            # The least broken and lost; of those the longest, which reaches
            # across the fewest other sequences.
            source, target = min(mine, key=lambda option: breaks(option[0])[::-1] + (-len(option[0]), option[0]))
            chosen[source] = target
            covered |= best[source][1]
    return sorted(chosen.items())


def steps(pairs, text, start=0):
    """What one library does to `text`, pair by pair as the engine applies
    them from the pair at `start` on: the texts in turn, each with the
    number of pairs applied before it stood so (the first is `text` itself,
    at `start`)."""
    out = [(start, text)]
    for number in range(start, len(pairs)):
        source, target = pairs[number]
        if source in text:
            text = text.replace(source, target)
            out.append((number + 1, text))
    return out


def unchained(library):
    """`library` without the pairs whose target a later pair of its own
    rewrites: 档案 -> 文件 comes before 文件 -> 文档, and would make every
    档案 文档. Such a phrase is left to FinalFix, which comes after."""
    while True:
        # A pair always applies to its own source, and only once.
        chained = {source for number, (source, target) in enumerate(library.pairs)
                   if steps(library.pairs, source, number)[-1][1] != target}
        if not chained:
            return library
        kept = Library(library.encoding)
        for source, target in library.pairs:
            if source not in chained:
                kept.add(source, target)
        library = kept.seal()


def whole_text_repairs(pairs, encoding, wrong):
    """Pairs for the last library that turn each wrong item, as the library
    works on it, into its reading: `wrong` is (text as it comes, reading,
    the item).
    An item's pair has for its source the whole text the item has at some
    point of the library, and stands in the library's order just where the
    text is so, between the pair that made it and the next that changes it;
    what the pairs after it make of the reading must still be the reading.
    A source two readings would want is left alone. Returns source ->
    (target, the items it is for)."""
    order = [library_order(source, encoding) for source, _ in pairs]
    sources = set(source for source, _ in pairs)
    wanted = {}
    for text, aim, item in wrong:
        walk = steps(pairs, text)
        for (made, now), (changed, _) in zip(walk, walk[1:] + [(len(pairs) + 1, None)]):
            key = library_order(now, encoding)
            if now in sources or len(now) < 2 or (made and key <= order[made - 1]):
                continue
            if changed <= len(pairs) and key >= order[changed - 1]:
                continue
            if steps(pairs, aim, bisect.bisect_right(order, key))[-1][1] == aim:
                wanted.setdefault(now, {}).setdefault(aim, []).append(item)
                break
    return {source: next(iter(aims.items())) for source, aims in wanted.items() if len(aims) == 1}


def put_back(pairs, encoding, walk, at):
    """A pair that undoes what the pair that made step `at` of `walk` (what
    `steps` gives) did to the text, standing in the library just behind it:
    the text it made becomes the text before, when that sorts after the
    pair's source and before the next pair that changes it. None where it
    cannot be."""
    made = walk[at][0]
    broken, was = walk[at][1], walk[at - 1][1]
    if was == pairs[made - 1][0]:
        return None     # the text is the whole source: two readings share it
    key = library_order(broken, encoding)
    if key <= library_order(pairs[made - 1][0], encoding):
        return None
    if at + 1 < len(walk) and key >= library_order(pairs[walk[at + 1][0] - 1][0], encoding):
        return None
    return broken, was


def polish(pipeline, libraries, items_for, encoding):
    """Mends, in the last library, what is still wrong of the items
    `items_for(libraries)` gives ((text, reading) of phrases, words and word
    sequences) with one pair a text, see whole_text_repairs; what such a
    pair does to an item that read right is put back just behind it, see
    put_back. Keeps only the pairs that leave every item that read right as
    it was, as the whole pipeline says, counting too the items the new pairs
    bring in (the word sequences their sources reach across). Returns the
    last library, mended, or as it was."""
    items = items_for(libraries)
    texts = [text for text, _ in items]
    got = pipeline.convert(texts, libraries)
    wrong = [number for number, (_, aim) in enumerate(items) if got[number] != aim]
    coming = pipeline.convert([texts[number] for number in wrong], libraries[:-1])
    last = libraries[-1]
    offered = whole_text_repairs(last.pairs, encoding, [(text, items[number][1], texts[number])
                                                        for number, text in zip(wrong, coming) if text])
    backs = {}      # source of a put-back -> (its target, the offered source it follows)
    results = dict(zip(texts, got))
    known = set(items)
    while offered:
        library = Library(encoding)
        for source, target in last.pairs + [(source, target) for source, (target, _) in sorted(offered.items())]:
            library.add(source, target)
        for source, (target, _) in sorted(backs.items()):
            library.add(source, target)
        library.seal()
        trial = libraries[:-1] + [library]
        checked = unique(items + items_for(trial))
        texts = [text for text, _ in checked]
        unknown = [text for text in texts if text not in results]
        results.update(zip(unknown, pipeline.convert(unknown, libraries)))
        # Spoiled: what read right and no longer does, and what the new
        # sources bring in that is wrong.
        after = dict(zip(texts, pipeline.convert(texts, trial)))
        spoiled = [text for text, aim in checked
                   if after[text] != aim and (results[text] == aim or (text, aim) not in known)]
        # A pair that does not mend the items it is for (another new pair
        # gets there first) goes too.
        culprits = {source for source, (target, own) in offered.items() if any(after[text] != target for text in own)}
        if not spoiled and not culprits:
            return library
        # The first new pair that applied to a spoiled item is put back, or
        # goes with its put-backs where it cannot be; a new source that only
        # reaches across an item wrong before goes.
        for text in pipeline.convert(spoiled, libraries[:-1]):
            walk = steps(library.pairs, text or "")
            # The source of the pair that made each step after the first.
            made_by = [None] + [library.pairs[made - 1][0] for made, _ in walk[1:]]
            at = next((at for at in range(1, len(walk)) if made_by[at] in offered or made_by[at] in backs), None)
            if at is None:
                culprits.update(source for source in list(offered) + list(backs)
                                if any(source in now for _, now in walk))
                continue
            source = made_by[at]
            back = put_back(library.pairs, encoding, walk, at) if source in offered else None
            if back is None or back[0] in library.sources:
                culprits.add(backs[source][1] if source in backs else source)
            else:
                backs[back[0]] = (back[1], source)
        culprits = {backs[source][1] if source in backs else source for source in culprits}
        offered = {source: target for source, target in offered.items() if source not in culprits}
        backs = {source: back for source, back in backs.items() if back[1] not in culprits}
    return last


def build_direction(name, dicts, table, kivomap, workdir, report):
    pipeline = Pipeline(name, kivomap, workdir)
    encoding = ENCODING[name]
    phrases = Phrases(name, dicts, everyday_words(table))
    usable, words = usable_phrases(name, phrases, pipeline)
    checked = [p for p in phrases.everything if p in usable]
    guarded = checked + words
    sequences = WordSequences(name, dicts, table)

    def make(group, aim, before):
        group = [p for p in group if p in usable]
        library = Library(encoding)
        for p, source in zip(group, pipeline.convert(group, before)):
            if source is not None:
                library.add(source, aim[p])
        return unchained(library.seal())

    def repair(libraries, last):
        """The next final-fix library: repairs of the phrases, the words and
        the word sequences that `libraries` leave wrong; the sequences found
        and how many were damaged."""
        def attempt(found, straddles=None):
            texts = guarded + [sequences.sequence_text(s) for s in found]
            aims = [phrases.final[p] for p in guarded] + [sequences.sequence_aim(s) for s in found]
            before = pipeline.convert(texts, libraries)
            damaged = sum(1 for aim, got in zip(aims[len(guarded):], before[len(guarded):]) if got != aim)
            weights = [sequences.likelihood(s) for s in found] if straddles else None
            return repairs(aims, before, encoding, len(guarded), straddles, weights), damaged

        found, _ = sequences.find(pipeline, libraries)
        if not last:
            # FinalFix: the least context that decides, FinalFix3 puts back
            # what that breaks.
            index = sequences.straddles(pipeline, libraries)
            known = set(found)

            def straddles(source):
                return ["".join(index.stage[w] for w in s) for s in index.of(source)
                        if s not in known and sequences.is_sequence(s)]

            fixes, damaged = attempt(found, straddles)
            return fixes, found, damaged
        fixes, damaged = attempt(found)
        if last:
            # A repair's own source may straddle words that read right so
            # far, and so may the source of a pair that puts something back:
            # count those among what it would break, and try again, until
            # no pair reaches across anything not yet counted.
            probed = set(found)
            for _ in range(PROBES):
                more = set(sequences.find(pipeline, libraries, fixes)[0]) - probed
                if not more:
                    break
                probed |= more
                fixes = attempt(sequences.ordered(probed))[0]
        return fixes, found, damaged

    libraries = [make(phrases.base, phrases.plain, [])]
    libraries.append(make(phrases.vocabulary, phrases.final, libraries[:]))
    libraries.append(make(phrases.idioms, phrases.plain, libraries[:]))
    fixes, found, damaged = repair(libraries, False)
    libraries.append(fixes)
    punctuation = Library(encoding)
    for mainland, taiwan in QUOTES:
        punctuation.add(mainland, taiwan) if name == "g2b" else punctuation.add(taiwan, mainland)
    libraries.append(punctuation.seal())
    libraries.append(repair(libraries, True)[0])

    guarded_items = [(p, phrases.final[p]) for p in guarded]

    def items_for(libraries):
        found, _ = sequences.find(pipeline, libraries)
        return guarded_items + [(sequences.sequence_text(s), sequences.sequence_aim(s)) for s in found]

    for _ in range(PROBES):
        mended = polish(pipeline, libraries, items_for, encoding)
        if mended is libraries[-1]:
            break
        libraries[-1] = mended

    report_agreement(report, name, phrases, checked, words, pipeline.convert(guarded, libraries))
    report_sequences(report, name, sequences, pipeline, libraries, guarded_items, (found, damaged))
    return libraries


FINAL_FIXES = 3     # where in the list the final-fix libraries begin


def shared_texts(pipeline, libraries, guarded, items):
    """How many of the word sequences `items` ((text, reading)) no final-fix
    library can bring out right with the rest: those whose text, as the
    final-fix libraries get it, is also the text of a phrase or word of
    another reading (`guarded`, which must stay right), or of other
    sequences of another reading, of which at most one reading can win.
    Returns (sequences sharing with a phrase or word, with sequences)."""
    stage = libraries[:FINAL_FIXES]
    phrase_readings = {}
    for text, (_, aim) in zip(pipeline.convert([text for text, _ in guarded], stage), guarded):
        phrase_readings.setdefault(text, []).append(aim)
    groups = {}
    for text, (_, aim) in zip(pipeline.convert([text for text, _ in items], stage), items):
        if text is not None:
            groups.setdefault(text, []).append(aim)
    with_phrases = with_sequences = 0
    for text, aims in groups.items():
        winners = phrase_readings.get(text, aims)
        winner = max(set(winners), key=lambda aim: (winners.count(aim), aim))
        lost = sum(1 for aim in aims if aim != winner)
        if text in phrase_readings:
            with_phrases += lost
        else:
            with_sequences += lost
    return with_phrases, with_sequences


def report_sequences(report, name, sequences, pipeline, libraries, guarded, first=None, every=1):
    """Checks every `every`-th of the word sequences against the whole
    pipeline and reports them (with `first`, the sequences the first repair
    found and how many of them were damaged then); returns the damaged share
    of those checked."""
    found, readings = sequences.find(pipeline, libraries)
    found = found[::every]
    damaged = sequences.damaged(pipeline, libraries, found, readings)
    counts = [sum(1 for s in found if len(s) == n) for n in (2, 3)]
    line = ("%s: %d sequences of two of the %d commonest words and %d of three of the %d commonest, "
            "where a source straddles a boundary" % (name, counts[0], SEQUENCE_WORDS[2], counts[1], SEQUENCE_WORDS[3]))
    if first is not None:
        line += "; %d of %d damaged before the final-fix libraries" % (first[1], len(first[0]))
    bigrams = sum(1 for s, _ in damaged if len(s) == 2)
    line += "; %d damaged%s (%d of two words, %d of three)" % (
        len(damaged), " after them" if first is not None else "", bigrams, len(damaged) - bigrams)
    report.append(line)
    # Strictly, a sequence must read as its words do; but where its text can
    # also be cut into other words that read as the engine's result, the text
    # alone does not say which was meant.
    ambiguous = [(s, got) for s, got in damaged if got is not None and sequences.reads_otherwise(s, got)]
    left = [item for item in damaged if item not in ambiguous]
    report.append("%s: %d of the damaged read as another cut of their text does; %d damaged otherwise (%.2f %%)"
                  % (name, len(ambiguous), len(left), 100.0 * len(left) / max(1, len(found))))
    for sequence, got in left[:10]:
        report.append("    %s -> %s, not %s" % ("|".join(sequences.text[w] for w in sequence), got,
                                              "".join(readings[w] for w in sequence)))
    with_phrases, with_sequences = shared_texts(
        pipeline, libraries, guarded, [(sequences.sequence_text(s), sequences.sequence_aim(s)) for s in found])
    report.append("%s: no final-fix pair can mend %d (%.2f %%): their text, as the final-fix libraries get it, "
                  "is also that of a phrase or word of another reading (%d) or of sequences of another reading (%d)"
                  % (name, with_phrases + with_sequences, 100.0 * (with_phrases + with_sequences) / max(1, len(found)),
                     with_phrases, with_sequences))
    return len(damaged) / max(1, len(found)), len(left) / max(1, len(found))


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
    table = WordTable()
    with tempfile.TemporaryDirectory(prefix="kivo-lumbra-") as plain_dir:
        for name in ("g2b", "b2g"):
            libraries = build_direction(name, dicts, table, kivomap, plain_dir, report)
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


def verify(folder, dicts, kivomap, kivocrypt, every, sequence_every=1):
    """Runs the committed libraries over every `every`-th usable phrase of each
    direction and every `sequence_every`-th word sequence; returns the
    report, the lowest agreement in per cent and the damaged share of the
    sequences by direction."""
    report = []
    lowest = 100.0
    damaged = {}
    table = WordTable()
    with tempfile.TemporaryDirectory(prefix="kivo-lumbra-verify-") as workdir:
        for name in ("g2b", "b2g"):
            pipeline = Pipeline(name, kivomap, workdir)
            phrases = Phrases(name, dicts, everyday_words(table), every)
            usable, words = usable_phrases(name, phrases, pipeline)
            checked = [p for p in phrases.everything if p in usable]
            libraries = read_built_in(folder, name, kivocrypt, workdir)
            results = pipeline.convert(checked + words, libraries)
            lowest = min(lowest, report_agreement(report, name, phrases, checked, words, results))
            sequences = WordSequences(name, dicts, table)
            damaged[name] = report_sequences(report, name, sequences, pipeline, libraries,
                                             [(p, phrases.final[p]) for p in checked + words], every=sequence_every)
    return report, lowest, damaged


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
            report, lowest, _ = verify(args.output, dicts, args.kivomap, args.kivocrypt, max(1, args.every),
                                       max(1, args.every))
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
