#include "KeyStream.h"

#include <algorithm>
#include <utility>

void CKeyStream::SetKey(const std::uint8_t* pKey, int nLength)
{
    if (nLength < 1 || pKey == nullptr)
        throw CCipherError("Key Length should be at least 1");
    for (int n = 0; n < 256; ++n)
        m_State[n] = static_cast<std::uint8_t>(n);
    std::uint8_t j = 0;
    for (int n = 0; n < 256; ++n) {
        j = static_cast<std::uint8_t>(j + m_State[n] + pKey[n % nLength]);
        std::swap(m_State[n], m_State[j]);
    }
    m_ScheduledState = m_State;
    m_i = 0;
    m_j = 0;
    m_bKeySet = true;
}

void CKeyStream::Reset()
{
    if (!m_bKeySet)
        ThrowNotInitialized();
    m_State = m_ScheduledState;
    m_i = 0;
    m_j = 0;
}

void CKeyStream::Fill(std::uint8_t* pOut, std::size_t nCount)
{
    if (!m_bKeySet)
        ThrowNotInitialized();
    std::uint8_t* pState = m_State.data();
    unsigned i = m_i, j = m_j;
    for (std::size_t n = 0; n < nCount; ++n) {
        i = (i + 1) & 0xFF;
        const unsigned si = pState[i];
        j = (j + si) & 0xFF;
        const unsigned sj = pState[j];
        pState[i] = static_cast<std::uint8_t>(sj);
        pState[j] = static_cast<std::uint8_t>(si);
        pOut[n] = pState[(si + sj) & 0xFF];
    }
    m_i = static_cast<std::uint8_t>(i);
    m_j = static_cast<std::uint8_t>(j);
}

void CKeyStream::FillTwo(CKeyStream& first, std::uint8_t* pFirst, std::size_t nFirst, CKeyStream& second,
                         std::uint8_t* pSecond, std::size_t nSecond)
{
    if (!first.m_bKeySet || !second.m_bKeySet)
        ThrowNotInitialized();
    std::uint8_t* pA = first.m_State.data();
    std::uint8_t* pB = second.m_State.data();
    unsigned ia = first.m_i, ja = first.m_j, ib = second.m_i, jb = second.m_j;
    const std::size_t nBoth = std::min(nFirst, nSecond);
    for (std::size_t n = 0; n < nBoth; ++n) {
        ia = (ia + 1) & 0xFF;
        ib = (ib + 1) & 0xFF;
        const unsigned sia = pA[ia], sib = pB[ib];
        ja = (ja + sia) & 0xFF;
        jb = (jb + sib) & 0xFF;
        const unsigned sja = pA[ja], sjb = pB[jb];
        pA[ia] = static_cast<std::uint8_t>(sja);
        pB[ib] = static_cast<std::uint8_t>(sjb);
        pA[ja] = static_cast<std::uint8_t>(sia);
        pB[jb] = static_cast<std::uint8_t>(sib);
        pFirst[n] = pA[(sia + sja) & 0xFF];
        pSecond[n] = pB[(sib + sjb) & 0xFF];
    }
    first.m_i = static_cast<std::uint8_t>(ia);
    first.m_j = static_cast<std::uint8_t>(ja);
    second.m_i = static_cast<std::uint8_t>(ib);
    second.m_j = static_cast<std::uint8_t>(jb);
    first.Fill(pFirst + nBoth, nFirst - nBoth);
    second.Fill(pSecond + nBoth, nSecond - nBoth);
}

void CKeyStream::ThrowNotInitialized()
{
    throw CCipherError("PRNG Not Initialized");
}
