#include "LibraryCache.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const char kName[] = "ffbig.txt";

std::string SomeLibraryText(std::size_t nBytes)
{
    std::string strText;
    for (std::size_t i = 0; strText.size() < nBytes; ++i)
        strText += "\xB8\xB4\xD4\xD3=\xCE\xEB\xB3\xD9 " + std::to_string(i) + "\r\n";
    strText.resize(nBytes);
    return strText;
}

const LibraryFileStamp& Stamp()
{
    static const LibraryFileStamp stamp = StampLibraryFile("the enciphered library file", 133000000000000000ull);
    return stamp;
}

TEST(LibraryCacheTest, GivesBackWhatWasSealedAndHoldsNoneOfItInTheClear)
{
    // Empty, with zero bytes, and past one piece of the cipher.
    for (const std::string& strText :
         {std::string(), std::string("a\0b=c\0d\n", 8), SomeLibraryText(4000), SomeLibraryText((1u << 20) + 77)}) {
        const std::string strEntry = SealLibraryCacheEntry(strText, kName, Stamp());
        std::string strBack = "untouched";
        ASSERT_TRUE(OpenLibraryCacheEntry(strEntry, kName, Stamp(), strBack)) << strText.size();
        EXPECT_EQ(strBack, strText);
        if (strText.size() > 100) {
            EXPECT_EQ(strEntry.find(strText.substr(40, 24)), std::string::npos) << "plain text at rest";
        }
        // The name is a file name whatever the case or folder it comes with.
        EXPECT_TRUE(OpenLibraryCacheEntry(strEntry, "C:\\Lumbra\\ctwa\\FFBIG.TXT", Stamp(), strBack));
    }
}

TEST(LibraryCacheTest, TakesNothingButTheEntryOfThisLibraryFileAsItIs)
{
    const std::string strText = SomeLibraryText(3000);
    const std::string strEntry = SealLibraryCacheEntry(strText, kName, Stamp());
    LibraryFileStamp otherSize = Stamp(), otherTime = Stamp(), otherDigest = Stamp();
    ++otherSize.m_nSize;
    ++otherTime.m_nWriteTime;
    otherDigest.m_digest[31] ^= 1;
    const std::size_t nHeader = 8 + 8 + 8 + 32 + 8 + 32;
    auto flip = [&strEntry](std::size_t nAt) {
        std::string strDamaged = strEntry;
        strDamaged[nAt] = static_cast<char>(strDamaged[nAt] ^ 0x20);
        return strDamaged;
    };
    const struct {
        const char* pszWhat;
        std::string strEntry;
        std::string strName;
        LibraryFileStamp stamp;
    } misses[] = {
        {"the library grew", strEntry, kName, otherSize},
        {"the library was written again", strEntry, kName, otherTime},
        {"the library changed, size and time kept", strEntry, kName, otherDigest},
        {"another library's entry", strEntry, "ffgb.txt", Stamp()},
        {"no entry at all", "", kName, Stamp()},
        {"cut inside the header", strEntry.substr(0, nHeader - 1), kName, Stamp()},
        {"cut by one byte", strEntry.substr(0, strEntry.size() - 1), kName, Stamp()},
        {"a byte more", strEntry + "x", kName, Stamp()},
        {"another format", flip(0), kName, Stamp()},
        {"the stored length changed", flip(8 + 8 + 8 + 32), kName, Stamp()},
        {"the stored digest changed", flip(nHeader - 1), kName, Stamp()},
        {"the first byte of the text damaged", flip(nHeader), kName, Stamp()},
        {"the last byte of the text damaged", flip(strEntry.size() - 1), kName, Stamp()},
    };
    for (const auto& miss : misses) {
        std::string strBack = "untouched";
        EXPECT_FALSE(OpenLibraryCacheEntry(miss.strEntry, miss.strName, miss.stamp, strBack)) << miss.pszWhat;
        EXPECT_EQ(strBack, "untouched") << miss.pszWhat;
    }
}

TEST(LibraryCacheTest, StampsTellFilesApartByEveryByte)
{
    const std::string strFile = SomeLibraryText(500);
    const LibraryFileStamp stamp = StampLibraryFile(strFile, 7);
    EXPECT_EQ(stamp.m_nSize, 500u);
    EXPECT_EQ(stamp.m_nWriteTime, 7u);
    EXPECT_EQ(StampLibraryFile(strFile, 7), stamp);
    for (std::size_t nAt : {std::size_t{0}, std::size_t{250}, std::size_t{499}}) {
        std::string strOther = strFile;
        strOther[nAt] = static_cast<char>(strOther[nAt] + 1);
        EXPECT_NE(StampLibraryFile(strOther, 7).m_digest, stamp.m_digest) << nAt;
    }
    EXPECT_NE(StampLibraryFile("", 7).m_digest, StampLibraryFile(std::string(1, '\0'), 7).m_digest);
}

} // namespace
