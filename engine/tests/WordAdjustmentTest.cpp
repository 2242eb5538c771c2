#include "CharacterMapping.h"
#include "TestText.h"
#include "TextTransfer.h"
#include "WALibraryLists.h"
#include "WALibraryText.h"
#include "WAReference.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using PairList = std::vector<std::pair<std::string, std::string>>;

std::unique_ptr<WALibrary> Library(const PairList& pairs, bool apply = true)
{
    auto lib = std::make_unique<WALibrary>();
    lib->m_bApply = apply;
    for (const auto& pair : pairs) {
        lib->m_arrSources.push_back(pair.first);
        lib->m_arrTargets.push_back(pair.second);
    }
    return lib;
}

std::string Applied(CWALibraryLists& lists, std::string text, WADirection direction = WADirection::G2B)
{
    lists.Apply(direction, text);
    return text;
}

struct ApplyCase {
    const char* what;
    unsigned codePage;
    PairList pairs;
    std::string text;
    std::string expected;
};

TEST(WordAdjustment, OnePairAfterAnother)
{
    const ApplyCase cases[] = {
        {"the shorter source sorts first", 936, {{"AB", "X"}, {"ABC", "Y"}}, "ABC ABC", "XC XC"},
        {"later pairs see earlier results", 936, {{"AB", "CD"}, {"CD", "EF"}}, "AB", "EF"},
        {"equal source reached again", 936, {{"AB", "xAB"}, {"AB", "Z"}}, "AB", "xZ"},
        {"no overlap, left to right", 1252, {{"AA", "B"}}, "AAAAA", "BBA"},
        {"inserted text not scanned again", 1252, {{"AB", "ABAB"}}, "AB-AB", "ABAB-ABAB"},
        {"empty target deletes", 936, {{"\xB0\xA1", ""}}, "\xB0\xA1x\xB0\xA1", "x"},
        {"empty source never matches", 936, {{"", "X"}}, "AB", "AB"},
        {"not inside a character", 936, {{"\xA1\xB0", "X"}}, "\xB0\xA1\xB0\xA1", "\xB0\xA1\xB0\xA1"},
        // A single-byte process code page still reads a G2B text as Big5: no
        // match from one character's trail byte into the next.
        {"Big5 characters under 1252", 1252, {{"\xA1\xB0", "X"}}, "\xB0\xA1\xB0\xA1", "\xB0\xA1\xB0\xA1"},
        {"Big5 characters under 1252 still match whole", 1252, {{"\xB0\xA1", "X"}}, "a\xB0\xA1", "aX"},
        {"Big5 trail 0x5C", 950, {{"\\\xA5", "X"}}, "\xB3\\\xA5\x40\\\xA5", "\xB3\\\xA5\x40X"},
        {"lead bytes pair up from the start", 936, {{"\x81\x81", "X"}}, "\x81\x81\x81\x81\x81", "XX\x81"},
        {"odd run of leads", 950, {{"\x81\x81", "X"}}, "a\x81\x81\x81", "aX\x81"},
        {"resumes on the text's own boundaries", 936, {{"\xB0\xA1\xB0", "Z"}},
         "\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1", "Z\xA1Z\xA1"},
        {"each pass reads the boundaries afresh", 936, {{"\xB0\xA1\xB0", "Z"}, {"\xA1\xB0", "Y"}},
         "\xB0\xA1\xB0\xA1\xB0\xA1", "ZY\xA1"},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        CWALibraryLists lists(c.codePage);
        lists.Append(WADirection::G2B, Library(c.pairs));
        EXPECT_EQ(Hex(Applied(lists, c.text)), Hex(c.expected));
    }
}

