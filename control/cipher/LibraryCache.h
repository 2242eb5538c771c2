// The cache entry of a built-in word-adjustment library: its deciphered text
// kept for the next load, enciphered at rest.
//
// Deciphering a library draws 2R key-stream bytes a byte in each of its two
// passes (R is 3..100); opening its cache entry draws two a byte, once. An
// entry is taken only for the very library file it was made from, as that
// file is now: the same size, last-write time and SHA-256 digest (of the
// length and the bytes, as every digest here). Its own
// text must digest as it did when it was sealed. Anything else (another or a
// changed library, a cut, damaged or foreign entry) is a miss, and the
// loader deciphers the library as it would without a cache: a damaged entry
// never costs more than a missing one.
//
// An entry is, with numbers little-endian:
//   "KIVOWAC1"                                    8 bytes
//   the library file's size, last-write time      8 + 8
//   the library file's digest                     32
//   the text's length, and its digest             8 + 32
//   the text, enciphered                          as long as the text
// The key is the SHA-256 of the library's folded name and the library file's
// digest, so a changed library never reuses a key stream, and one round of
// the library cipher without its signature does the enciphering.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct LibraryFileStamp {
    std::uint64_t m_nSize = 0;
    std::uint64_t m_nWriteTime = 0;  // as the file system gives it
    std::array<std::uint8_t, 32> m_digest{};

    bool operator==(const LibraryFileStamp& other) const
    {
        return m_nSize == other.m_nSize && m_nWriteTime == other.m_nWriteTime && m_digest == other.m_digest;
    }
};

// The stamp of a library file whose bytes are `strFileBytes`.
LibraryFileStamp StampLibraryFile(const std::string& strFileBytes, std::uint64_t nWriteTime);

// The entry of `strPlain`, the deciphered text of the library named
// `strLibraryName` (a path is cut to its last component) whose file has `stamp`.
std::string SealLibraryCacheEntry(const std::string& strPlain, const std::string& strLibraryName,
                                  const LibraryFileStamp& stamp);

// The text an entry holds, when the entry is whole and was sealed for this
// library name and this stamp; false, with `strPlain` untouched, otherwise.
bool OpenLibraryCacheEntry(std::string strEntry, const std::string& strLibraryName, const LibraryFileStamp& stamp,
                           std::string& strPlain);
