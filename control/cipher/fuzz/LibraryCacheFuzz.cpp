// Fuzz target of the cache entry a loader reads back from the user's folder:
// any bytes at all. The stamp the entry is checked against is taken from the
// input's own header, so that what follows it (the length, the cipher, the
// digest) is reached too. An entry either opens to exactly the text it was
// sealed with or is refused, leaving the caller's text as it was; and every
// text seals into an entry that opens to it again.
#include "LibraryCache.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "../../../foundation/fuzz/FuzzRequire.h"

namespace {

const char kName[] = "ffbig.txt";

std::uint64_t ReadNumber(const std::string& strIn, std::size_t nAt)
{
    std::uint64_t nValue = 0;
    for (int i = 7; i >= 0; --i)
        nValue = nValue << 8 | static_cast<unsigned char>(strIn[nAt + static_cast<std::size_t>(i)]);
    return nValue;
}

// The stamp an entry names: size and time at 8, digest at 24.
LibraryFileStamp StampNamedBy(const std::string& strEntry)
{
    LibraryFileStamp stamp;
    if (strEntry.size() < 56)
        return stamp;
    stamp.m_nSize = ReadNumber(strEntry, 8);
    stamp.m_nWriteTime = ReadNumber(strEntry, 16);
    std::memcpy(stamp.m_digest.data(), strEntry.data() + 24, stamp.m_digest.size());
    return stamp;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string strInput(reinterpret_cast<const char*>(pData), nSize);
    const LibraryFileStamp stamp = StampNamedBy(strInput);
    std::string strPlain = "untouched";
    if (OpenLibraryCacheEntry(strInput, kName, stamp, strPlain))
        KIVO_FUZZ_REQUIRE(SealLibraryCacheEntry(strPlain, kName, stamp) == strInput);
    else
        KIVO_FUZZ_REQUIRE(strPlain == "untouched");

    const LibraryFileStamp own = StampLibraryFile(strInput, nSize);
    std::string strBack;
    KIVO_FUZZ_REQUIRE(OpenLibraryCacheEntry(SealLibraryCacheEntry(strInput, kName, own), kName, own, strBack));
    KIVO_FUZZ_REQUIRE(strBack == strInput);
    return 0;
}
