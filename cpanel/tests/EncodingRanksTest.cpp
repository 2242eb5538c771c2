// The rank grids built from the generated lists: every rank once, and the
// cells the hand-computed scores of EncodingDetectionTest.cpp rest on.
#include "EncodingRanks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

// GB2312 D2 BB, Big5 A4 40 and EUC-TW C4 A1 are the same character, the most
// frequent of each set (rank 599); Big5 B0 EA ranks 590. Read in the other
// sets they rank 0, as does A1 A1 (a symbol) everywhere.
TEST(EncodingRanks, HoldTheCellsTheScoresRestOn)
{
    const struct {
        unsigned char nLead, nTrail;
        int nGb2312, nBig5, nCns;
    } kCells[] = {
        {0xD2, 0xBB, 599, 0, 0},
        {0xC4, 0xA1, 0, 0, 599},
        {0xB0, 0xEA, 0, 590, 0},
        {0xA1, 0xA1, 0, 0, 0},
    };
    for (const auto& cell : kCells) {
        SCOPED_TRACE(testing::Message() << std::hex << int{cell.nLead} << ' ' << int{cell.nTrail});
        const int nRow = cell.nLead - 0xA1, nColumn = cell.nTrail - 0xA1;
        EXPECT_EQ(Gb2312Ranks()[nRow][nColumn], cell.nGb2312);
        EXPECT_EQ(Big5Ranks()[nRow][Big5RankColumn(cell.nTrail)], cell.nBig5);
        EXPECT_EQ(CnsRanks()[nRow][nColumn], cell.nCns);
    }
    EXPECT_EQ(Big5Ranks()[0xA4 - 0xA1][Big5RankColumn(0x40)], 599);
}

// Each grid holds every rank from 599 down to 1 exactly once: 600 distinct
// codes, each in its own cell.
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

TEST(EncodingRanks, HoldEachRankOnce)
{
    ExpectEachRankOnce(Gb2312Ranks());
    ExpectEachRankOnce(Big5Ranks());
    ExpectEachRankOnce(CnsRanks());
}

}  // namespace
