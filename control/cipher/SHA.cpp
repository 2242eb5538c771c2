#include "SHA.h"

#include "CipherError.h"

#include <algorithm>
#include <cstring>

namespace {

const std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

const std::array<std::uint32_t, 8> kInitialState = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

std::uint32_t RotateRight(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

} // namespace

CSHA::CSHA()
{
    Restart();
}

void CSHA::Restart()
{
    m_State = kInitialState;
    m_nBitCount = 0;
    m_bHasData = false;
}

void CSHA::AddData(const std::uint8_t* pData, int nLength)
{
    if (nLength <= 0 || pData == nullptr)
        throw CCipherError("FileCrypt ERROR: in CSHA::AddData(), Data Length should be > 0!");
    m_bHasData = true;
    for (int n = 0; n < nLength;) {
        const std::size_t nUsed = static_cast<std::size_t>((m_nBitCount / 8) % 64);
        const std::size_t nTake = std::min<std::size_t>(64 - nUsed, static_cast<std::size_t>(nLength - n));
        std::memcpy(m_Block.data() + nUsed, pData + n, nTake);
        m_nBitCount += 8 * static_cast<std::uint64_t>(nTake);
        n += static_cast<int>(nTake);
        if (nUsed + nTake == 64)
            Compress(m_Block.data());
    }
}

void CSHA::FinalDigest(std::uint8_t* pDigest)
{
    if (!m_bHasData)
        throw CCipherError("FileCrypt ERROR: in CSHA::FinalDigest(), No data Added before call!");
    // 0x80, zeros up to 56 bytes into a block, then the message length in bits.
    const std::uint64_t nMessageBits = m_nBitCount;
    std::size_t nUsed = static_cast<std::size_t>((m_nBitCount / 8) % 64);
    m_Block[nUsed++] = 0x80;
    if (nUsed > 56) {
        std::memset(m_Block.data() + nUsed, 0, 64 - nUsed);
        Compress(m_Block.data());
        nUsed = 0;
    }
    std::memset(m_Block.data() + nUsed, 0, 56 - nUsed);
    for (int n = 0; n < 8; ++n)
        m_Block[56 + n] = static_cast<std::uint8_t>(nMessageBits >> (56 - 8 * n));
    Compress(m_Block.data());
    for (int n = 0; n < 8; ++n) {
        pDigest[4 * n] = static_cast<std::uint8_t>(m_State[n] >> 24);
        pDigest[4 * n + 1] = static_cast<std::uint8_t>(m_State[n] >> 16);
        pDigest[4 * n + 2] = static_cast<std::uint8_t>(m_State[n] >> 8);
        pDigest[4 * n + 3] = static_cast<std::uint8_t>(m_State[n]);
    }
    Restart();
}

void CSHA::Compress(const std::uint8_t* pBlock)
{
    std::uint32_t w[64];
    for (int t = 0; t < 16; ++t)
        w[t] = static_cast<std::uint32_t>(pBlock[4 * t]) << 24 | static_cast<std::uint32_t>(pBlock[4 * t + 1]) << 16 |
               static_cast<std::uint32_t>(pBlock[4 * t + 2]) << 8 | static_cast<std::uint32_t>(pBlock[4 * t + 3]);
    for (int t = 16; t < 64; ++t) {
        const std::uint32_t s0 = RotateRight(w[t - 15], 7) ^ RotateRight(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const std::uint32_t s1 = RotateRight(w[t - 2], 17) ^ RotateRight(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    std::uint32_t a = m_State[0], b = m_State[1], c = m_State[2], d = m_State[3];
    std::uint32_t e = m_State[4], f = m_State[5], g = m_State[6], h = m_State[7];
    for (int t = 0; t < 64; ++t) {
        const std::uint32_t t1 = h + (RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25)) +
                                 ((e & f) ^ (~e & g)) + kRoundConstants[t] + w[t];
        const std::uint32_t t2 =
            (RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    m_State[0] += a;
    m_State[1] += b;
    m_State[2] += c;
    m_State[3] += d;
    m_State[4] += e;
    m_State[5] += f;
    m_State[6] += g;
    m_State[7] += h;
}
