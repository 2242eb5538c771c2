#include "DoubleBuffering.h"

#include "CipherTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

namespace {

std::string Pattern(std::size_t nLength)
{
    std::string strData(nLength, '\0');
    for (std::size_t n = 0; n < nLength; ++n)
        strData[n] = static_cast<char>(n * 7 + n / 251);
    return strData;
}

// Reads everything in pieces of nLength and checks the piece sizes: full
// until the end, then the rest, then 0 (asked twice).
std::string ReadAll(CDoubleBuffering& reader, int nLength, int nPiece)
{
    std::string strRead;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(nPiece));
    bool bShortSeen = false;
    for (;;) {
        const int nGot = reader.GetData(buffer.data(), nLength);
        EXPECT_GE(nGot, 0);
        EXPECT_LE(nGot, nPiece);
        if (nGot == 0)
            break;
        EXPECT_FALSE(bShortSeen) << "a short piece before the end";
        bShortSeen = nGot < nPiece;
        strRead.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(nGot));
    }
    EXPECT_EQ(reader.GetData(buffer.data(), nLength), 0);
    return strRead;
}

TEST(DoubleBufferingTest, HandsOutTheWholeStreamInFullPieces)
{
    const struct {
        int nSize, nBlock, nAsk, nPiece;
    } readers[] = {
        {1024, 384, -1, 384},  // as the file operations read
        {1024, 384, 512, 512}, // a whole half at a time
        {1024, 384, 1, 1},
        {1024, 384, 100, 100},
        {2, 1, -1, 1},         // the smallest buffer
        {10, 3, 5, 5},
    };
    for (const auto& r : readers) {
        for (std::size_t nLength : {0, 1, 383, 384, 511, 512, 513, 1023, 1024, 1025, 5000}) {
            SCOPED_TRACE(std::to_string(r.nSize) + "/" + std::to_string(r.nAsk) + " over " + std::to_string(nLength));
            const std::string strData = Pattern(nLength);
            std::istringstream stream(strData);
            CDoubleBuffering reader(stream, r.nSize, r.nBlock);
            EXPECT_EQ(ReadAll(reader, r.nAsk, r.nPiece), strData);
        }
    }
}

TEST(DoubleBufferingTest, ChecksItsConstructionInOrder)
{
    std::istringstream good("data");
    std::istringstream bad("data");
    bad.setstate(std::ios::failbit);
    const char kEven[] = "CDoubleBuffering: m_iSize should be Even Number!";
    const char kState[] = "CDoubleBuffering: Referenced File not Opened or in Bad State!";
    const char kData[] = "CDoubleBuffering: Illegal Construction Data!";
    const struct {
        std::istream* pStream;
        int nSize, nBlock;
        const char* pszError;
    } cases[] = {
        {&bad, 1023, 0, kEven},  // the size is checked first,
        {&bad, 1024, 0, kState}, // then the stream,
        {&good, 1024, 0, kData}, // then the block size
        {&good, 1024, -1, kData},
        {&good, 1024, 513, kData},
        {&good, 0, 0, kData},
        {&good, -4, 1, kData},
        {&good, -3, 1, kEven},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.nSize) + "/" + std::to_string(c.nBlock));
        EXPECT_EQ(ErrorOf([&] { CDoubleBuffering reader(*c.pStream, c.nSize, c.nBlock); }), c.pszError);
    }
    std::ifstream closed;
    EXPECT_EQ(ErrorOf([&] { CDoubleBuffering reader(closed, 1024, 384); }), kState);
}

TEST(DoubleBufferingTest, RefusesIllegalLengths)
{
    std::istringstream stream(Pattern(2000));
    CDoubleBuffering reader(stream, 1024, 384);
    std::uint8_t buffer[1024];
    for (int nLength : {0, -2, -384, 513, 1024})
        EXPECT_EQ(ErrorOf([&] { reader.GetData(buffer, nLength); }), "CDoubleBuffering::GetData(): Illegal iDataLen!")
            << nLength;
    EXPECT_EQ(reader.GetData(buffer, 512), 512);
}

// A stream that fails after a number of bytes, as a failing disk does.
class CFailingBuffer : public std::streambuf {
public:
    explicit CFailingBuffer(std::size_t nGoodBytes) : m_strData(nGoodBytes, 'x') {}

protected:
    int_type underflow() override
    {
        if (m_bServed)
            throw std::ios::failure("read error");
        m_bServed = true;
        setg(&m_strData[0], &m_strData[0], &m_strData[0] + m_strData.size());
        return traits_type::to_int_type(m_strData[0]);
    }

private:
    std::string m_strData;
    bool m_bServed = false;
};

TEST(DoubleBufferingTest, AReadErrorIsNotTheEndOfTheData)
{
    CFailingBuffer failing(700);
    std::istream stream(&failing);
    CDoubleBuffering reader(stream, 1024, 384);
    std::uint8_t buffer[384];
    EXPECT_EQ(reader.GetData(buffer, -1), 384);
    EXPECT_EQ(ErrorOf([&] { reader.GetData(buffer, -1); }),
              "CDoubleBuffering: Referenced File not Opened or in Bad State!");
}

} // namespace
