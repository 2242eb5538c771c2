#include "CharacterMapping.h"
#include "TestText.h"
#include "TextTransfer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CCountingPump final : public CMessagePump {
public:
    void PumpWaitingMessages() override { ++m_nCalls; }
    int m_nCalls = 0;
};

class CRecordingAdjustment final : public CWordAdjustment {
public:
    void Apply(WADirection direction, std::string& text) const override
    {
        m_arrDirections.push_back(direction);
        text += "!";
    }
    mutable std::vector<WADirection> m_arrDirections;
};

std::vector<std::size_t> ChunkEnds(const std::string& text)
{
    std::vector<std::size_t> ends;
    for (std::size_t from = 0; from < text.size(); from = ends.back())
        ends.push_back(NextChunkEnd(text.data(), text.size(), from));
    return ends;
}

TEST(Chunking, ShortRemainderIsOneChunk)
{
    const std::string text(499, 'a');
    EXPECT_EQ(ChunkEnds(text), std::vector<std::size_t>{499});
}

TEST(Chunking, ChunkEndsAtTheFirstLineFeedPast160)
{
    std::string text(1000, 'a');
    text[100] = '\n';  // too early to end the first chunk
    text[170] = '\n';
    text[400] = '\n';
    text[700] = '\n';
    // Each line feed opens the next chunk; past 700 fewer than 500 bytes remain.
    EXPECT_EQ(ChunkEnds(text), (std::vector<std::size_t>{170, 400, 700, 1000}));
}

TEST(Chunking, NoLineFeedLeavesOneChunk)
{
    const std::string text(5000, 'a');
    EXPECT_EQ(ChunkEnds(text), std::vector<std::size_t>{5000});
}

// The line feed and the zero byte are looked for eight bytes at a time:
// each offset within a word, and bytes that differ from them by one bit.
TEST(Chunking, LineFeedsAndZeroBytesAreFoundAtEveryOffset)
{
    for (std::size_t at = 160; at < 200; ++at) {
        std::string text(700, '\x0B');  // 0x0B: the line feed with one more bit
        text[at] = '\n';
        EXPECT_EQ(NextChunkEnd(text.data(), text.size(), 0), at) << at;
    }
    const std::string noLineFeed(700, '\x8A');
    EXPECT_EQ(NextChunkEnd(noLineFeed.data(), noLineFeed.size(), 0), noLineFeed.size());
    for (std::size_t at = 0; at < 20; ++at) {
        std::string text(20, '\x01');
        text[at] = '\0';
        EXPECT_EQ(TransferBig5ToGb(text, TransferToGbkTraditional, TransferServices()).size(), at) << at;
    }
}

TEST(Chunking, ChunksHoldAtLeast160BytesAndStartAtLineFeeds)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 100; ++round) {
        const std::string text = RandomText(rng, 1 + rng() % 20000, 3);
        std::size_t from = 0;
        for (std::size_t end : ChunkEnds(text)) {
            ASSERT_GT(end, from);
            if (end < text.size()) {
                EXPECT_GE(end - from, kChunkMinimum);
                EXPECT_EQ(text[end], '\n');
            }
            from = end;
        }
    }
}

TEST(TextTransfer, ChunkedTransferEqualsMappingInOnePiece)
{
    std::string text;
    std::mt19937 rng(99);
    while (text.size() < 1000)
        text += RandomText(rng, 99, 0) + "\n";
    ASSERT_EQ(text.size(), 1000u);
    const TransferServices none;
    EXPECT_EQ(TransferBig5ToGb(text, TransferWithAdjustment, none), MapBig5ToGb(text, Big5Target::Simplified));
    EXPECT_EQ(TransferBig5ToGb(text, TransferToGbkTraditional, none), MapBig5ToGb(text, Big5Target::GbkTraditional));
    EXPECT_EQ(TransferGbToBig5(text, TransferWithAdjustment, none), MapGbToBig5(text));

    for (int round = 0; round < 50; ++round) {
        const std::string random = RandomText(rng, 1 + rng() % 40000, 1 + round % 4);
        ASSERT_EQ(TransferBig5ToGb(random, TransferWithAdjustment, none), MapBig5ToGb(random, Big5Target::Simplified));
        ASSERT_EQ(TransferGbToBig5(random, TransferFromGbkTraditional, none), MapGbkTraditionalToBig5(random));
    }
}

TEST(TextTransfer, OnlyBig5ToGbPumpsAndOncePerChunk)
{
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += std::string(199, 'x') + "\n";  // 4,000 bytes
    CCountingPump pump;
    TransferServices services;
    services.messagePump = &pump;
    TransferBig5ToGb(text, TransferWithAdjustment, services);
    EXPECT_EQ(pump.m_nCalls, static_cast<int>(ChunkEnds(text).size()));
    EXPECT_GT(pump.m_nCalls, 1);
    pump.m_nCalls = 0;
    TransferGbToBig5(text, TransferWithAdjustment, services);
    EXPECT_EQ(pump.m_nCalls, 0);
}

TEST(TextTransfer, WordAdjustmentRunsOnlyInTheAdjustingMode)
{
    CRecordingAdjustment adjustment;
    TransferServices services;
    services.wordAdjustment = &adjustment;
    EXPECT_EQ(TransferGbToBig5("ab", TransferWithAdjustment, services), "ab!");
    EXPECT_EQ(TransferBig5ToGb("ab", TransferWithAdjustment, services), "ab!");
    EXPECT_EQ(TransferGbToBig5("ab", TransferFromGbkTraditional, services), "ab");
    EXPECT_EQ(TransferBig5ToGb("ab", TransferToGbkTraditional, services), "ab");
    EXPECT_EQ(adjustment.m_arrDirections, (std::vector<WADirection>{WADirection::G2B, WADirection::B2G}));
    // Without libraries the text is left as the tables made it.
    EXPECT_EQ(TransferGbToBig5("ab", TransferWithAdjustment, TransferServices()), "ab");
}

TEST(TextTransfer, EmptyAndOversizedTexts)
{
    const TransferServices none;
    EXPECT_EQ(TransferGbToBig5("", TransferWithAdjustment, none), "");
    EXPECT_EQ(TransferBig5ToGb("", TransferWithAdjustment, none), "");
    const std::string big(70000, 'a');
    EXPECT_EQ(TransferGbToBig5(big, TransferWithAdjustment, none).size(), kMaxTransferBytes);
    EXPECT_EQ(TransferBig5ToGb(big, TransferWithAdjustment, none).size(), kMaxTransferBytes);
    std::string withZero = "ab";
    withZero.push_back('\0');
    withZero += "cd";
    EXPECT_EQ(TransferBig5ToGb(withZero, TransferWithAdjustment, none), "ab");
}

} // namespace
