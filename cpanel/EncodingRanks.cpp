#include "EncodingRanks.h"

namespace {

int SquareColumn(unsigned char nTrail)
{
    return nTrail - 0xA1;
}

// Spreads a list over an empty grid; the generator writes only codes that
// fall inside it.
template <int Rows, int Columns>
CRankGrid<Rows, Columns> BuildGrid(const CRankedCode* pCodes, int (*pColumn)(unsigned char))
{
    CRankGrid<Rows, Columns> grid{};
    for (int i = 0; i < kRankedCodes; ++i) {
        const CRankedCode& code = pCodes[i];
        grid[code.m_nLead - 0xA1][pColumn(code.m_nTrail)] = static_cast<std::int16_t>(kRankedCodes - 1 - i);
    }
    return grid;
}

}  // namespace

const CRankGrid<kRankRows, kGb2312RankColumns>& Gb2312Ranks()
{
    static const auto grid = BuildGrid<kRankRows, kGb2312RankColumns>(g_arrGb2312ByFrequency, SquareColumn);
    return grid;
}

const CRankGrid<kRankRows, kBig5RankColumns>& Big5Ranks()
{
    static const auto grid = BuildGrid<kRankRows, kBig5RankColumns>(g_arrBig5ByFrequency, Big5RankColumn);
    return grid;
}

const CRankGrid<kRankRows, kCnsRankColumns>& CnsRanks()
{
    static const auto grid = BuildGrid<kRankRows, kCnsRankColumns>(g_arrCnsByFrequency, SquareColumn);
    return grid;
}
