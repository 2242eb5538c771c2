"""The committed stand-in Lumbra data through the engine's own pipeline
(kivomap, the libraries deciphered by kivocrypt): words its earlier versions
got wrong come out right, a sample of the dictionaries' phrases agrees with
their reading, and the generator's repair step keeps what it must.

    lumbra_data_test.py KIVOMAP KIVOCRYPT LUMBRA-DATA [DICTIONARIES]
"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import gen_lumbra_data  # noqa: E402
import phrase_dictionaries  # noqa: E402

KIVOMAP, KIVOCRYPT, DATA = sys.argv[1:4]
DICTIONARIES = sys.argv[4] if len(sys.argv) > 4 else gen_lumbra_data.DEFAULT_DICTIONARIES

# Input as a user writes it, and what the whole pipeline must make of it.
CONVERSIONS = {
    "g2b": [
        ("演算法", "演算法"),      # 算法 -> 演算法 must not apply to it again
        ("胚胎发育", "胚胎發育"),  # 胎发 -> 胎髮 must not win over 发育
        ("字节跳动", "字節跳動"),  # a name, not 字节 -> 位元組
        ("英伟达", "輝達"),
        ("大数据", "大數據"),      # not 数据 -> 資料
        ("算法", "演算法"),
        ("头发", "頭髮"),
        ("软件", "軟體"),
        ("鼠标", "滑鼠"),
        ("控制面板", "控制面板"),  # not 制面 -> 製麵 inside it
        ("“引号”", "「引號」"),
        ("为了解决", "為了解決"),  # 了解 -> 瞭解 must not reach across the words
        ("了如果", "了如果"),
        ("后皇帝", "後皇帝"),
        ("决定制作", "決定製作"),  # FinalFix3 mends it and puts 决定|制|作战 back after
        ("一只日本", "一隻日本"),
        ("若干周", "若干週"),      # mended by its whole text, 若干周围 put back behind
        ("若干周围", "若干周圍"),
    ],
    "b2g": [
        ("演算法", "算法"),
        ("輝達", "英伟达"),
        ("位元組", "字节"),
        ("字節跳動", "字节跳动"),
        ("大數據", "大数据"),
        ("資料", "数据"),
        ("軟體", "软件"),
        ("頭髮", "头发"),
        ("「引號」", "“引号”"),
        ("多工作", "多工作"),      # 多工 -> 多任务 must not reach across the words
        ("為著名", "为著名"),
        ("地方程式碼", "地方代码"),  # mended by its whole text
        ("程式", "程序"),          # not on to 进程 by 程序 -> 进程 of the same library
        ("檔案", "文件"),          # not on to 文档 by 文件 -> 文档
    ],
}


# The share of word sequences that may still come out otherwise than their
# words do: what the final-fix libraries cannot repair without breaking a
# phrase or as many other sequences (gen_lumbra_data.py reports them), with
# a little room.
DAMAGED_SEQUENCES = {"g2b": 0.011, "b2g": 0.135}
# Of those, the share whose text no other cut into words reads as the
# engine did either.
DAMAGED_OTHERWISE = {"g2b": 0.004, "b2g": 0.068}


class CommittedData(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.workdir = tempfile.TemporaryDirectory(prefix="kivo-lumbra-test-")
        cls.libraries = {name: gen_lumbra_data.read_built_in(DATA, name, KIVOCRYPT, cls.workdir.name)
                         for name in ("g2b", "b2g")}

    @classmethod
    def tearDownClass(cls):
        cls.workdir.cleanup()

    def test_words_come_out_as_they_should(self):
        for name, cases in CONVERSIONS.items():
            pipeline = gen_lumbra_data.Pipeline(name, KIVOMAP, self.workdir.name)
            results = pipeline.convert([text for text, _ in cases], self.libraries[name])
            for (text, expected), got in zip(cases, results):
                with self.subTest(direction=name, text=text):
                    self.assertEqual(got, expected)

    def test_a_sample_of_the_dictionaries_and_of_word_sequences_agrees(self):
        dicts = phrase_dictionaries.Dictionaries(DICTIONARIES)
        report, lowest, damaged = gen_lumbra_data.verify(DATA, dicts, KIVOMAP, KIVOCRYPT, 25,
                                                         gen_lumbra_data.SEQUENCE_SAMPLE)
        print("\n".join(report))
        self.assertGreaterEqual(lowest, 99.0)
        for name, (strict, refined) in damaged.items():
            with self.subTest(direction=name):
                self.assertLessEqual(strict, DAMAGED_SEQUENCES[name])
                self.assertLessEqual(refined, DAMAGED_OTHERWISE[name])


class Repairs(unittest.TestCase):
    """The final-fix step on phrases made up for it (Big5 text, as in G2B)."""

    def repair(self, final, before):
        checked = list(final)
        return gen_lumbra_data.repairs([final[p] for p in checked], [before[p] for p in checked], "cp950").pairs

    def test_a_wrong_phrase_is_repaired_from_what_it_became(self):
        self.assertEqual(self.repair({"演算法": "演算法"}, {"演算法": "演演算法"}), [("演演算法", "演算法")])

    def test_a_text_two_phrases_share_with_two_readings_is_left_alone(self):
        self.assertEqual(self.repair({"甲": "乾杯", "乙": "幹杯"}, {"甲": "干杯", "乙": "干杯"}), [])

    def test_a_repair_that_harms_more_right_phrases_than_it_mends_is_left_out(self):
        final = {"一": "頭髮", "二": "頭發言", "三": "頭發表"}
        before = {"一": "頭發", "二": "頭發言", "三": "頭發表"}
        self.assertEqual(self.repair(final, before), [])
        del final["三"], before["三"]
        self.assertEqual(self.repair(final, before), [("頭發", "頭髮")])

    def repair_sequences(self, words, sequences):
        """`words` and `sequences`: {text: (reading, as it comes to the library)}."""
        items = list(words.values()) + list(sequences.values())
        return gen_lumbra_data.repairs([aim for aim, _ in items], [got for _, got in items], "cp950",
                                       len(words)).pairs

    def test_a_sequence_repair_mends_longer_sequences_and_spares_phrases_and_shared_texts(self):
        words = {"了解": ("瞭解", "瞭解")}
        sequences = {"了|解决": ("了解決", "瞭解決"), "为了|解决": ("為了解決", "為瞭解決"),
                     "除了|解决": ("除了解決", "除瞭解決"), "了解|决定": ("瞭解決定", "瞭解決定")}
        # Mends three, breaks one.
        self.assertEqual(self.repair_sequences(words, sequences), [("瞭解決", "了解決")])
        # Where it cannot be, each sequence gets its own.
        each_its_own = [("為瞭解決", "為了解決"), ("除瞭解決", "除了解決")]
        words["了解决定"] = ("瞭解決定", "瞭解決定")   # a phrase holding it: hands off
        self.assertEqual(self.repair_sequences(words, sequences), each_its_own)
        del words["了解决定"]
        sequences["了解|决"] = ("瞭解決", "瞭解決")    # the same text, right as it is
        self.assertEqual(self.repair_sequences(words, sequences), each_its_own)


class Unchaining(unittest.TestCase):
    def test_a_pair_whose_target_a_later_pair_rewrites_is_left_out(self):
        library = gen_lumbra_data.Library("cp936")
        for source, target in [("档案", "文件"), ("文件", "文档"), ("程式", "程序"), ("程序", "进程"), ("头发", "头发型")]:
            library.add(source, target)
        kept = gen_lumbra_data.unchained(library.seal()).pairs
        # 头发 -> 头发型 holds its own source again: the pair does not run twice.
        self.assertEqual(kept, [("程序", "进程"), ("头发", "头发型"), ("文件", "文档")])


class PuttingBack(unittest.TestCase):
    """The last library puts back, after a repair, the right sequences that
    the repair breaks, where the broken text comes later in the library's
    order (Big5 text, as in G2B): (sequences as (reading, as they come), the
    pairs)."""

    CASES = [
        # 决定|制作 mended; 决定|制|作战, which holds its text, put back.
        ([("決定製作", "決定制作"), ("決定制作戰", "決定制作戰")],
         [("決定制作", "決定製作"), ("決定製作戰", "決定制作戰")]),
        # 機關係為了 comes before 關系為了: it cannot be put back, and the
        # repair breaks as much as it mends.
        ([("關係為了", "關系為了"), ("機關系為了", "機關系為了")], []),
        # A mended sequence reads as the broken text: putting it back would
        # undo the mending, but the repair still mends more than it breaks.
        ([("決定製作", "決定制作"), ("決定製作戰爭", "決定制作戰爭"), ("決定制作戰", "決定制作戰")],
         [("決定制作", "決定製作")]),
        # Two right texts that the repair makes one: that text stands for
        # neither, the short repair breaks as much as it mends, and the
        # longer one that breaks nothing is made instead.
        ([("決定製作", "決定制作"), ("決定製作品", "決定制作品"),
          ("決定制作決定製作", "決定制作決定製作"), ("決定製作決定制作", "決定製作決定制作")],
         [("決定制作品", "決定製作品")]),
    ]

    def test_what_a_repair_breaks_is_put_back_after_it(self):
        for sequences, expected in self.CASES:
            with self.subTest(sequences=sequences):
                got = gen_lumbra_data.repairs([aim for aim, _ in sequences], [text for _, text in sequences],
                                              "cp950", 0).pairs
                self.assertEqual(got, expected)


class Polishing(unittest.TestCase):
    """The last library mends what is still wrong with a pair from the whole
    text, checked through the real pipeline (G2B: a library 為乙解決 ->
    為瞭解決, then the last library, of one pair 了解 -> 瞭解): (items as
    (text, reading), the last library's pairs)."""

    MENDED = ("為瞭解決", "為了解決")
    CASES = [
        # 为了解决 comes out 為瞭解決: its own pair, behind 了解.
        ([("为了解决", "為了解決"), ("了解", "瞭解")], [MENDED]),
        # A right item holding that text, whose broken text 為了解決定 sorts
        # before the pair: it cannot be put back, so there is no pair.
        ([("为了解决", "為了解決"), ("为了解决定", "為瞭解決定")], []),
        # 還為了解決 sorts after it: put back just behind.
        ([("为了解决", "為了解決"), ("还为了解决", "還為瞭解決")], [MENDED, ("還為了解決", "還為瞭解決")]),
        # An item that the library before makes that text, right as it is:
        # two readings share the text (a pair back would undo the mending).
        ([("为了解决", "為瞭解說"), ("为乙解决", "為瞭解決")], []),
    ]

    def test_a_wrong_item_is_mended_and_what_that_breaks_put_back_or_spared(self):
        with tempfile.TemporaryDirectory(prefix="kivo-lumbra-polish-") as workdir:
            pipeline = gen_lumbra_data.Pipeline("g2b", KIVOMAP, workdir)
            for items, expected in self.CASES:
                with self.subTest(items=items):
                    before = gen_lumbra_data.Library("cp950")
                    before.add("為乙解決", "為瞭解決")
                    last = gen_lumbra_data.Library("cp950")
                    last.add("了解", "瞭解")
                    got = gen_lumbra_data.polish(pipeline, [before.seal(), last.seal()],
                                                 lambda libraries: items, "cp950")
                    self.assertEqual(got.pairs, [("了解", "瞭解")] + expected)


class SharedTexts(unittest.TestCase):
    """The floor: sequences whose text as the final-fix libraries get it (here
    the mapping's, G2B) a phrase or other sequences of another reading
    share: (phrases and words, sequences, as (text, reading), the count with
    a phrase or word and with sequences)."""

    CASES = [
        ([("干杯", "乾杯")], [("干杯", "幹杯"), ("干杯", "幹杯")], (2, 0)),     # the phrase's reading wins
        ([], [("干杯", "幹杯"), ("干杯", "乾杯"), ("干杯", "幹杯")], (0, 1)),   # the commoner reading
        ([("干杯", "乾杯")], [("干杯", "乾杯"), ("头发", "頭髮")], (0, 0)),     # nothing shared
    ]

    def test_what_no_final_fix_can_tell_apart_is_counted(self):
        with tempfile.TemporaryDirectory(prefix="kivo-lumbra-shared-") as workdir:
            pipeline = gen_lumbra_data.Pipeline("g2b", KIVOMAP, workdir)
            for guarded, sequences, expected in self.CASES:
                with self.subTest(sequences=sequences):
                    self.assertEqual(gen_lumbra_data.shared_texts(pipeline, [], guarded, sequences), expected)


class ContextRepairs(unittest.TestCase):
    """Sequence repairs with the least context that decides them (Big5 text,
    as in G2B): (phrases and words as they come, sequences as (reading, as
    they come), the texts of right sequences that a source reaches across,
    the repairs)."""

    CASES = [
        # One pair for both 为了 sequences; 除了|解决 keeps its whole text.
        (["瞭解"], [("為了解決", "為瞭解決"), ("為了解釋", "為瞭解釋"), ("除了解決", "除瞭解決")], [],
         [("為瞭", "為了"), ("除瞭解決", "除了解決")]),
        # A right sequence holding 為瞭 (为|了望) makes the shared repair longer.
        (["瞭解"], [("為了解決", "為瞭解決"), ("為了解釋", "為瞭解釋"), ("除了解決", "除瞭解決"),
                   ("為瞭望", "為瞭望")], [],
         [("為瞭解", "為了解"), ("除瞭解決", "除了解決")]),
        # 箇中 -> 個中 would mend all three, but it is the word 个中 itself:
        # putting that back would undo them.
        (["箇中"], [("一個中國", "一箇中國"), ("一個中心", "一箇中心"), ("兩個中國", "兩箇中國")], [],
         [("一箇", "一個"), ("兩箇中國", "兩個中國")]),
        # 很多|任务|作 reads right in the text that 很多|工作 has become: the
        # repair that mends three sequences and loses it is made...
        ([], [("很多工作", "很多任務作"), ("大多工作", "大多任務作"), ("許多工作", "許多任務作")], ["很多任務作"],
         [("多任務作", "多工作")]),
        # ... one that mends only what it loses is not.
        ([], [("很多工作", "很多任務作")], ["很多任務作"], []),
        # A wrong text two readings share, with nothing to tell them apart.
        ([], [("國家具", "國傢俱"), ("國家俱", "國傢俱")], [], []),
    ]

    def test_repairs_take_the_least_context_that_decides(self):
        for guarded, sequences, across, expected in self.CASES:
            with self.subTest(sequences=sequences):
                got = gen_lumbra_data.context_repairs(guarded, sequences, set(),
                                                      lambda source: [t for t in across if source in t])
                self.assertEqual(got, expected)


class Straddling(unittest.TestCase):
    STAGE = {"为了": "為了", "了": "了", "如": "如", "果": "果", "如果": "如果", "解决": "解決"}

    def test_a_source_reaches_across_two_words_or_three_of_the_commonest(self):
        index = gen_lumbra_data.Straddles(self.STAGE, {"了", "如", "果"})
        for source, expected in [
                ("了解", {("为了", "解决"), ("了", "解决")}),
                # Three words only where all three are among the commonest.
                ("了如果", {("为了", "如果"), ("了", "如果"), ("了", "如", "果")}),
                ("解決", set())]:              # inside one word: no sequence
            with self.subTest(source=source):
                self.assertEqual(index.of(source), expected)


class OtherReadings(unittest.TestCase):
    """A damaged sequence whose text other words, no more of them, read as
    the engine did."""

    CASES = {
        "g2b": [(("国家", "具"), "國傢俱", True),        # 国|家具
                (("为了", "解决"), "為瞭解決", False),   # only 为|了解|决, three words
                (("也", "门外"), "葉門外", True)],       # 也门|外
        "b2g": [(("有", "性能"), "有效能", True),        # 有效|能
                (("也", "门外"), "叶门外", False)],      # 也門 reads 也门
    }

    def test_a_text_other_words_read_so_is_told_apart(self):
        dicts = phrase_dictionaries.Dictionaries(DICTIONARIES)
        table = gen_lumbra_data.WordTable()
        for name, cases in self.CASES.items():
            sequences = gen_lumbra_data.WordSequences(name, dicts, table)
            for sequence, got, expected in cases:
                with self.subTest(direction=name, sequence=sequence):
                    self.assertEqual(sequences.reads_otherwise(sequence, got), expected)


class Cutting(unittest.TestCase):
    def test_text_is_cut_into_its_most_probable_words(self):
        table = gen_lumbra_data.WordTable()
        for text, words in [("为了解决", ["为了", "解决"]), ("了解决定", ["了解", "决定"]),
                            ("打印度", ["打", "印度"]), ("控制面板", ["控制面板"])]:
            with self.subTest(text=text):
                self.assertEqual(table.cut(text), words)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
