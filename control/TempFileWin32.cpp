#include "TempFile.h"

#include "DiskSpace.h"
#include "DbcsText.h"
#include "PathUtil.h"

#include <windows.h>

#include <cstdio>

namespace {

// Gives up after this many names are taken; a folder holding them all is
// not one to write to.
constexpr unsigned kMaxCandidates = 100000;

bool WorkFolderHasRoom(const std::string& strFolder, const FreeSpaceQuery& freeSpace)
{
    std::uint64_t nFree = 0;
    const bool bKnown = freeSpace ? freeSpace(strFolder, nFree) : QueryDiskSpace(strFolder, DiskSpaceFree, nFree);
    return bKnown && nFree > kTempMinimumFreeKilobytes;
}

std::string ChooseFolder(const CTempFolders& folders, bool bUseWorkFolder, const FreeSpaceQuery& freeSpace)
{
    if (!bUseWorkFolder || folders.m_strWorkFolder.empty())
        return folders.m_strSystemTemp;
    if (!FolderExists(folders.m_strWorkFolder))
        CreateFolderPath(folders.m_strWorkFolder);
    if (FolderExists(folders.m_strWorkFolder) && WorkFolderHasRoom(folders.m_strWorkFolder, freeSpace))
        return folders.m_strWorkFolder;
    return folders.m_strSystemTemp;
}

} // namespace

std::string MakeTempFile(const CTempFolders& folders, bool bUseWorkFolder, const std::string& strExtension,
                         const FreeSpaceQuery& freeSpace)
{
    std::string strFolder = ChooseFolder(folders, bUseWorkFolder, freeSpace);
    const UINT nCodePage = GetACP();
    while (EndsWithSingleByte(strFolder, '\\', nCodePage))
        strFolder.pop_back();
    if (strFolder.empty())
        return std::string();

    for (unsigned n = 0; n < kMaxCandidates; ++n) {
        char szName[32];
        std::snprintf(szName, sizeof szName, "\\temp%u", n);
        std::string strPath = strFolder + szName;
        if (!strExtension.empty())
            strPath += "." + strExtension;
        if (PathExists(strPath))
            continue;
        // CREATE_NEW, not CREATE_ALWAYS: a file another process made since
        // the check above is somebody else's, and is never truncated.
        const HANDLE hFile = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            ::CloseHandle(hFile);
            return strPath;
        }
        const DWORD dwError = ::GetLastError();
        if (dwError != ERROR_FILE_EXISTS && dwError != ERROR_ALREADY_EXISTS)
            return std::string();
    }
    return std::string();
}
