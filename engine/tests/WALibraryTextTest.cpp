#include "TestText.h"
#include "WALibraryText.h"
#include "WAReference.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs PairsOf(const WALibrary& lib)
{
    Pairs pairs;
    for (std::size_t i = 0; i < lib.PairCount(); ++i)
        pairs.emplace_back(lib.m_arrSources[i], lib.m_arrTargets[i]);
    return pairs;
}

WALibrary Parse(const std::string& content, bool user = false, bool readPairs = true)
{
    WALibrary lib;
    lib.m_strTitle = "given";
    ParseWALibraryText(lib, content, user, readPairs);
    return lib;
}

struct PairCase {
    const char* what;
    std::string content;
    Pairs expected;
};

TEST(WALibraryText, PairLines)
{
    const std::string token = kWACommaToken;
    const PairCase cases[] = {
        {"sorted by source", "ABCD,X\r\nAB,Y", {{"AB", "Y"}, {"ABCD", "X"}}},
        {"equal sources keep file order", "AB,1\r\nCD,2\r\nAB,3", {{"AB", "1"}, {"AB", "3"}, {"CD", "2"}}},
        {"unsigned byte order", "\xA4\x40,X\r\nAB,Y", {{"AB", "Y"}, {"\xA4\x40", "X"}}},
        {"one-byte source", "A,B", {}},
        {"comma first or last", ",ABC\r\nABCD,", {}},
        {"blank target deletes", "ABCD, ", {{"ABCD", ""}}},
        {"blank source", "  ,X", {}},
        {"trimmed both sides", " AB \t,\tX Y \r", {{"AB", "X Y"}}},
        {"first comma splits", "AB,C,D", {{"AB", "C,D"}}},
        {"comma token in both", "AB" + token + "CD,EF\r\nGH,I" + token + "J", {{"AB,CD", "EF"}, {"GH", "I,J"}}},
        {"ordered as written", "AB" + token + ",X\r\nAB-,Y", {{"AB-", "Y"}, {"AB,", "X"}}},
        {"comments and empty lines", ";AB,X\r\n\r\nCD,Y\r\n", {{"CD", "Y"}}},
        {"a lone LF ends no line", "AB,C\nDE,F", {{"AB", "C\nDE,F"}}},
        {"zero byte spoils its line", std::string("AB,C\0D\r\nEF,G", 12), {{"EF", "G"}}},
        {"no comma at all", "[T]My Lib", {}},
    };
    for (const PairCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PairsOf(Parse(c.content)), c.expected);
        EXPECT_EQ(PairsOf(Parse(c.content, true)), c.expected);
        EXPECT_TRUE(Parse(c.content, false, false).m_arrSources.empty());
    }
}

struct HeadingCase {
    const char* content;
    const char* title;
    const char* description;
};

TEST(WALibraryText, TitleAndDescriptionOfUserLibraries)
{
    const HeadingCase cases[] = {
        {";[T] My Lib \r\nAB,X", "My Lib", ""},
        {";a[T]My Lib", "My Lib", ""},
        {";ab[T]My Lib\r\n; one \r\n;two\r\nAB,X\r\n;later", "My Lib", "one \r\ntwo"},
        {";abc[T]My Lib\r\n;two", "", "abc[T]My Lib\r\ntwo"},
        {"[T]My Lib\r\n;two", "", ""},
        {";\r\n;", "", ""},
        {"", "", ""},
    };
    for (const HeadingCase& c : cases) {
        SCOPED_TRACE(c.content);
        const WALibrary user = Parse(c.content, true, false);
        EXPECT_EQ(user.m_strTitle, c.title);
        EXPECT_EQ(user.m_strDescription, c.description);
        EXPECT_TRUE(user.m_arrSources.empty());
        // A built-in library keeps the identifiers it was given.
        EXPECT_EQ(Parse(c.content).m_strTitle, "given");
    }
}

// Random files of pairs, comments and malformed lines: the sort gives the
// order that storing the pairs one by one gives.
TEST(WALibraryText, OrderIsThatOfStoringOneByOne)
{
    std::mt19937 rng(11);
    const std::string pieces[] = {"A", "B", "\xA4", "\x40", "\xE3", kWACommaToken, " ", ";"};
    auto piece = [&] { return pieces[rng() % (sizeof pieces / sizeof pieces[0])]; };
    for (int round = 0; round < 300; ++round) {
        std::vector<wa_reference::WrittenPair> written;
        std::string content;
        for (int line = static_cast<int>(rng() % 40); line > 0; --line) {
            std::string source = rng() % 2 ? "AB" : "\xA4\x40";
            for (int n = static_cast<int>(rng() % 3); n > 0; --n)
                source += piece();
            std::string target = rng() % 5 ? "T" + std::to_string(line) : "";
            if (source.back() == ' ')
                source += "B";
            written.push_back({source, source, target});
            content += source + "," + (target.empty() ? " " : target) + "\r\n";
            if (rng() % 4 == 0)
                content += rng() % 2 ? ";" + source + ",X\r\n" : "A,X\r\n";
        }
        for (auto& pair : written) {
            for (std::size_t at; (at = pair.source.find(kWACommaToken)) != std::string::npos;)
                pair.source.replace(at, std::string(kWACommaToken).size(), ",");
        }
        WALibrary expected;
        wa_reference::StoreOneByOne(written, expected);
        ASSERT_EQ(PairsOf(Parse(content)), PairsOf(expected)) << Hex(content);
    }
}

// Inputs that must cost no more than their size.
TEST(WALibraryText, HostileContents)
{
    const std::string longLine = "AB," + std::string(1 << 20, '\xA4');
    EXPECT_EQ(Parse(longLine).m_arrTargets.at(0).size(), std::size_t{1} << 20);
    EXPECT_TRUE(Parse(std::string(1 << 20, ',')).m_arrSources.empty());
    EXPECT_TRUE(Parse(std::string(1 << 20, '\0')).m_arrSources.empty());

    std::string sameSource;
    for (int i = 0; i < 100000; ++i)
        sameSource += "AB," + std::to_string(i) + "\r\n";
    const WALibrary lib = Parse(sameSource);
    ASSERT_EQ(lib.PairCount(), 100000u);
    EXPECT_EQ(lib.m_arrTargets.front(), "0");
    EXPECT_EQ(lib.m_arrTargets.back(), "99999");

    const WALibrary lines = Parse(std::string(1 << 20, ';') + "\r\n" + std::string(100000, '\n'), true);
    EXPECT_EQ(lines.m_strDescription.size(), (std::size_t{1} << 20) - 1);
}

}  // namespace
