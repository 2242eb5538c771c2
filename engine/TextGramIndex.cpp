#include "TextGramIndex.h"

#include "ByteGrams.h"

#include <algorithm>

namespace {

// About 32 filter bits for each four-byte string of the text: with two probes
// a string that is not there passes for one in a few hundred.
constexpr unsigned kQuadBitsPerByteLog2 = 5;
constexpr unsigned kMinQuadBitsLog2 = 12;
constexpr unsigned kMaxQuadBitsLog2 = 24;

}  // namespace

bool CTextGramIndex::Test(const std::vector<std::uint64_t>& bits, std::uint32_t n)
{
    return (bits[n >> 6] >> (n & 63)) & 1;
}

void CTextGramIndex::Set(std::vector<std::uint64_t>& bits, std::uint32_t n)
{
    bits[n >> 6] |= std::uint64_t{1} << (n & 63);
}

void CTextGramIndex::Build(const std::string& strText)
{
    const unsigned nQuadBits =
        std::clamp(CeilLog2(strText.size()) + kQuadBitsPerByteLog2, kMinQuadBitsLog2, kMaxQuadBitsLog2);
    m_nQuadShift = 32 - nQuadBits;
    std::fill(m_arrBytes.begin(), m_arrBytes.end(), 0);
    std::fill(m_arrPairs.begin(), m_arrPairs.end(), 0);
    m_arrQuads.assign((std::size_t{1} << nQuadBits) / 64, 0);
    Add(strText, 0, strText.size());
}

void CTextGramIndex::Add(const std::string& strText, std::size_t nFrom, std::size_t nTo)
{
    const auto* p = reinterpret_cast<const unsigned char*>(strText.data());
    const std::size_t nSize = strText.size();
    nTo = std::min(nTo, nSize);
    for (std::size_t i = nFrom; i < nTo; ++i) {
        Set(m_arrBytes, p[i]);
        if (i + 2 > nSize)
            continue;
        Set(m_arrPairs, LoadPair(p + i));
        if (i + kQuadBytes > nSize)
            continue;
        const std::uint32_t quad = LoadQuad(p + i);
        Set(m_arrQuads, QuadProbe1(quad, m_nQuadShift));
        Set(m_arrQuads, QuadProbe2(quad, m_nQuadShift));
    }
}

bool CTextGramIndex::MayContainQuad(const unsigned char* p) const
{
    const std::uint32_t quad = LoadQuad(p);
    return Test(m_arrQuads, QuadProbe1(quad, m_nQuadShift)) && Test(m_arrQuads, QuadProbe2(quad, m_nQuadShift));
}

bool CTextGramIndex::MayContain(std::string_view strSource) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(strSource.data());
    const std::size_t nSize = strSource.size();
    if (nSize == 0)
        return false;
    if (nSize == 1)
        return Test(m_arrBytes, p[0]);
    for (std::size_t i = 0; i + 2 <= nSize; ++i) {
        if (!Test(m_arrPairs, LoadPair(p + i)))
            return false;
    }
    if (nSize < kQuadBytes)
        return true;
    // Both ends: a source of a few characters is ruled out by one of them.
    return MayContainQuad(p) && MayContainQuad(p + nSize - kQuadBytes);
}
