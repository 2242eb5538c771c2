// The cipher parameters of a built-in word-adjustment library, derived from
// the library's file name alone: nothing of the key is stored in any file.
//
// A library file is enciphered twice. The loader deciphers it with the
// first-pass parameters (the name with kFirstPassSuffix appended) into a
// scratch file, then the scratch file with the second-pass parameters (the
// plain name) into the plain text. Enciphering runs the other way round:
// second-pass parameters first, first-pass parameters last.
//
// The derivation, over the name's last path component (the text after the
// last "\" or "/") with ASCII letters folded to lower case, since Windows
// names "BASEBIG.TXT" and "basebig.txt" are one file:
//   seed   = FNV-1a 32-bit of the folded name (+ "q" for the first pass);
//            0 becomes 0x9E3779B9, as xorshift never leaves 0;
//   next() = xorshift32 (x ^= x << 13; x ^= x >> 17; x ^= x << 5), the new x;
//   rounds = 3 + next() % 98                    (3..100)
//   length = 16 + next() % 17                   (16..32 bytes)
//   key[i] = 1 + (next() >> 8) % 255            (1..255, for i < length)
// Key bytes are never 0: a zero byte would cut the signature short and let a
// file made with other parameters pass the signature check.
//
// The names are bytes; a double-byte character whose second byte is "\"
// splits the name there, on both sides alike, so pass the same string (best,
// the bare file name) when enciphering and deciphering.
#pragma once

#include "StreamCipher.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct LibraryCipherParameters {
    int nRounds = 0;
    std::vector<std::uint8_t> key;
};

// The one-letter suffix of the first deciphering pass.
extern const char kFirstPassSuffix[];

// The text after the last "\" or "/"; the whole text when it has none.
std::string LibraryNameOf(const std::string& strPath);
// LibraryNameOf with ASCII letters folded to lower case: one name for
// every spelling Windows takes for the same file.
std::string FoldedLibraryName(const std::string& strPath);

// The parameters for a library name (a path is cut to its last component).
LibraryCipherParameters DeriveLibraryCipherParameters(const std::string& strLibraryFileName, bool bFirstPass);

// The process-wide cipher, created on first use, initialised with the
// parameters of this name and pass. Each call re-initialises the same
// object; it is not locked, so one thread at a time.
CStreamCipher& CreateLibraryCipher(const std::string& strLibraryFileName, bool bFirstPass);

// The plain file enciphered as library `strLibraryName` into strLibraryPath,
// by way of an intermediate file strLibraryPath + ".pass" that is removed
// afterwards, on failure too. Both helpers refuse, before touching any file,
// a run where two of their three files are one.
void EncipherLibrary(const std::string& strPlainPath, const std::string& strLibraryPath,
                     const std::string& strLibraryName);

// An enciphered library's bytes deciphered in memory, both passes; throws
// CCipherError when either pass does not start with its key's signature.
// The loader uses this: no deciphered copy of a library reaches the disk.
std::string DecipherLibraryText(std::string strEnciphered, const std::string& strLibraryName);
// The same from the library file; throws also when it cannot be read or is
// larger than any library can be (kMaxLibraryFileBytes).
std::string DecipherLibraryFile(const std::string& strLibraryPath, const std::string& strLibraryName);
constexpr std::size_t kMaxLibraryFileBytes = std::size_t{64} << 20;

// The library file deciphered into strPlainPath through strScratchPath,
// which is removed afterwards, on failure too. A failure throws and may
// leave a partial plain file, which the caller removes.
void DecipherLibrary(const std::string& strLibraryPath, const std::string& strPlainPath,
                     const std::string& strLibraryName, const std::string& strScratchPath);
