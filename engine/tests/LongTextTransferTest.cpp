#include "CodeTransfer.h"
#include "LongTextTransfer.h"
#include "TestText.h"

#include <gtest/gtest.h>

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

TEST(LongTextTransfer, LongTextsEqualTheirPiecesConvertedInOneCallEach)
{
    std::mt19937 rng(5);
    const TransferServices services;
    for (int round = 0; round < 4; ++round) {
        // Plain GB2312 hanzi and ASCII, with lines now and then (none in round 0).
        std::string gbk;
        while (gbk.size() < 60000) {
            if (round > 0 && rng() % 40 == 0)
                gbk += "\r\n";
            gbk.push_back(static_cast<char>(0xB0 + rng() % 0x28));
            gbk.push_back(static_cast<char>(0xA1 + rng() % 0x5D));
        }
        std::string big5, back;
        ASSERT_EQ(TransferLongText(gbk, GbkSimplified, Big5Traditional, services, big5), LongTransferResult::Done);
        ASSERT_EQ(big5.size(), gbk.size());
        std::string unicode;
        ASSERT_EQ(TransferLongText(big5, Big5Traditional, UnicodeTraditional, services, unicode),
                  LongTransferResult::Done);
        ASSERT_EQ(TransferLongText(unicode, UnicodeTraditional, Big5Traditional, services, back),
                  LongTransferResult::Done);
        EXPECT_EQ(back, big5);
    }
}

TEST(LongTextTransfer, RefusesWhatOneCallWouldRefuseOrCutShort)
{
    const TransferServices services;
    std::string out = "kept";
    EXPECT_EQ(TransferLongText("abc", 0, 9, services, out), LongTransferResult::InvalidCodes);
    EXPECT_EQ(TransferLongText(std::string("a\0b", 3), 0, 1, services, out), LongTransferResult::HoldsZero);
    EXPECT_EQ(TransferLongText(Utf16(std::u16string(u"a\0b", 3)), 3, 0, services, out), LongTransferResult::HoldsZero);
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(TransferLongText("", 0, 3, services, out), LongTransferResult::Done);
    EXPECT_EQ(out, "");
    EXPECT_EQ(TransferLongText("same", 1, 1, services, out), LongTransferResult::Done);
    EXPECT_EQ(out, "same");
}

} // namespace
