#include "SegmentSignatures.h"

#include "ByteGrams.h"

#include <algorithm>

namespace {

constexpr std::size_t kSegmentBytes = 256;
// About ten signature bits for each probe a segment takes (three a byte: one
// two-byte string, two probes of a four-byte one): a string that is not in a
// segment still names it about once in a hundred.
constexpr std::size_t kBitsPerProbe = 10;
constexpr std::size_t kProbesPerByte = 3;
constexpr unsigned kMinSignatureBitsLog2 = 8;
constexpr unsigned kMaxSignatureBitsLog2 = 13;

}  // namespace

void CSegmentSignatures::Build(const std::string& strText)
{
    m_nSize = strText.size();
    const std::size_t nSegments = std::max<std::size_t>(1, (m_nSize + kSegmentBytes - 1) / kSegmentBytes);
    m_arrStarts.resize(nSegments);
    for (std::size_t i = 0; i < nSegments; ++i)
        m_arrStarts[i] = i * kSegmentBytes;
    const std::size_t nProbes = std::min(m_nSize, kSegmentBytes) * kProbesPerByte * kBitsPerProbe;
    const unsigned nBits = std::clamp(CeilLog2(nProbes), kMinSignatureBitsLog2, kMaxSignatureBitsLog2);
    m_nShift = 32 - nBits;
    m_nWords = (nSegments + 63) / 64;
    m_arrRows.assign((std::size_t{1} << nBits) * m_nWords, 0);
    Add(strText, 0, m_nSize);
}

void CSegmentSignatures::Set(std::uint32_t nBit, std::size_t nSegment)
{
    Row(nBit)[nSegment / 64] |= std::uint64_t{1} << (nSegment % 64);
}

void CSegmentSignatures::Shift(const std::vector<std::size_t>& arrAt, std::size_t nSourceBytes,
                               std::size_t nTargetBytes)
{
    // A start inside a replaced occurrence moves behind its target: the
    // target belongs to the segment where the occurrence began.
    std::size_t nBefore = 0;  // occurrences that begin before the start
    for (std::size_t& nStart : m_arrStarts) {
        while (nBefore < arrAt.size() && arrAt[nBefore] < nStart)
            ++nBefore;
        const std::size_t nCovered = nBefore * nSourceBytes, nInserted = nBefore * nTargetBytes;
        if (nBefore > 0 && nStart < arrAt[nBefore - 1] + nSourceBytes)
            nStart = arrAt[nBefore - 1] + nSourceBytes - nCovered + nInserted;
        else
            nStart = nStart - nCovered + nInserted;
    }
    m_nSize = m_nSize - arrAt.size() * nSourceBytes + arrAt.size() * nTargetBytes;
}

void CSegmentSignatures::Add(const std::string& strText, std::size_t nFrom, std::size_t nTo)
{
    const auto* p = reinterpret_cast<const unsigned char*>(strText.data());
    const std::size_t nSize = strText.size();
    nTo = std::min(nTo, nSize);
    if (nFrom >= nTo)
        return;
    std::size_t nSegment =
        static_cast<std::size_t>(std::upper_bound(m_arrStarts.begin(), m_arrStarts.end(), nFrom) - m_arrStarts.begin()) - 1;
    for (std::size_t i = nFrom; i < nTo && i + 2 <= nSize; ++i) {
        while (nSegment + 1 < m_arrStarts.size() && m_arrStarts[nSegment + 1] <= i)
            ++nSegment;
        Set(PairProbe(LoadPair(p + i), m_nShift), nSegment);
        if (i + kQuadBytes > nSize)
            continue;
        const std::uint32_t quad = LoadQuad(p + i);
        Set(QuadProbe1(quad, m_nShift), nSegment);
        Set(QuadProbe2(quad, m_nShift), nSegment);
    }
}

void CSegmentSignatures::Candidates(std::string_view strSource, std::vector<Range>& arrRanges) const
{
    arrRanges.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(strSource.data());
    if (strSource.size() < 2) {
        arrRanges.emplace_back(0, m_nSize);
        return;
    }
    const std::uint64_t* rows[3] = {Row(PairProbe(LoadPair(p), m_nShift)), nullptr, nullptr};
    std::size_t nRows = 1;
    if (strSource.size() >= kQuadBytes) {
        const std::uint32_t quad = LoadQuad(p);
        rows[nRows++] = Row(QuadProbe1(quad, m_nShift));
        rows[nRows++] = Row(QuadProbe2(quad, m_nShift));
    }
    for (std::size_t w = 0; w < m_nWords; ++w) {
        std::uint64_t bits = rows[0][w];
        for (std::size_t r = 1; r < nRows; ++r)
            bits &= rows[r][w];
        for (; bits != 0; bits &= bits - 1) {
            const std::size_t nSegment = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
            const std::size_t nFirst = m_arrStarts[nSegment];
            const std::size_t nLast = nSegment + 1 < m_arrStarts.size() ? m_arrStarts[nSegment + 1] : m_nSize;
            if (nFirst < nLast)
                arrRanges.emplace_back(nFirst, nLast);
        }
    }
}
