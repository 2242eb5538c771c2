#include "HexText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(FormatHexTest, PadsWithZerosAndKeepsTheRightmostDigits)
{
    EXPECT_EQ(FormatHex(1033, 4), "0409");
    EXPECT_EQ(FormatHex(0xABCDEF12u, 4), "EF12");
    EXPECT_EQ(FormatHex(0xABCDEF12u, 16), "00000000ABCDEF12");
}

TEST(FormatHexTest, WidthIsClampedToSixteenAndNothingBelowOne)
{
    EXPECT_EQ(FormatHex(255, 40), "00000000000000FF");
    EXPECT_EQ(FormatHex(255, 0), "");
    EXPECT_EQ(FormatHex(255, -3), "");
}

TEST(IsHexStringTest, AcceptsTrimmedDigitsOfEitherCase)
{
    EXPECT_TRUE(IsHexString(" \tabcDEF\r\n"));
    EXPECT_FALSE(IsHexString(" \t "));
    EXPECT_FALSE(IsHexString("0x10"));
    EXPECT_FALSE(IsHexString("12 34"));
    EXPECT_FALSE(IsHexString("12G"));
    EXPECT_FALSE(IsHexString(std::string("12\0" "3", 4)));
}

TEST(ParseHexTest, ReadsPrefixedAndPlainNumbers)
{
    std::string message = "stale";
    EXPECT_EQ(ParseHex("0x0804", message), 2052u);
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(ParseHex("  0409 ", message), 1033u);
    EXPECT_EQ(ParseHex("0XffffFFFF", message), 0xFFFFFFFFu);
}

TEST(ParseHexTest, BadInputGivesZeroAndItsMessage)
{
    std::string message;
    EXPECT_EQ(ParseHex(" \t\r\n", message), 0u);
    EXPECT_EQ(message.rfind("Input string is blank", 0), 0u);

    EXPECT_EQ(ParseHex("123456789", message), 0u);
    EXPECT_EQ(message, "The string is too long, maximum allowable length is 8.\r\n");
    EXPECT_EQ(ParseHex("0x000000001", message), 0u);
    EXPECT_EQ(message, "The string is too long, maximum allowable length is 8.\r\n");

    EXPECT_EQ(ParseHex(" 12 34 ", message), 0u);
    EXPECT_EQ(message, "\"12 34\" is not a valid hex number string\r\n");
    EXPECT_EQ(ParseHex("0x", message), 0u);
    EXPECT_EQ(message, "\"0x\" is not a valid hex number string\r\n");
    EXPECT_EQ(ParseHex("-1", message), 0u);
    EXPECT_FALSE(message.empty());
}

TEST(DecodeHexPairsTest, DecodesTheRequestedPairsOnly)
{
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(DecodeHexPairs("A1BCFF00", bytes, 3));
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xA1, 0xBC, 0xFF}));
    EXPECT_TRUE(DecodeHexPairs("", bytes, 0));
    EXPECT_TRUE(bytes.empty());
}

TEST(DecodeHexPairsTest, StopsAtTheFirstInvalidCharacterOrTheEnd)
{
    std::vector<unsigned char> bytes;
    EXPECT_FALSE(DecodeHexPairs("A1b2", bytes, 2));  // upper case only
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xA1}));
    EXPECT_FALSE(DecodeHexPairs("A1B", bytes, 2));    // half a pair
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xA1}));
    EXPECT_FALSE(DecodeHexPairs("A1", bytes, static_cast<std::size_t>(-1)));
    EXPECT_EQ(bytes.size(), 1u);
}
