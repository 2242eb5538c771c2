#include "LibraryCache.h"

#include "LibraryCipher.h"
#include "SHA.h"
#include "StreamCipher.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

const char kMagic[] = "KIVOWAC1";
constexpr std::size_t kMagicSize = 8;
constexpr std::size_t kDigestSize = CSHA::kDigestSize;
constexpr std::size_t kHeaderSize = kMagicSize + 8 + 8 + kDigestSize + 8 + kDigestSize;
const char kKeyLabel[] = "KIVO word-adjustment cache";
constexpr int kCacheRounds = 1;
// The cipher takes int lengths: the text goes through in pieces of this.
constexpr std::size_t kCipherPiece = std::size_t{1} << 20;

using Digest = std::array<std::uint8_t, kDigestSize>;

void AppendNumber(std::string& strOut, std::uint64_t nValue)
{
    for (int i = 0; i < 8; ++i)
        strOut.push_back(static_cast<char>((nValue >> (8 * i)) & 0xFF));
}

std::uint64_t ReadNumber(const std::string& strIn, std::size_t nAt)
{
    std::uint64_t nValue = 0;
    for (int i = 7; i >= 0; --i)
        nValue = nValue << 8 | static_cast<unsigned char>(strIn[nAt + static_cast<std::size_t>(i)]);
    return nValue;
}

void AppendDigest(std::string& strOut, const Digest& digest)
{
    strOut.append(reinterpret_cast<const char*>(digest.data()), digest.size());
}

Digest ReadDigest(const std::string& strIn, std::size_t nAt)
{
    Digest digest;
    std::memcpy(digest.data(), strIn.data() + nAt, digest.size());
    return digest;
}

// CSHA takes int lengths, and refuses none at all.
void AddBytes(CSHA& sha, const char* pData, std::size_t nLength)
{
    for (std::size_t nDone = 0; nDone < nLength;) {
        const std::size_t nCount = std::min<std::size_t>(nLength - nDone, INT_MAX / 2);
        sha.AddData(reinterpret_cast<const std::uint8_t*>(pData + nDone), static_cast<int>(nCount));
        nDone += nCount;
    }
}

Digest Finish(CSHA& sha)
{
    Digest digest;
    sha.FinalDigest(digest.data());
    return digest;
}

// Of the length and the bytes, so that no bytes have a digest too.
Digest TextDigest(const char* pText, std::size_t nLength)
{
    std::string strLength;
    AppendNumber(strLength, nLength);
    CSHA sha;
    AddBytes(sha, strLength.data(), strLength.size());
    AddBytes(sha, pText, nLength);
    return Finish(sha);
}

void InitializeCipher(CStreamCipher& cipher, const std::string& strLibraryName, const LibraryFileStamp& stamp)
{
    CSHA sha;
    const std::string strName = FoldedLibraryName(strLibraryName);
    AddBytes(sha, kKeyLabel, sizeof kKeyLabel);  // its zero ends the label
    AddBytes(sha, strName.data(), strName.size());
    AddBytes(sha, reinterpret_cast<const char*>(stamp.m_digest.data()), stamp.m_digest.size());
    Digest key = Finish(sha);
    for (std::uint8_t& byKey : key)
        byKey = byKey == 0 ? 1 : byKey;
    cipher.Initialize(key.data(), static_cast<int>(key.size()), kCacheRounds);
}

template <typename Transform>
void InPieces(std::string& strText, std::size_t nFrom, Transform transform)
{
    auto* pBytes = reinterpret_cast<std::uint8_t*>(&strText[0]);
    for (std::size_t nDone = nFrom; nDone < strText.size();) {
        const int nCount = static_cast<int>(std::min(kCipherPiece, strText.size() - nDone));
        transform(pBytes + nDone, nCount);
        nDone += static_cast<std::size_t>(nCount);
    }
}

} // namespace

LibraryFileStamp StampLibraryFile(const std::string& strFileBytes, std::uint64_t nWriteTime)
{
    LibraryFileStamp stamp;
    stamp.m_nSize = strFileBytes.size();
    stamp.m_nWriteTime = nWriteTime;
    stamp.m_digest = TextDigest(strFileBytes.data(), strFileBytes.size());
    return stamp;
}

std::string SealLibraryCacheEntry(const std::string& strPlain, const std::string& strLibraryName,
                                  const LibraryFileStamp& stamp)
{
    std::string strEntry(kMagic, kMagicSize);
    AppendNumber(strEntry, stamp.m_nSize);
    AppendNumber(strEntry, stamp.m_nWriteTime);
    AppendDigest(strEntry, stamp.m_digest);
    AppendNumber(strEntry, strPlain.size());
    AppendDigest(strEntry, TextDigest(strPlain.data(), strPlain.size()));
    strEntry += strPlain;
    CStreamCipher cipher;
    InitializeCipher(cipher, strLibraryName, stamp);
    InPieces(strEntry, kHeaderSize,
             [&cipher](std::uint8_t* pBytes, int nCount) { cipher.EncryptBlock(pBytes, pBytes, nCount); });
    return strEntry;
}

bool OpenLibraryCacheEntry(std::string strEntry, const std::string& strLibraryName, const LibraryFileStamp& stamp,
                           std::string& strPlain)
{
    if (strEntry.size() < kHeaderSize || strEntry.compare(0, kMagicSize, kMagic, kMagicSize) != 0)
        return false;
    std::size_t nAt = kMagicSize;
    LibraryFileStamp sealed;
    sealed.m_nSize = ReadNumber(strEntry, nAt);
    sealed.m_nWriteTime = ReadNumber(strEntry, nAt + 8);
    sealed.m_digest = ReadDigest(strEntry, nAt + 16);
    nAt += 16 + kDigestSize;
    if (!(sealed == stamp))
        return false;
    const std::uint64_t nLength = ReadNumber(strEntry, nAt);
    const Digest expected = ReadDigest(strEntry, nAt + 8);
    if (nLength != strEntry.size() - kHeaderSize)
        return false;
    CStreamCipher cipher;
    InitializeCipher(cipher, strLibraryName, stamp);
    InPieces(strEntry, kHeaderSize,
             [&cipher](std::uint8_t* pBytes, int nCount) { cipher.DecryptBlock(pBytes, pBytes, nCount); });
    if (TextDigest(strEntry.data() + kHeaderSize, strEntry.size() - kHeaderSize) != expected)
        return false;
    strPlain.assign(strEntry, kHeaderSize, std::string::npos);
    return true;
}