TEST(WordAdjustment, ListsDirectionsAndFlags)
{
    CWALibraryLists lists(936);
    WALibrary file;
    ParseWALibraryText(file, "ABCD,X\r\nAB,Y", false, true);
    auto read = std::make_unique<WALibrary>(file);
    read->m_bApply = true;
    lists.Append(WADirection::G2B, std::move(read));
    lists.Append(WADirection::G2B, Library({{"YC", "Q"}}, false));
    lists.Append(WADirection::G2B, nullptr);
    lists.Append(WADirection::B2G, Library({{"AB", "gb"}}));
    EXPECT_EQ(lists.WALibrariesG2B().size(), 2u);
    EXPECT_EQ(Applied(lists, "ABCD"), "YCD");
    EXPECT_EQ(Applied(lists, "ABCD", WADirection::B2G), "gbCD");

    auto uneven = Library({{"CD", "1"}});
    uneven->m_arrSources.push_back("D");
    lists.Append(WADirection::B2G, std::move(uneven));
    EXPECT_EQ(Applied(lists, "ABCD", WADirection::B2G), "gb1");

    lists.ClearWALibraryList(WADirection::G2B);
    EXPECT_TRUE(lists.WALibrariesG2B().empty());
    EXPECT_EQ(lists.WALibrariesB2G().size(), 2u);
    lists.Clear();
    EXPECT_EQ(Applied(lists, "ABCD", WADirection::B2G), "ABCD");
}

// Pairs that feed each other double the text at every step; past the limit
// the text comes back as it went in.
TEST(WordAdjustment, RunawayGrowthLeavesTheTextAlone)
{
    CWALibraryLists lists(936);
    lists.SetMaxTextBytes(4096);
    lists.Append(WADirection::G2B, Library({{"AB", "xy"}}));
    lists.Append(WADirection::G2B, Library(PairList(40, {"xy", "xyxy"})));
    EXPECT_EQ(Applied(lists, "AB"), "AB");

    lists.Clear();
    lists.Append(WADirection::G2B, Library(PairList(10, {"xy", "xyxy"})));
    EXPECT_EQ(Applied(lists, "xy").size(), 2048u);
    const std::string longer(8000, 'x');  // already past the limit: it may shrink
    lists.Append(WADirection::G2B, Library({{"xx", "x"}}));
    EXPECT_EQ(Applied(lists, longer), std::string(4000, 'x'));
}

// With the base library empty and every other one off, mode 0 is the mapping.
TEST(WordAdjustment, EmptyLibrariesLeaveTheMapping)
{
    CWALibraryLists lists(936);
    lists.Append(WADirection::G2B, Library({}));
    lists.Append(WADirection::G2B, Library({{"\xA4\xA4", "X"}}, false));
    TransferServices services;
    services.wordAdjustment = &lists;
    std::mt19937 rng(3);
    const std::string text = RandomText(rng, 4000);
    const std::string mapped = MapGbToBig5(text);
    EXPECT_EQ(TransferGbToBig5(text, TransferWithAdjustment, services), mapped);
}

// The fast engine against the one-comparison-per-character reference, over
// few distinct bytes so that sources match often, inside characters too.
TEST(WordAdjustment, SameAsTheReferenceOnRandomLibraries)
{
    std::mt19937 rng(5);
    const char alphabet[] = {'A', 'B', '\x81', '\xA4', '\x40', '\xA1', '\xE3', '\\'};
    auto randomBytes = [&](std::size_t most) {
        std::string s(rng() % (most + 1), ' ');
        for (char& c : s)
            c = alphabet[rng() % sizeof alphabet];
        return s;
    };
    for (unsigned codePage : {936u, 950u, 1252u, 932u}) {
        for (int round = 0; round < 400; ++round) {
            CWALibraryLists lists(codePage);
            std::vector<std::unique_ptr<WALibrary>> copies;
            std::vector<std::string> sources;
            for (int n = static_cast<int>(rng() % 4) + 1; n > 0; --n) {
                PairList pairs;
                for (int p = static_cast<int>(rng() % 30); p > 0; --p) {
                    std::string source = randomBytes(4);
                    // Targets that hold other sources make matches for later pairs.
                    std::string target = !sources.empty() && rng() % 3 == 0
                                             ? randomBytes(1) + sources[rng() % sources.size()]
                                             : randomBytes(5);
                    sources.push_back(source);
                    pairs.emplace_back(source, target);
                }
                auto lib = Library(pairs, rng() % 5 != 0);
                copies.push_back(std::make_unique<WALibrary>(*lib));
                lists.Append(WADirection::B2G, std::move(lib));
            }
            // Longer texts span several segments of the engine's index.
            const std::string text = randomBytes(round % 2 ? 300 : 1500);
            const std::size_t limit = rng() % 4 == 0 ? text.size() + rng() % 64 : CWALibraryLists::kDefaultMaxTextBytes;
            lists.SetMaxTextBytes(limit);
            std::string expected = text;
            // B2G text is GBK, read as such under a single-byte code page.
            wa_reference::Apply(copies, expected, codePage == 1252u ? 936u : codePage, limit);
            ASSERT_EQ(Hex(Applied(lists, text, WADirection::B2G)), Hex(expected))
                << "code page " << codePage << ", round " << round << ", text " << Hex(text);
        }
    }
}

