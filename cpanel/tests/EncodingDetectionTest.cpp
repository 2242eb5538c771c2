// Encoding detection: whole texts in each encoding, scores worked out by
// hand, and the rules around them (trimming, the 9,998-character cut, the
// threshold of 50, ties going to the first encoding).
//
// The texts in data/ are samples/sample-gbk.txt taken to Taiwan forms by
// opencc (s2tw) and written as Big5 (Python's cp950) and EUC-TW (iconv), and
// the GBK sample written as HZ (Python's hz codec).
#include "EncodingDetection.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

std::string ReadFile(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    EXPECT_TRUE(file.is_open()) << strPath;
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string TestData(const char* pszName)
{
    return ReadFile(std::string(KIVO_CPANEL_TEST_DATA) + "/" + pszName);
}

std::string Repeat(const std::string& strPiece, int nTimes)
{
    std::string strText;
    for (int i = 0; i < nTimes; ++i)
        strText += strPiece;
    return strText;
}

// Ranks used below: GB2312 D2 BB, Big5 A4 40 and EUC-TW C4 A1 rank 599 in
// their own set and 0 in the others; Big5 B0 EA ranks 590; A1 A1 ranks 0
// everywhere.
TEST(ScoreChineseEncodings, MatchesScoresWorkedOutByHand)
{
    // Scores in the order GB2312, HZ, Big5, EUC-TW, ISO-2022-CN, UTF-8, ASCII.
    const struct {
        const char* pszWhat;
        std::string strText;
        CEncodingScores expected;
    } kCases[] = {
        // 1198 / 1001 * 50 + 3 / 3 * 50 = 109.8 for the set that ranks it.
        {"GB2312 rank 599 twice", "\xD2\xBB\xD2\xBB", {109, 0, 50, 50, 0, 0, 10}},
        // Trail 0x40 is Big5 only: the others match no unit, g / u = 1 / 3.
        {"Big5 rank 599 twice", "\xA4\x40\xA4\x40", {16, 0, 109, 16, 0, 0, 10}},
        {"EUC-TW rank 599 twice", "\xC4\xA1\xC4\xA1", {50, 0, 50, 109, 0, 0, 10}},
        // GB2312: 599 / 501 * 50 + 2 / 3 * 50 = 59.8 + 33.3, truncated once
        // to 93. Big5: 599 / 1001 * 50 + 50 = 79.9.
        {"one unit GB2312 only", "\xD2\xBB\xA4\x40", {93, 0, 79, 33, 0, 0, 10}},
        // Rank 590, but Big5 ranks columns 0..94 only (trail bytes up to 0xBF).
        {"Big5 column past 94", "\xB0\xEA\xB0\xEA", {50, 0, 50, 50, 0, 0, 10}},
        // 127 opens a unit that takes "c"; the last byte is never counted.
        {"DEL opens a unit", "ab\x7F" "cd", {25, 0, 25, 25, 0, 0, 10}},
        // ASCII counts bytes 0..4 of 6: 10 + 250 / 6.
        {"ASCII to the last but one byte", "abcdef", {50, 0, 50, 50, 0, 0, 51}},
        // 12 single bytes less 9 for the unit: 10 + 150 / 14.
        {"a unit costs nine bytes", "abcdefghijkl\xA1\xA1", {50, 0, 50, 50, 0, 0, 20}},
        // "R;" is D2 BB with the high bits cleared: 39 + 1198 / 1001 * 50.
        {"HZ, one segment", "~{R;R;~}", {50, 98, 50, 50, 0, 0, 53}},
        {"HZ, two segments", "~{R;~}~{R;~}", {50, 100, 50, 50, 0, 0, 55}},
        {"HZ, four openings", Repeat("~{~}", 4), {50, 41, 50, 50, 0, 0, 56}},
        {"HZ, five openings", Repeat("~{~}", 5), {50, 50, 50, 50, 0, 0, 57}},
        {"HZ, an opening alone", "~{", {50, 39, 50, 50, 0, 0, 35}},
        // Inside a segment eight-bit pairs rank as they stand.
        {"HZ, eight-bit pair", "~{\xD2\xBB~}", {109, 98, 50, 50, 0, 0, 10}},
        // Pairs before the opening do not count; an open segment runs on.
        {"HZ, segment left open", "R;~{R;", {50, 98, 50, 50, 0, 0, 51}},
        // A byte of 127 or more takes the next with it, here the tilde; Big5
        // alone reads A1 7E as a unit of its own.
        {"HZ, opening lost to a unit", "\xA1~{R;~}", {25, 0, 50, 25, 0, 0, 10}},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.pszWhat);
        EXPECT_EQ(ScoreChineseEncodings(test.strText), test.expected);
    }
}

