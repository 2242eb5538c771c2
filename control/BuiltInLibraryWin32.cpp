#include "BuiltInLibrary.h"

#include "CipherError.h"
#include "FileReplace.h"
#include "LibraryCache.h"
#include "LibraryCipher.h"
#include "PathUtil.h"
#include "ScopedKernelHandles.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>

namespace {

const char kCacheExtension[] = ".wac";

struct CFileRead {
    std::string m_strBytes;
    std::uint64_t m_nWriteTime = 0;
};

// The whole file and its last-write time, from one handle; false when it
// does not open, is larger than `nMaxBytes` or does not read whole.
bool ReadWholeFile(const std::string& strPath, std::uint64_t nMaxBytes, CFileRead& read)
{
    const CScopedHandle file(::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    FILETIME written = {};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > nMaxBytes || !::GetFileTime(file.Get(), nullptr, nullptr, &written))
        return false;
    read.m_nWriteTime = static_cast<std::uint64_t>(written.dwHighDateTime) << 32 | written.dwLowDateTime;
    read.m_strBytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    for (std::size_t nDone = 0; nDone < read.m_strBytes.size();) {
        const DWORD nWant = static_cast<DWORD>(std::min<std::size_t>(read.m_strBytes.size() - nDone, 1u << 24));
        DWORD nGot = 0;
        if (!::ReadFile(file.Get(), &read.m_strBytes[nDone], nWant, &nGot, nullptr) || nGot == 0)
            return false;
        nDone += nGot;
    }
    return true;
}

void WriteCacheEntry(const std::string& strCacheFolder, const std::string& strPath, const std::string& strEntry)
{
    if (CreateFolderPath(strCacheFolder) != 0)
        return;
    WriteFileReplacing(LibraryCacheEntryPath(strCacheFolder, strPath), strEntry);
}

} // namespace

bool ReadLibraryFile(const std::string& strPath, std::string& strBytes, LibraryFileStamp& stamp)
{
    CFileRead read;
    if (!ReadWholeFile(strPath, kMaxLibraryFileBytes, read))
        return false;
    stamp = StampLibraryFile(read.m_strBytes, read.m_nWriteTime);
    strBytes = std::move(read.m_strBytes);
    return true;
}

std::string LibraryCacheEntryPath(const std::string& strCacheFolder, const std::string& strPath)
{
    return strCacheFolder + "\\" + FoldedLibraryName(strPath) + kCacheExtension;
}

std::string ReadBuiltInLibraryText(const std::string& strPath, const std::string& strCacheFolder)
{
    CFileRead library;
    if (!ReadWholeFile(strPath, kMaxLibraryFileBytes, library))
        throw CCipherError("FileCrypt ERROR: Cannot open File " + strPath + "!");
    const std::string strName = LibraryNameOf(strPath);
    if (strCacheFolder.empty())
        return DecipherLibraryText(std::move(library.m_strBytes), strName);

    const LibraryFileStamp stamp = StampLibraryFile(library.m_strBytes, library.m_nWriteTime);
    CFileRead entry;
    std::string strPlain;
    // An entry holds the text and a header: never much more than the library.
    if (ReadWholeFile(LibraryCacheEntryPath(strCacheFolder, strPath), 2 * kMaxLibraryFileBytes, entry) &&
        OpenLibraryCacheEntry(std::move(entry.m_strBytes), strName, stamp, strPlain))
        return strPlain;
    strPlain = DecipherLibraryText(std::move(library.m_strBytes), strName);
    WriteCacheEntry(strCacheFolder, strPath, SealLibraryCacheEntry(strPlain, strName, stamp));
    return strPlain;
}

std::string UserLibraryCacheFolder()
{
    char szFolder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder)) ||
        !szFolder[0])
        return std::string();
    return RemoveTrailingBackslashes(szFolder) + "\\Perdix\\KIVO\\Cache";
}
