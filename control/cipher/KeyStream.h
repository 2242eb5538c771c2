// CKeyStream: the RC4 key-stream generator behind the stream cipher. The
// state after key scheduling is kept, so that Reset restarts the stream
// without scheduling the key again.
#pragma once

#include "CipherError.h"

#include <array>
#include <cstddef>
#include <cstdint>

class CKeyStream {
public:
    // RC4 key scheduling with the key repeated cyclically; then i = j = 0.
    // Throws when nLength is below 1 or the key is missing.
    void SetKey(const std::uint8_t* pKey, int nLength);

    // Back to the state right after SetKey.
    void Reset();

    std::uint8_t NextByte()
    {
        if (!m_bKeySet)
            ThrowNotInitialized();
        m_i = static_cast<std::uint8_t>(m_i + 1);
        const std::uint8_t si = m_State[m_i];
        m_j = static_cast<std::uint8_t>(m_j + si);
        const std::uint8_t sj = m_State[m_j];
        m_State[m_i] = sj;
        m_State[m_j] = si;
        return m_State[static_cast<std::uint8_t>(si + sj)];
    }

    // The next nCount bytes of the stream at once, as NextByte would give
    // them: the state stays in registers through the loop.
    void Fill(std::uint8_t* pOut, std::size_t nCount);
    // Two streams filled side by side: each step of one waits on its own
    // last swap, so the processor runs the other's step meanwhile.
    static void FillTwo(CKeyStream& first, std::uint8_t* pFirst, std::size_t nFirst, CKeyStream& second,
                        std::uint8_t* pSecond, std::size_t nSecond);

    bool IsKeySet() const { return m_bKeySet; }

private:
    [[noreturn]] static void ThrowNotInitialized();

    std::array<std::uint8_t, 256> m_State{};
    std::array<std::uint8_t, 256> m_ScheduledState{};
    std::uint8_t m_i = 0;
    std::uint8_t m_j = 0;
    bool m_bKeySet = false;
};