TEST(DetectChineseEncoding, FollowsTheRulesAroundTheScores)
{
    const std::string strAs = Repeat("a", 9996);
    const std::string strBig5Tail = Repeat("\xA4\x40", 10);
    const struct {
        const char* pszWhat;
        std::string strText;
        int nExpected;
    } kCases[] = {
        {"empty", "", kEncodingOther},
        {"one character", "a", kEncodingOther},
        {"one character once trimmed", "\r\n a \t", kEncodingOther},
        {"ASCII, 35", "ab", kEncodingOther},
        {"ASCII, 50 is not enough", "abcde", kEncodingOther},
        {"ASCII, 51", "abcdef", kEncodingAscii},
        {"trailing tab trimmed", "abcde\t", kEncodingOther},
        {"leading CR LF trimmed", "\r\nabcde", kEncodingOther},
        {"every score 50 or less", "ab\xA1\xA1", kEncodingOther},
        // GB2312 and EUC-TW both score 79: the first wins.
        {"tie", "\xD2\xBB\xC4\xA1", kEncodingGb2312},
        {"HZ", "~{R;R;~}", kEncodingHz},
        // The first 9,998 characters end in the Big5 unit, or just after its lead.
        {"unit inside the cut", strAs + strBig5Tail, kEncodingBig5},
        {"unit across the cut", strAs + "a" + strBig5Tail, kEncodingAscii},
        {"trimmed before the cut", " \r\n" + strAs + strBig5Tail, kEncodingBig5},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.pszWhat);
        EXPECT_EQ(DetectChineseEncoding(test.strText), test.nExpected);
    }
}

TEST(DetectChineseEncoding, KnowsTheEncodingOfWholeTexts)
{
    const struct {
        const char* pszWhat;
        std::string strText;
        int nExpected;
    } kCases[] = {
        {"GBK", ReadFile(KIVO_SAMPLE_GBK), kEncodingGb2312},
        {"Big5", TestData("text-big5.txt"), kEncodingBig5},
        {"HZ", TestData("text-hz.txt"), kEncodingHz},
        {"EUC-TW", TestData("text-euctw.txt"), kEncodingEucTw},
        {"ASCII",
         "The control panel registers the conversion control, points it at\r\n"
         "Lumbra's folder and opens the sample text editor.\r\n",
         kEncodingAscii},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.pszWhat);
        EXPECT_EQ(DetectChineseEncoding(test.strText), test.nExpected);
    }
}

TEST(DetectChineseEncoding, CallsRandomBytesOther)
{
    std::mt19937 random(14);
    for (std::size_t nLength : {16u, 100u, 1000u, 9998u, 20000u}) {
        for (int nRound = 0; nRound < 20; ++nRound) {
            std::string strText(nLength, '\0');
            for (char& ch : strText)
                ch = static_cast<char>(random() & 0xFF);
            SCOPED_TRACE(testing::Message() << nLength << " bytes, round " << nRound);
            EXPECT_EQ(DetectChineseEncoding(strText), kEncodingOther);
        }
    }
}

}  // namespace
