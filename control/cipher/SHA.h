// CSHA: SHA-256 (FIPS 180-2). The stream cipher digests its signature string
// with it; nothing else in the system hashes.
#pragma once

#include <array>
#include <cstdint>

class CSHA {
public:
    static constexpr int kDigestSize = 32;

    CSHA();

    // Appends nLength bytes; throws when nLength is 0 or less.
    void AddData(const std::uint8_t* pData, int nLength);

    // Pads, writes the 32-byte big-endian digest of everything added and
    // starts over, ready for a new message. Throws when nothing was added.
    void FinalDigest(std::uint8_t* pDigest);

private:
    void Restart();
    void Compress(const std::uint8_t* pBlock);

    std::array<std::uint32_t, 8> m_State{};
    std::uint64_t m_nBitCount = 0;
    std::array<std::uint8_t, 64> m_Block{};
    bool m_bHasData = false;
};
