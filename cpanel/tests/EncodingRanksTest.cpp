// The rank grids built from the generated lists.
#include "EncodingRanks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

// Every rank from 599 down to 1 exactly once: 600 distinct codes, each in a
// cell of its own.
template <typename Grid>
void ExpectEachRankOnce(const Grid& grid)
{
    std::array<int, kRankedCodes> arrSeen{};
    for (const auto& row : grid) {
        for (std::int16_t nRank : row) {
            ASSERT_TRUE(nRank >= 0 && nRank < kRankedCodes);
            ++arrSeen[static_cast<std::size_t>(nRank)];
        }
    }
    for (int nRank = 1; nRank < kRankedCodes; ++nRank)
        EXPECT_EQ(arrSeen[static_cast<std::size_t>(nRank)], 1) << "rank " << nRank;
}

TEST(EncodingRanks, HoldEachRankOnceAndAgreeOnTheFirst)
{
    ExpectEachRankOnce(Gb2312Ranks());
    ExpectEachRankOnce(Big5Ranks());
    ExpectEachRankOnce(CnsRanks());
    // The same character leads all three: GB2312 D2 BB, Big5 A4 40, EUC-TW
    // C4 A1. The hand-computed scores of EncodingDetectionTest.cpp use them.
    EXPECT_EQ(Gb2312Ranks()[0xD2 - 0xA1][0xBB - 0xA1], 599);
    EXPECT_EQ(Big5Ranks()[0xA4 - 0xA1][Big5RankColumn(0x40)], 599);
    EXPECT_EQ(CnsRanks()[0xC4 - 0xA1][0xA1 - 0xA1], 599);
    // A ranked Big5 code past column 94, which detection does not rank.
    EXPECT_EQ(Big5Ranks()[0xB0 - 0xA1][Big5RankColumn(0xEA)], 590);
}

}  // namespace
