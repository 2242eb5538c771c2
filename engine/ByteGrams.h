// Two- and four-byte strings of a text as numbers, and the hashes by which
// the word-adjustment indexes file them.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kQuadBytes = 4;

inline std::uint32_t LoadPair(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) << 8 | p[1];
}

inline std::uint32_t LoadQuad(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// Two independent hashes of a four-byte string, and one of a two-byte string
// apart from both, each cut to the top (32 - nShift) bits.
inline std::uint32_t QuadProbe1(std::uint32_t quad, unsigned nShift)
{
    return (quad * 0x9E3779B1u) >> nShift;
}

inline std::uint32_t QuadProbe2(std::uint32_t quad, unsigned nShift)
{
    return ((quad ^ (quad >> 15)) * 0x85EBCA77u) >> nShift;
}

inline std::uint32_t PairProbe(std::uint32_t pair, unsigned nShift)
{
    return ((pair + 0x5BD1E995u) * 0xC2B2AE35u) >> nShift;
}

inline unsigned CeilLog2(std::size_t n)
{
    unsigned bits = 0;
    while (bits < 63 && (std::size_t{1} << bits) < n)
        ++bits;
    return bits;
}
