"""The published OpenCC dictionaries, read from the npm registry's opencc
package, and the readings their own conversions give a text.

The package is pinned by version and by the integrity the registry publishes
for its tarball; ./run's install step fetches it into build/npm (the same pin
is written there). Nothing here goes to the network: a missing or different
tarball is an error.

The readings follow the conversions the package's configurations describe
(s2tw, s2twp, t2s, t2tw, tw2s, tw2sp): the text is cut by forward maximum
matching over the segmentation dictionaries, then each step of the chain
rewrites each segment by forward maximum matching over its dictionaries,
where a short-circuit group takes the first dictionary that matches at all
and a union group the longest match of any. A dictionary entry's first value
is the one taken. Two dictionaries the package builds rather than ships are
built here the same way: TWVariantsRev (TWVariants turned round) and the
simplified readings of the regional phrase keys that keep a Taiwan word whole
while it is cut.
"""

import base64
import hashlib
import os
import tarfile

PACKAGE = "opencc"
VERSION = "1.4.2"
INTEGRITY = ("sha512-fAo8GJy0XhFyw9zIsEHmEVKL+qK8qbw0hcCjqKN5cn2UA7FPOU6b13xpqpSUf8mLNLhBMmIVZu6J+fEjJ2KcyQ==")
TARBALL = "%s-%s.tgz" % (PACKAGE, VERSION)
MEMBER = "package/data/dictionary/%s.txt"

NAMES = ("CJK_Compatibility_Ideographs", "HKPhrases", "STCharacters", "STPhrases", "TSCharacters",
         "TSPhrases", "TWPhrases", "TWPhrasesRev", "TWVariants", "TWVariantsPhrases",
         "TWVariantsRevPhrases")


class DictionaryError(Exception):
    pass


def integrity(path):
    with open(path, "rb") as f:
        return "sha512-" + base64.b64encode(hashlib.sha512(f.read()).digest()).decode("ascii")


class Dictionary:
    """One dictionary: its entries in file order (key, first value) and a
    look-up by key, the first entry of a key winning."""

    def __init__(self, entries):
        self.entries = entries
        self.values = {}
        for key, value in entries:
            self.values.setdefault(key, value)
        # Every beginning of a key, so that a look-up stops as soon as the
        # text leaves all keys behind: most stop after a character or two.
        self.beginnings = {key[:length] for key in self.values for length in range(1, len(key) + 1)}

    @classmethod
    def parse(cls, text):
        entries = []
        for line in text.splitlines():
            if not line or line.startswith("#"):
                continue
            key, _, values = line.partition("\t")
            value = values.split(" ")[0]
            if key and value:
                entries.append((key, value))
        return cls(entries)

    def match(self, text, at):
        """The longest key that starts at `at`, as (length, value), or None."""
        found = None
        end = at + 1
        while end <= len(text) and text[at:end] in self.beginnings:
            value = self.values.get(text[at:end])
            if value is not None:
                found = (end - at, value)
            end += 1
        return found


class Group:
    def __init__(self, dictionaries, union=False):
        self.dictionaries = dictionaries
        self.union = union

    def match(self, text, at):
        best = None
        for dictionary in self.dictionaries:
            found = dictionary.match(text, at)
            if found is None:
                continue
            if not self.union:
                return found
            if best is None or found[0] > best[0]:
                best = found
        return best


def rewrite(group, text):
    out = []
    at = 0
    while at < len(text):
        found = group.match(text, at)
        if found is None:
            out.append(text[at])
            at += 1
        else:
            out.append(found[1])
            at += found[0]
    return "".join(out)


def segment(group, text):
    segments = []
    pending = ""
    at = 0
    while at < len(text):
        found = group.match(text, at)
        if found is None:
            pending += text[at]
            at += 1
        else:
            if pending:
                segments.append(pending)
                pending = ""
            segments.append(text[at:at + found[0]])
            at += found[0]
    if pending:
        segments.append(pending)
    return segments


class Conversion:
    def __init__(self, normalization, segmentation, chain):
        self.normalization = normalization
        self.segmentation = segmentation
        self.chain = chain

    def __call__(self, text):
        text = rewrite(self.normalization, text)
        segments = segment(self.segmentation, text) if self.segmentation else [text]
        for step in self.chain:
            segments = [rewrite(step, s) for s in segments]
        return "".join(segments)


class Dictionaries:
    """The dictionaries of the pinned package and the conversions built on them."""

    def __init__(self, tarball):
        if not os.path.isfile(tarball):
            raise DictionaryError("%s is missing: ./run build fetches %s %s from the npm registry"
                                  % (tarball, PACKAGE, VERSION))
        found = integrity(tarball)
        if found != INTEGRITY:
            raise DictionaryError("%s is not the pinned %s %s (integrity %s)" % (tarball, PACKAGE, VERSION, found))
        self.dicts = {}
        with tarfile.open(tarball, "r:gz") as tar:
            for name in NAMES:
                member = tar.extractfile(MEMBER % name)
                if member is None:
                    raise DictionaryError("%s holds no %s" % (tarball, MEMBER % name))
                self.dicts[name] = Dictionary.parse(member.read().decode("utf-8"))
        d = self.dicts
        d["TWVariantsRev"] = Dictionary([(value, key) for key, value in d["TWVariants"].entries])
        norm = Group([d["CJK_Compatibility_Ideographs"]])
        self.t2s = Conversion(norm, None, [Group([d["TSPhrases"], d["TSCharacters"]])])
        # Regional keys of three characters or more, read as simplified text,
        # lead to the standard traditional key; shorter ones would cut longer
        # simplified words apart.
        regional = {}
        for name in ("HKPhrases", "TWPhrases"):
            for key, _ in d[name].entries:
                simplified = self.t2s(key)
                if len(simplified) >= 3:
                    regional.setdefault(simplified, key)
        d["STPhrasesRegional"] = Dictionary(sorted(regional.items()))
        st = Group([d["STPhrases"], d["STPhrasesRegional"]], union=True)
        to_traditional = Group([st, d["STCharacters"]])
        ts = Group([d["TSPhrases"], d["TSCharacters"]])
        self.s2t = Conversion(norm, None, [to_traditional])
        self.s2tw = Conversion(norm, st, [to_traditional, Group([d["TWVariantsPhrases"], d["TWVariants"]])])
        self.s2twp = Conversion(norm, st, [to_traditional,
                                           Group([d["TWPhrases"], d["TWVariantsPhrases"], d["TWVariants"]])])
        self.t2tw = Conversion(norm, None, [Group([d["TWVariantsPhrases"], d["TWVariants"]])])
        self.tw2s = Conversion(norm, Group([d["TSPhrases"]]),
                               [Group([d["TWVariantsRevPhrases"], d["TWVariantsRev"]]), ts])
        self.tw2sp = Conversion(norm, Group([d["TSPhrases"]]),
                                [Group([d["TWPhrasesRev"], d["TWVariantsRevPhrases"], d["TWVariantsRev"]]), ts])

    def keys(self, name):
        """The keys of one dictionary in file order, each once."""
        seen = set()
        out = []
        for key, _ in self.dicts[name].entries:
            if key not in seen:
                seen.add(key)
                out.append(key)
        return out
