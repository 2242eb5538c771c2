#include "EncodingDetection.h"

#include "EncodingRanks.h"
#include "TextTrim.h"

#include <cstdint>

// Scores are computed exactly in integers: sum / w * 50 + g / u * 50 as one
// fraction, truncated once. Floating point could land a hair below a whole
// number and lose a point that decides between two encodings.

namespace {

constexpr int kNotInSet = -1;
constexpr std::int64_t kUnitWeight = 500;
constexpr unsigned char kFirstUnitByte = 127;
// Big5 units whose column lies beyond this count as matches but add no rank.
constexpr int kLastRankedBig5Column = 94;
// A best score of this or less says nothing: "other".
constexpr int kInconclusiveScore = 50;

constexpr int kResultCodes[kScoreCount] = {
    kEncodingGb2312, kEncodingHz, kEncodingBig5, kEncodingEucTw, kEncodingIso2022Cn, kEncodingUtf8, kEncodingAscii,
};

bool InRange(unsigned char nByte, unsigned char nFirst, unsigned char nLast)
{
    return nByte >= nFirst && nByte <= nLast;
}

// The rank of a two-byte unit in one set, or kNotInSet when its bytes lie
// outside the set's ranges.
using UnitRank = int (*)(unsigned char nLead, unsigned char nTrail);

int Gb2312UnitRank(unsigned char nLead, unsigned char nTrail)
{
    if (!InRange(nLead, 0xA1, 0xF7) || !InRange(nTrail, 0xA1, 0xFE))
        return kNotInSet;
    return Gb2312Ranks()[nLead - 0xA1][nTrail - 0xA1];
}

int Big5UnitRank(unsigned char nLead, unsigned char nTrail)
{
    const int nColumn = Big5RankColumn(nTrail);
    if (!InRange(nLead, 0xA1, 0xF9) || nColumn < 0)
        return kNotInSet;
    if (nColumn > kLastRankedBig5Column)
        return 0;
    return Big5Ranks()[nLead - 0xA1][nColumn];
}

int EucTwUnitRank(unsigned char nLead, unsigned char nTrail)
{
    if (!InRange(nLead, 0xA1, 0xFE) || !InRange(nTrail, 0xA1, 0xFE))
        return kNotInSet;
    return CnsRanks()[nLead - 0xA1][nTrail - 0xA1];
}

// A byte of 127 or more opens a two-byte unit; scanning stops before the
// last byte, so every unit has its trail byte.
int DoubleByteScore(std::string_view text, UnitRank pRank)
{
    std::int64_t nSum = 0, nWeight = 1, nMatched = 1, nUnits = 1;
    std::size_t i = 0;
    while (i + 1 < text.size()) {
        const unsigned char nLead = static_cast<unsigned char>(text[i]);
        const unsigned char nTrail = static_cast<unsigned char>(text[i + 1]);
        if (nLead < kFirstUnitByte) {
            ++i;
            continue;
        }
        i += 2;
        ++nUnits;
        const int nRank = pRank(nLead, nTrail);
        if (nRank == kNotInSet)
            continue;
        nWeight += kUnitWeight;
        ++nMatched;
        nSum += nRank;
    }
    return static_cast<int>((nSum * 50 * nUnits + nMatched * 50 * nWeight) / (nWeight * nUnits));
}

// A pair inside an HZ segment: the GB2312 code with its high bits cleared,
// or as it stands.
int HzPairRank(unsigned char nFirst, unsigned char nSecond)
{
    if (InRange(nFirst, 0x21, 0x77) && InRange(nSecond, 0x21, 0x77))
        return Gb2312Ranks()[nFirst - 0x21][nSecond - 0x21];
    if (InRange(nFirst, 0xA1, 0xF7) && InRange(nSecond, 0xA1, 0xF7))
        return Gb2312Ranks()[nFirst - 0xA1][nSecond - 0xA1];
    return kNotInSet;
}

int HzOpeningPoints(int nOpenings)
{
    if (nOpenings >= 5)
        return 50;
    if (nOpenings >= 2)
        return 41;
    return nOpenings == 1 ? 39 : 0;
}

// "~{" opens a segment of two-byte pairs, "~}" closes it; a segment left
// open runs to the end of the text.
int HzScore(std::string_view text)
{
    std::int64_t nSum = 0, nWeight = 1;
    int nOpenings = 0;
    bool bInside = false;
    std::size_t i = 0;
    while (i + 1 < text.size()) {
        const unsigned char nFirst = static_cast<unsigned char>(text[i]);
        const unsigned char nSecond = static_cast<unsigned char>(text[i + 1]);
        if (!bInside && nFirst == '~' && nSecond == '{') {
            ++nOpenings;
            bInside = true;
            i += 2;
            continue;
        }
        if (!bInside) {
            i += nFirst >= kFirstUnitByte ? 2 : 1;
            continue;
        }
        i += 2;
        if (nFirst == '~' && nSecond == '}') {
            bInside = false;
            continue;
        }
        const int nRank = HzPairRank(nFirst, nSecond);
        if (nRank == kNotInSet)
            continue;
        nWeight += kUnitWeight;
        nSum += nRank;
    }
    return HzOpeningPoints(nOpenings) + static_cast<int>(nSum * 50 / nWeight);
}

// Every two-byte unit costs nine single bytes.
int AsciiScore(std::string_view text)
{
    std::int64_t nSingle = 0, nUnits = 0;
    std::size_t i = 0;
    while (i + 1 < text.size()) {
        if (static_cast<unsigned char>(text[i]) < kFirstUnitByte) {
            ++nSingle;
            ++i;
            continue;
        }
        ++nUnits;
        i += 2;
    }
    const std::int64_t nPlain = nSingle - 9 * nUnits;
    if (nPlain <= 0)
        return 10;
    return 10 + static_cast<int>(50 * nPlain / static_cast<std::int64_t>(text.size()));
}

std::string_view DetectionText(std::string_view text)
{
    const std::size_t nFirst = text.find_first_not_of(kTrimBlankChars);
    if (nFirst == std::string_view::npos)
        return {};
    const std::size_t nLast = text.find_last_not_of(kTrimBlankChars);
    return text.substr(nFirst, nLast + 1 - nFirst);
}

}  // namespace

CEncodingScores ScoreChineseEncodings(std::string_view text)
{
    CEncodingScores scores{};
    scores[kScoreGb2312] = DoubleByteScore(text, Gb2312UnitRank);
    scores[kScoreHz] = HzScore(text);
    scores[kScoreBig5] = DoubleByteScore(text, Big5UnitRank);
    scores[kScoreEucTw] = DoubleByteScore(text, EucTwUnitRank);
    scores[kScoreIso2022Cn] = 0;
    scores[kScoreUtf8] = 0;
    scores[kScoreAscii] = AsciiScore(text);
    return scores;
}

int DetectChineseEncoding(std::string_view text)
{
    const std::string_view trimmed = DetectionText(text);
    if (trimmed.size() < 2)
        return kEncodingOther;
    const CEncodingScores scores = ScoreChineseEncodings(trimmed.substr(0, kDetectionMaxChars));
    int nBest = 0;
    for (int i = 1; i < kScoreCount; ++i) {
        if (scores[i] > scores[nBest])
            nBest = i;
    }
    return scores[nBest] > kInconclusiveScore ? kResultCodes[nBest] : kEncodingOther;
}
