// CDoubleBuffering: reads a binary stream in blocks through one buffer split
// into two halves. When reading moves on from one half to the other, the
// half it reaches is refilled from the stream, so memory use stays at the
// buffer's size whatever the length of the stream.
#pragma once

#include <cstdint>
#include <istream>
#include <vector>

class CDoubleBuffering {
public:
    // Checks, in this order, that nSize is even, that the stream is open and
    // good, and that 0 < nBlockSize <= nSize / 2; then reads the first half.
    // A file stream must also be open. The stream must outlive the reader.
    CDoubleBuffering(std::istream& stream, int nSize, int nBlockSize);

    CDoubleBuffering(const CDoubleBuffering&) = delete;
    CDoubleBuffering& operator=(const CDoubleBuffering&) = delete;

    // Copies up to nLength bytes (one block for -1) into pOut, which holds
    // that many, and returns how many it copied: nLength until the stream
    // runs out, then what is left, then 0. A length of 0 or less (but -1) or
    // above half the buffer throws, as does a stream that fails other than
    // by reaching its end.
    int GetData(std::uint8_t* pOut, int nLength);

    int GetBlockSize() const { return m_nBlockSize; }

private:
    // Fills the half starting at nStart; a short fill marks the end.
    void FillHalf(int nStart);

    std::istream& m_Stream;
    std::vector<std::uint8_t> m_Buffer;
    int m_nSize;
    int m_nBlockSize;
    int m_nReadPos = 0;       // next byte to hand out, 0..m_nSize
    int m_nValidEnd = 0;      // end of the valid bytes of the current half
    bool m_bStreamEnd = false;
};