// Each source straddles where an earlier target landed, so the engine must
// have recorded the strings that its edits created, near segment starts too.
TEST(WordAdjustment, SameAsTheReferenceAcrossEarlierEdits)
{
    std::mt19937 rng(13);
    for (unsigned codePage : {936u, 950u}) {
        for (int round = 0; round < 40; ++round) {
            const std::string text = RandomText(rng, 200 + rng() % 1500);
            std::string current = text, lastTarget = text.substr(0, 2);
            PairList pairs;
            for (int k = 0; k < 60; ++k) {
                std::size_t at = current.find(lastTarget, rng() % current.size());
                if (at == std::string::npos)
                    at = current.find(lastTarget);
                const std::size_t from = at == std::string::npos ? 0 : at - std::min<std::size_t>(at, rng() % 5);
                const std::string source = current.substr(from, 2 + rng() % 7);
                std::string target = RandomText(rng, rng() % 6);
                pairs.emplace_back(source, target);
                wa_reference::ReplaceOnePair(current, source, target, codePage);
                if (!target.empty())
                    lastTarget = std::move(target);
            }
            CWALibraryLists lists(codePage);
            lists.Append(WADirection::G2B, Library(pairs));
            ASSERT_EQ(Hex(Applied(lists, text)), Hex(current)) << "code page " << codePage << ", round " << round;
        }
    }
}

// An occurrence that a pair deletes, at every offset across the first few
// index segments, then a source that starts a few bytes before the gap.
TEST(WordAdjustment, SameAsTheReferenceAroundDeletedOccurrences)
{
    std::mt19937 rng(17);
    const std::string text = RandomText(rng, 1200);
    for (std::size_t at = 1; at < 800; ++at) {
        for (std::size_t before = 1; before <= 6; ++before) {
            const std::string deleted = text.substr(at, 8);
            std::string expected = text;
            wa_reference::ReplaceOnePair(expected, deleted, "", 950);
            const std::string next = expected.substr(at - std::min(at, before), 6);
            wa_reference::ReplaceOnePair(expected, next, "Z", 950);
            CWALibraryLists lists(1252);
            lists.Append(WADirection::G2B, Library({{deleted, ""}, {next, "Z"}}));
            ASSERT_EQ(Applied(lists, text), expected) << "at " << at << ", before " << before;
        }
    }
}

// A long realistic text with phrases taken from it, so that the index of the
// text is exercised over many replacements.
TEST(WordAdjustment, SameAsTheReferenceOnLongTexts)
{
    std::mt19937 rng(9);
    for (unsigned codePage : {936u, 950u}) {
        const std::string text = RandomText(rng, 32768);
        PairList pairs;
        for (int p = 0; p < 300; ++p) {
            const std::string phrase = text.substr(rng() % (text.size() - 8), 2 + rng() % 6);
            pairs.emplace_back(phrase, RandomText(rng, rng() % 8));
        }
        CWALibraryLists lists(codePage);
        lists.Append(WADirection::G2B, Library(pairs));
        std::string expected = text;
        wa_reference::Apply(lists.WALibrariesG2B(), expected, codePage, CWALibraryLists::kDefaultMaxTextBytes);
        EXPECT_NE(expected, text);
        EXPECT_TRUE(Applied(lists, text) == expected) << "code page " << codePage;
    }
}

}  // namespace

