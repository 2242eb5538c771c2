#include "PathUtil.h"

#include "DbcsText.h"
#include "PathText.h"
#include "ScopedKernelHandles.h"

#include <windows.h>

#include <vector>

// The module this code is linked into: the linker defines it for every
// image, so a static library inside kivo.ocx finds the .ocx, not the host.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// MAX_PATH at first; a longer module path (a "\\?\" install) gets a bigger
// buffer, up to the longest path the system allows.
std::string ModuleFileName()
{
    const HMODULE hModule = reinterpret_cast<HMODULE>(&__ImageBase);
    for (DWORD dwSize = MAX_PATH; dwSize <= 32768; dwSize *= 2) {
        std::vector<char> buffer(dwSize, '\0');
        const DWORD dwLength = GetModuleFileNameA(hModule, buffer.data(), dwSize);
        if (dwLength == 0)
            return std::string();
        if (dwLength < dwSize)
            return std::string(buffer.data(), dwLength);
    }
    return std::string();
}

bool HasWildcards(const std::string& strPath)
{
    return strPath.find_first_of("*?") != std::string::npos;
}

DWORD Attributes(const std::string& strPath)
{
    if (strPath.empty() || HasWildcards(strPath))
        return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesA(strPath.c_str());
}

bool DriveExists(const std::string& strRoot)
{
    const std::string strDrive = strRoot.substr(0, 2) + "\\";
    const UINT nType = GetDriveTypeA(strDrive.c_str());
    return nType != DRIVE_NO_ROOT_DIR && nType != DRIVE_UNKNOWN;
}

// Missing folders from the path up to (not including) the nearest existing
// ancestor, deepest first. False when an ancestor is a file, or the walk runs
// out of ancestors before finding an existing one and `bNeedExisting` is set.
bool CollectMissingFolders(const std::string& strPath, std::vector<std::string>& arrMissing, bool bNeedExisting)
{
    const UINT nCodePage = GetACP();
    std::string strFolder = RemoveTrailingBackslash(strPath, nCodePage);
    for (;;) {
        if (strFolder.empty())
            return !bNeedExisting;
        if (FolderExists(strFolder))
            return true;
        if (PathExists(strFolder))
            return false;
        arrMissing.push_back(strFolder);
        strFolder = ParentFolder(strFolder, nCodePage);
    }
}

// A folder that exists by the time we look counts as created: another
// program may have made it between our check and our call.
bool CreateOneFolder(const std::string& strFolder)
{
    if (CreateDirectoryA(strFolder.c_str(), nullptr))
        return true;
    return GetLastError() == ERROR_ALREADY_EXISTS && FolderExists(strFolder);
}

}  // namespace

std::string GetModulePath(int nKind)
{
    if (nKind != ModulePathFile && nKind != ModulePathFolder)
        return std::string();
    const std::string strFile = ModuleFileName();
    if (nKind == ModulePathFile)
        return strFile;
    return ParentFolder(strFile);
}

bool PathExists(const std::string& strPath)
{
    if (IsDriveRoot(strPath)) {
        const std::string strPattern = strPath.substr(0, 2) + "\\*.*";
        WIN32_FIND_DATAA data;
        CScopedFindHandle find(FindFirstFileA(strPattern.c_str(), &data));
        if (find)
            return true;
        // A readable drive without a single entry is still there.
        const DWORD dwError = GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_NO_MORE_FILES;
    }
    return Attributes(RemoveTrailingBackslash(strPath, GetACP())) != INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(const std::string& strPath)
{
    if (IsDriveRoot(strPath))
        return DriveExists(strPath);
    const DWORD dwAttributes = Attributes(RemoveTrailingBackslash(strPath, GetACP()));
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& strPath, unsigned long dwAccess, unsigned long dwShareMode)
{
    if (strPath.empty() || HasWildcards(strPath))
        return false;
    CScopedHandle file(CreateFileA(strPath.c_str(), dwAccess, dwShareMode, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

std::string ParentFolder(const std::string& strPath)
{
    return ParentFolder(strPath, GetACP());
}

std::string NearestExistingFolder(const std::string& strPath)
{
    const UINT nCodePage = GetACP();
    std::string strFolder = NormalizePathInput(strPath);
    if (IsDriveRoot(strFolder))
        strFolder.resize(2);
    while (!strFolder.empty()) {
        if (FolderExists(strFolder))
            return RemoveTrailingBackslash(strFolder, nCodePage);
        strFolder = ParentFolder(strFolder, nCodePage);
    }
    return std::string();
}

bool IsValidPath(const std::string& strPath)
{
    const std::string strCandidate = NormalizePathInput(strPath);
    if (strCandidate.empty() || HasWildcards(strCandidate))
        return false;
    if (PathExists(strCandidate))
        return true;

    std::vector<std::string> arrMissing;
    if (!CollectMissingFolders(strCandidate, arrMissing, true))
        return false;

    // Create top down, then remove exactly what was created, bottom up.
    std::vector<std::string> arrCreated;
    bool bCreated = true;
    for (auto it = arrMissing.rbegin(); it != arrMissing.rend(); ++it) {
        if (!CreateDirectoryA(it->c_str(), nullptr)) {
            bCreated = false;
            break;
        }
        arrCreated.push_back(*it);
    }
    for (auto it = arrCreated.rbegin(); it != arrCreated.rend(); ++it)
        RemoveDirectoryA(it->c_str());
    return bCreated;
}

int CreateFolderPath(const std::string& strPath)
{
    const std::string strFolder = NormalizePathInput(strPath);
    if (strFolder.empty() || HasWildcards(strFolder))
        return 1;
    std::vector<std::string> arrMissing;
    // A relative path may have no existing ancestor: its top folder is then
    // created in the current folder.
    if (!CollectMissingFolders(strFolder, arrMissing, false))
        return 1;
    for (auto it = arrMissing.rbegin(); it != arrMissing.rend(); ++it) {
        if (!CreateOneFolder(*it))
            return 1;
    }
    return 0;
}

std::string RemoveTrailingBackslashes(std::string strPath)
{
    const UINT nCodePage = GetACP();
    while (EndsWithSingleByte(strPath, '\\', nCodePage))
        strPath.pop_back();
    return strPath;
}

std::string SystemTempFolder()
{
    char szTemp[MAX_PATH] = {};
    const DWORD n = ::GetTempPathA(MAX_PATH, szTemp);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    return RemoveTrailingBackslashes(szTemp);
}
