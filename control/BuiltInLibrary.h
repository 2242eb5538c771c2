// Reading a built-in word-adjustment library: the enciphered file of
// Lumbra's installation, deciphered in memory, by way of the user's cache of
// deciphered libraries (LibraryCache.h) where there is one.
#pragma once

#include "LibraryCache.h"

#include <string>

// A library file's bytes and its stamp, read from one handle; false when the
// file does not open or read whole, or is larger than any library can be.
bool ReadLibraryFile(const std::string& strPath, std::string& strBytes, LibraryFileStamp& stamp);

// The deciphered text of the library file `strPath`. With a cache folder, a
// valid entry of this very file is taken; otherwise the file is deciphered
// and its entry written anew (a cache that cannot be written is no cache).
// Throws CCipherError when the file cannot be read or deciphered.
std::string ReadBuiltInLibraryText(const std::string& strPath, const std::string& strCacheFolder);

// The cache entry's place for the library file `strPath`.
std::string LibraryCacheEntryPath(const std::string& strCacheFolder, const std::string& strPath);

// Where the control keeps the entries: "Perdix\KIVO\Cache" in the user's
// local application data; empty when the system names no such folder.
std::string UserLibraryCacheFolder();
