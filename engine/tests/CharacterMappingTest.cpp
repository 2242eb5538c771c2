#include "CharacterMapping.h"
#include "CodeTables.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::string GbToBig5(const std::string& text) { return MapGbToBig5(text); }
std::string Big5ToSimplified(const std::string& text) { return MapBig5ToGb(text, Big5Target::Simplified); }
std::string Big5ToTraditional(const std::string& text) { return MapBig5ToGb(text, Big5Target::GbkTraditional); }

TEST(CharacterMapping, EmptyAndAsciiPassUnchanged)
{
    EXPECT_EQ(GbToBig5(""), "");
    EXPECT_EQ(Big5ToSimplified(""), "");
    EXPECT_EQ(GbToBig5("AB12\r\n"), "AB12\r\n");
    EXPECT_EQ(Big5ToSimplified("AB12\r\n"), "AB12\r\n");
    EXPECT_EQ(Big5ToTraditional("AB12\r\n"), "AB12\r\n");
}

struct MappingCase {
    const char* what;
    std::string in;
    std::string out;
};

TEST(CharacterMapping, GbToBig5FollowsTheScanRules)
{
    const MappingCase cases[] = {
        {"first-level hanzi", Bytes({0xB7, 0xA2}), Bytes({0xB5, 0x6F})},
        {"second-level hanzi are marked", Bytes({0xD8, 0xA1}), Bytes({0xA1, 0xBC})},
        {"GBK extension codes are marked", Bytes({0x81, 0x40}), Bytes({0xA1, 0xBC})},
        {"extension trail under a high lead is marked", Bytes({0xB0, 0x40}), Bytes({0xA1, 0xBC})},
        {"extension trail under a symbol lead is copied", Bytes({0xA3, 0x40}), Bytes({0xA3, 0x40})},
        {"numbered form twenty becomes ASCII", Bytes({0xA2, 0xC4}), "20"},
        {"a trail below 0x40 copies the lead alone", Bytes({0xB0, '1'}), Bytes({0xB0, '1'})},
        {"a trail of 0xFF copies the lead alone", Bytes({0xB0, 0xFF}), Bytes({0xB0, 0xFF})},
        {"a lone lead byte at the end is kept", Bytes({'A', 0xB0}), Bytes({'A', 0xB0})},
        {"lead 0xFF is copied", Bytes({0xFF, 0xA1}), Bytes({0xFF, 0xA1})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hex(GbToBig5(c.in)), Hex(c.out)) << c.what;
}

TEST(CharacterMapping, GbUserDefinedCellIsCopiedAndItsTrailStartsAPair)
{
    // 0xAA is copied alone; 0xA1 then pairs with the next byte (here 0xA1: ideographic space).
    EXPECT_EQ(Hex(GbToBig5(Bytes({0xAA, 0xA1, 0xA1}))), Hex(Bytes({0xAA, 0xA1, 0x40})));
}

TEST(CharacterMapping, Big5ToGbFollowsTheScanRules)
{
    const MappingCase simplified[] = {
        {"traditional to simplified", Bytes({0xC5, 0xE9}), Bytes({0xCC, 0xE5})},
        {"two traditional forms, one simplified", Bytes({0xBB, 0x4F, 0xA5, 0x78}), Bytes({0xCC, 0xA8, 0xCC, 0xA8})},
        {"a trail in the gap 0x7F..0xA0 is copied", Bytes({0xA4, 0x80}), Bytes({0xA4, 0x80})},
        {"a trail of 0xFF is copied", Bytes({0xA4, 0xFF}), Bytes({0xA4, 0xFF})},
        {"lead 0xFF is copied", Bytes({0xFF, 0x40}), Bytes({0xFF, 0x40})},
        {"a lead of 0x81 is a table row", Bytes({0x81, 0x40}), Bytes({0xA1, 0xF5})},
        {"a lone lead byte at the end is kept", Bytes({'A', 0xB0}), Bytes({'A', 0xB0})},
    };
    for (const auto& c : simplified)
        EXPECT_EQ(Hex(Big5ToSimplified(c.in)), Hex(c.out)) << c.what;
    EXPECT_EQ(Hex(Big5ToTraditional(Bytes({0xC5, 0xE9}))), Hex(Bytes({0xF3, 0x77})));
    EXPECT_EQ(Hex(Big5ToTraditional(Bytes({0x81, 0x40}))), Hex(Bytes({0xA1, 0xF5})));
}

// Text this engine writes as GBK Traditional reads back as the same characters in Big5.
TEST(CharacterMapping, GbkTraditionalReadsBackEveryBig5Character)
{
    int characters = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (Big5ToGbColumnIndex(trail) < 0)
                continue;
            const std::string big5 = Bytes({static_cast<int>(lead), static_cast<int>(trail)});
            const std::string gbk = Big5ToTraditional(big5);
            if (gbk == Bytes({kGbkPlaceholderLead, kGbkPlaceholderTrail}))
                continue;
            ++characters;
            // Big5 codes some characters twice (十 at A2CC and A451): any code of the character will do.
            ASSERT_EQ(Hex(Big5ToTraditional(MapGbkTraditionalToBig5(gbk))), Hex(gbk)) << "Big5 " << Hex(big5);
        }
    }
    EXPECT_GT(characters, 13000);
}

