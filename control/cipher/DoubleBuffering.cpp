#include "DoubleBuffering.h"

#include "CipherError.h"

#include <algorithm>
#include <cstring>
#include <fstream>

CDoubleBuffering::CDoubleBuffering(std::istream& stream, int nSize, int nBlockSize)
    : m_Stream(stream), m_nSize(nSize), m_nBlockSize(nBlockSize)
{
    if (nSize % 2 != 0)
        throw CCipherError("CDoubleBuffering: m_iSize should be Even Number!");
    // A closed file stream can look good; it would read as an empty file.
    const auto* pFile = dynamic_cast<const std::ifstream*>(&stream);
    if (!stream.good() || stream.rdbuf() == nullptr || (pFile != nullptr && !pFile->is_open()))
        throw CCipherError("CDoubleBuffering: Referenced File not Opened or in Bad State!");
    if (nBlockSize <= 0 || nBlockSize > nSize / 2)
        throw CCipherError("CDoubleBuffering: Illegal Construction Data!");
    m_Buffer.resize(static_cast<std::size_t>(nSize));
    FillHalf(0);
}

void CDoubleBuffering::FillHalf(int nStart)
{
    const int nHalf = m_nSize / 2;
    m_Stream.read(reinterpret_cast<char*>(m_Buffer.data() + nStart), nHalf);
    const int nRead = static_cast<int>(m_Stream.gcount());
    // Reaching the end sets failbit with eofbit; failbit alone, or badbit,
    // is a read error, which must not pass for the end of the data.
    if (m_Stream.bad() || (m_Stream.fail() && !m_Stream.eof()))
        throw CCipherError("CDoubleBuffering: Referenced File not Opened or in Bad State!");
    m_nReadPos = nStart;
    m_nValidEnd = nStart + nRead;
    m_bStreamEnd = nRead < nHalf;
}

int CDoubleBuffering::GetData(std::uint8_t* pOut, int nLength)
{
    if (nLength == -1)
        nLength = m_nBlockSize;
    if (nLength <= 0 || nLength > m_nSize / 2 || pOut == nullptr)
        throw CCipherError("CDoubleBuffering::GetData(): Illegal iDataLen!");
    int nCopied = 0;
    while (nCopied < nLength) {
        if (m_nReadPos == m_nValidEnd) {
            if (m_bStreamEnd)
                break;
            // This half is used up: refill the other one and go on there.
            FillHalf(m_nReadPos == m_nSize ? 0 : m_nSize / 2);
            continue;
        }
        const int nTake = std::min(nLength - nCopied, m_nValidEnd - m_nReadPos);
        std::memcpy(pOut + nCopied, m_Buffer.data() + m_nReadPos, static_cast<std::size_t>(nTake));
        nCopied += nTake;
        m_nReadPos += nTake;
    }
    return nCopied;
}
