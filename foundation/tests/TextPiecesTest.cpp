#include "TextPieces.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Utf16(const std::u16string& units)
{
    std::string bytes;
    for (char16_t u : units) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

struct PieceCase {
    const char* what;
    std::string bytes;
    bool unicode;
    std::size_t from, limit, end;
};

TEST(TextPieces, PrefersTheLastLineFeedThenACharacterBoundary)
{
    const std::string hanzi = "\xB0\xA1\xB0\xA1\xB0\xA1";
    const PieceCase cases[] = {
        {"after the second line feed", "ab\ncd\nef", false, 0, 7, 6},
        {"the rest fits", "ab\ncd\nef", false, 0, 100, 8},
        {"from the middle", "ab\ncd\nef", false, 3, 4, 6},
        {"never inside a character", hanzi, false, 0, 3, 2},
        {"a limit below one character moves on by the whole character", hanzi, false, 0, 1, 2},
        {"a lead byte at the end stands alone", "a\xB0", false, 0, 1, 1},
        {"the surrogate pair is not split", Utf16(u"a\U0001F600b"), true, 0, 4, 2},
        {"the pair fits whole", Utf16(u"a\U0001F600b"), true, 0, 6, 6},
        {"a limit below the pair moves on by the pair", Utf16(u"a\U0001F600b"), true, 2, 2, 6},
        {"a Unicode line feed", Utf16(u"ab\ncd"), true, 0, 8, 6},
        {"an odd final byte is left out", Utf16(u"ab") + "x", true, 0, 100, 4},
    };
    for (const PieceCase& c : cases)
        EXPECT_EQ(NextPieceEnd(c.bytes, c.unicode, c.from, c.limit), c.end) << c.what;
}

TEST(TextPieces, PiecesCoverTheTextInOrderWithinTheLimit)
{
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += (i % 7 == 0) ? std::string("\r\n") : std::string("\xD6\xD0z");
    for (std::size_t limit : {1u, 2u, 5u, 64u, 999u}) {
        std::size_t from = 0, pieces = 0;
        while (from < text.size()) {
            const std::size_t end = NextPieceEnd(text, false, from, limit);
            ASSERT_GT(end, from);
            ASSERT_LE(end - from, limit < 2 ? 2 : limit);
            from = end;
            ++pieces;
        }
        EXPECT_EQ(from, text.size());
        EXPECT_GE(pieces, text.size() / (limit < 2 ? 2 : limit));
    }
}

} // namespace