// Texts with punctuation and line feeds that sources seldom hold, as real
// text has, so that the engine rewrites the pieces between them on their
// own: sources taken from the text, now and then across a punctuation mark;
// targets that grow, delete, hold punctuation or end in a lone lead byte
// (which lets a pair join its neighbours' bytes into new characters).
TEST(WordAdjustment, SameAsTheReferenceAcrossPieces)
{
    std::mt19937 rng(21);
    const std::vector<std::string> characters = {"\xA4\xA4", "\xA4\x40", "\xB0\xA1", "\xA5\x5C", "\xA1\x41",
                                                 "\xA1\x43", "\n", " ", "a", "\xA4\xA4\xA4\xA4"};
    auto randomText = [&](std::size_t chars) {
        std::string text;
        for (std::size_t i = 0; i < chars; ++i)
            text += characters[rng() % characters.size()];
        return text;
    };
    for (unsigned codePage : {950u, 936u}) {
        for (int round = 0; round < 300; ++round) {
            const std::string text = randomText(20 + rng() % 400);
            const bool loneLeads = round % 5 == 0, growing = round % 7 == 0;
            CWALibraryLists lists(codePage);
            std::vector<std::unique_ptr<WALibrary>> copies;
            for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) {
                PairList pairs;
                for (int p = static_cast<int>(rng() % 25); p > 0; --p) {
                    std::size_t at = rng() % text.size();
                    std::string source = text.substr(at, 1 + rng() % 6);
                    // Sources free of punctuation most of the time, as in real libraries.
                    if (rng() % 4 != 0 && (source.find('\xA1') != std::string::npos || source.find('\n') != std::string::npos))
                        continue;
                    std::string target = growing ? source + source : randomText(rng() % 3);
                    if (loneLeads && rng() % 3 == 0)
                        target += '\xB0';
                    pairs.emplace_back(source, target);
                }
                auto lib = Library(pairs, rng() % 6 != 0);
                copies.push_back(std::make_unique<WALibrary>(*lib));
                lists.Append(WADirection::G2B, std::move(lib));
            }
            const std::size_t limit = growing ? text.size() + rng() % 200 : CWALibraryLists::kDefaultMaxTextBytes;
            lists.SetMaxTextBytes(limit);
            std::string expected = text;
            wa_reference::Apply(copies, expected, codePage, limit);
            ASSERT_EQ(Hex(Applied(lists, text)), Hex(expected))
                << "code page " << codePage << ", round " << round << ", text " << Hex(text);
        }
    }
}

// Sources over alphabets of many characters, so that one character opens
// phrases with dozens of different next bytes (the nodes that look for a
// byte by halving) or a few (by one word of bytes), with one-byte sources
// and sources that are prefixes of others among them.
TEST(WordAdjustment, SameAsTheReferenceOnWideTries)
{
    std::mt19937 rng(34);
    struct WideCase {
        int characters;  // distinct double-byte characters of the alphabet
        int pairs;
    };
    const WideCase cases[] = {{3, 40}, {9, 120}, {17, 300}, {60, 900}, {250, 3000}};
    for (const WideCase& wide : cases) {
        std::vector<std::string> alphabet = {"a", "b", "\n"};
        for (int i = 0; i < wide.characters; ++i) {
            const int lead = 0xA4 + i % 7, trail = (0x40 + i * 13) % 0x3F + (i % 2 ? 0xA1 : 0x40);
            alphabet.push_back(Bytes({lead, trail}));
        }
        auto randomText = [&](std::size_t chars) {
            std::string text;
            for (std::size_t i = 0; i < chars; ++i)
                text += alphabet[rng() % alphabet.size()];
            return text;
        };
        for (int round = 0; round < 20; ++round) {
            PairList pairs;
            for (int p = 0; p < wide.pairs; ++p) {
                std::string source = randomText(1 + rng() % 3);
                pairs.emplace_back(source, rng() % 4 == 0 ? source + randomText(1) : randomText(rng() % 3));
            }
            CWALibraryLists lists(950);
            std::vector<std::unique_ptr<WALibrary>> copies;
            copies.push_back(Library(pairs));
            lists.Append(WADirection::G2B, Library(pairs));
            const std::string text = randomText(50 + rng() % 600);
            std::string expected = text;
            wa_reference::Apply(copies, expected, 950, CWALibraryLists::kDefaultMaxTextBytes);
            ASSERT_EQ(Hex(Applied(lists, text)), Hex(expected))
                << wide.characters << " characters, round " << round << ", text " << Hex(text);
        }
    }
}
