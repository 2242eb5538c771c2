#include "CodeTransfer.h"
#include "LongTextTransfer.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

// A host's call in place of the engine's: the cutting is the same whoever
// makes the call, and what the call answers steers it.
class PieceCalls {
public:
    explicit PieceCalls(std::size_t refuseAbove) : m_refuseAbove(refuseAbove) {}

    CodeTransferCall Call()
    {
        return [this](short* charCode, const short codes[3]) -> short {
            m_sizes.push_back(static_cast<std::size_t>(codes[2]));
            if (static_cast<std::size_t>(codes[2]) > m_refuseAbove)
                return kTransferFailed;
            return CodeTransfer(charCode, kMaxTransferElements, codes, TransferServices());
        };
    }
    const std::vector<std::size_t>& Sizes() const { return m_sizes; }

private:
    std::size_t m_refuseAbove;
    std::vector<std::size_t> m_sizes;
};

TEST(LongTextTransfer, ACallThatRefusesLargePiecesGetsThemHalvedWithTheSameResult)
{
    std::mt19937 rng(11);
    const struct {
        int source, destination;
        std::size_t refuseAbove;
    } cases[] = {{GbkSimplified, Big5Traditional, 3000}, {GbkSimplified, UnicodeSimplified, 777},
                 {Big5Traditional, GbkSimplified, 101}};
    for (const auto& c : cases) {
        std::string text;
        while (text.size() < 40000) {
            if (rng() % 90 == 0)
                text += "\r\n";
            text.push_back(static_cast<char>(0xB0 + rng() % 0x28));
            text.push_back(static_cast<char>(0xA1 + rng() % 0x5D));
        }
        std::string expected, out;
        ASSERT_EQ(TransferLongText(text, c.source, c.destination, TransferServices(), expected),
                  LongTransferResult::Done);
        PieceCalls calls(c.refuseAbove);
        ASSERT_EQ(TransferLongText(text, c.source, c.destination, calls.Call(), out), LongTransferResult::Done)
            << c.refuseAbove;
        EXPECT_TRUE(out == expected) << c.refuseAbove;
        EXPECT_GT(calls.Sizes().size(), text.size() / kMaxPieceBytes);  // at least one refusal halved
        for (std::size_t size : calls.Sizes())
            EXPECT_LE(size, kMaxPieceBytes);
    }
}

TEST(LongTextTransfer, ACallThatFailsStopsTheText)
{
    const std::string text(50000, 'a');
    const struct {
        short answer;
        LongTransferResult expected;
        bool once;  // a negative answer ends the text at its first piece
    } cases[] = {{kTransferInvalidArguments, LongTransferResult::InvalidCodes, true},
                 {-32768, LongTransferResult::InvalidCodes, true},
                 {kTransferFailed, LongTransferResult::Failed, false}};
    for (const auto& c : cases) {
        std::size_t count = 0;
        const CodeTransferCall call = [&](short*, const short*) -> short {
            ++count;
            return c.answer;
        };
        std::string out = "kept";
        EXPECT_EQ(TransferLongText(text, GbkSimplified, Big5Traditional, call, out), c.expected) << c.answer;
        EXPECT_EQ(out, "kept");
        if (c.once)
            EXPECT_EQ(count, 1u);
        else
            EXPECT_LT(count, 64u);  // halving ends at one character, it does not go on for ever
    }
}

} // namespace
