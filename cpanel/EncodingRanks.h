// The frequency ranks that encoding detection gives the characters of
// GB2312, Big5 and CNS 11643 plane 1: the 600 most frequent characters of
// each set rank 599 (most frequent) down to 0, every other cell 0.
//
// The lists of the 600 codes live in EncodingRankCodes.cpp, which
// tools/gen_rank_tables.py generates; the grids are built from them once.
#pragma once

#include <array>
#include <cstdint>

constexpr int kRankedCodes = 600;

// A two-byte code of its set (EUC-TW for CNS 11643 plane 1).
struct CRankedCode {
    unsigned char m_nLead;
    unsigned char m_nTrail;
};

// Most frequent first; the code at index i ranks kRankedCodes - 1 - i.
extern const CRankedCode g_arrGb2312ByFrequency[kRankedCodes];
extern const CRankedCode g_arrBig5ByFrequency[kRankedCodes];
extern const CRankedCode g_arrCnsByFrequency[kRankedCodes];

// Rows are indexed by lead - 0xA1; GB2312 and CNS columns by trail - 0xA1.
template <int Rows, int Columns>
using CRankGrid = std::array<std::array<std::int16_t, Columns>, Rows>;

constexpr int kRankRows = 94;
constexpr int kGb2312RankColumns = 94;
constexpr int kBig5RankColumns = 158;
constexpr int kCnsRankColumns = 94;

// The Big5 grid column of a trail byte: 0x40..0x7E are columns 0..62,
// 0xA1..0xFE columns 64..157 (column 63 stays empty); -1 for other bytes.
constexpr int Big5RankColumn(unsigned char nTrail)
{
    if (nTrail >= 0x40 && nTrail <= 0x7E)
        return nTrail - 0x40;
    if (nTrail >= 0xA1 && nTrail <= 0xFE)
        return nTrail - 0x61;
    return -1;
}

const CRankGrid<kRankRows, kGb2312RankColumns>& Gb2312Ranks();
const CRankGrid<kRankRows, kBig5RankColumns>& Big5Ranks();
const CRankGrid<kRankRows, kCnsRankColumns>& CnsRanks();