TEST(CharacterMapping, GbkTraditionalFallsBackToTheGbTableForSimplifiedCharacters)
{
    // 们 (C3C7) has no Big5 code of its own; 后 (BAF3) has, and stays 后 (A65A).
    EXPECT_EQ(Hex(MapGbkTraditionalToBig5(Bytes({0xC3, 0xC7}))), Hex(MapGbToBig5(Bytes({0xC3, 0xC7}))));
    EXPECT_EQ(Hex(MapGbkTraditionalToBig5(Bytes({0xBA, 0xF3}))), Hex(Bytes({0xA6, 0x5A})));
    // 發 (B06C) is a GBK extension code, which the GB table alone would mark.
    EXPECT_EQ(Hex(MapGbkTraditionalToBig5(Bytes({0xB0, 0x6C}))), Hex(Bytes({0xB5, 0x6F})));
}

TEST(CharacterMapping, StringFormsStopAtTheFirstZeroByte)
{
    std::string text = Bytes({'A', 0xB0});
    text.push_back('\0');
    text += Bytes({0xA1, 0xA1});
    // The lead byte before the zero meets the terminator and is copied.
    EXPECT_EQ(Hex(GbToBig5(text)), Hex(Bytes({'A', 0xB0})));
    EXPECT_EQ(Hex(Big5ToSimplified(text)), Hex(Bytes({'A', 0xB0})));
    EXPECT_EQ(Hex(MapGbkTraditionalToBig5(text)), Hex(Bytes({'A', 0xB0})));
}

// Every step writes what it consumes, so random texts keep their length,
// never write past the output and map the same in pieces cut at line feeds.
TEST(CharacterMapping, RandomTextsKeepLengthStayInBoundsAndMapAlikeInPieces)
{
    std::mt19937 rng(1234);
    const unsigned char sentinel = 0x5A;
    for (int round = 0; round < 200; ++round) {
        const std::string text = RandomText(rng, 1 + rng() % 3000, 5);
        const auto* in = reinterpret_cast<const unsigned char*>(text.data());
        for (int direction = 0; direction < 3; ++direction) {
            std::vector<unsigned char> whole(text.size() + 8, sentinel), pieces(text.size() + 8, sentinel);
            auto map = [&](const unsigned char* src, std::size_t n, unsigned char* dst) {
                if (direction == 0)
                    MapGbToBig5(src, n, dst);
                else
                    MapBig5ToGb(src, n, direction == 1 ? Big5Target::Simplified : Big5Target::GbkTraditional, dst);
            };
            map(in, text.size(), whole.data());
            for (std::size_t i = text.size(); i < whole.size(); ++i)
                ASSERT_EQ(whole[i], sentinel) << "wrote past the end";
            std::size_t from = 0;
            for (std::size_t i = 0; i <= text.size(); ++i) {
                if (i == text.size() || text[i] == '\n') {
                    map(in + from, i - from, pieces.data() + from);
                    from = i;
                }
            }
            ASSERT_EQ(whole, pieces) << "direction " << direction << ", round " << round;
        }
    }
}

} // namespace
