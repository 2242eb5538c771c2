#include "KeyStream.h"

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

void CKeyStream::ThrowNotInitialized()
{
    throw CCipherError("PRNG Not Initialized");
}
