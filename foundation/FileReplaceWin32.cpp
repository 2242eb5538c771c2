#include "FileReplace.h"

#include "ModuleExport.h"
#include "PathText.h"
#include "ScopedKernelHandles.h"

#include <windows.h>

#include <utility>

namespace {

// ReplaceFileA came with Windows 2000; looked up at run time so that the
// programs still load on the Windows 95 family and NT 4.
using ReplaceFileProc = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID);

ReplaceFileProc FindReplaceFile()
{
    return ModuleExport<ReplaceFileProc>(GetModuleHandleA("kernel32.dll"), "ReplaceFileA");
}

// The folder for the temporary files: the target's own, with a drive root
// written "C:\" (GetTempFileName reads "C:" as the current folder of C:).
std::string FolderOf(const std::string& strPath)
{
    std::string strFolder = ParentFolder(strPath, GetACP());
    if (strFolder.empty())
        return ".";
    if (IsDriveRoot(strFolder))
        return strFolder.substr(0, 2) + "\\";
    return strFolder;
}

// A new, empty, uniquely named file in the folder.
bool MakeTemporaryFile(const std::string& strFolder, std::string& strTemporary)
{
    char szName[MAX_PATH + 1] = {};
    if (strFolder.size() > MAX_PATH - 14) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    if (GetTempFileNameA(strFolder.c_str(), "kvo", 0, szName) == 0)
        return false;
    strTemporary = szName;
    return true;
}

DWORD WriteAll(const std::string& strPath, const std::string& strData)
{
    CScopedHandle file(CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    const char* pData = strData.data();
    std::size_t nLeft = strData.size();
    while (nLeft > 0) {
        const DWORD dwChunk = nLeft > (1u << 20) ? (1u << 20) : static_cast<DWORD>(nLeft);
        DWORD dwWritten = 0;
        if (!WriteFile(file.Get(), pData, dwChunk, &dwWritten, nullptr))
            return GetLastError();
        if (dwWritten == 0)
            return ERROR_DISK_FULL;
        pData += dwWritten;
        nLeft -= dwWritten;
    }
    if (!FlushFileBuffers(file.Get()))
        return GetLastError();
    if (!file.Reset())
        return GetLastError();
    return ERROR_SUCCESS;
}

// Deletes the temporary file on every way out unless told it has moved.
class CTemporaryFile {
public:
    explicit CTemporaryFile(std::string strPath) : m_strPath(std::move(strPath)) {}
    ~CTemporaryFile()
    {
        if (!m_strPath.empty()) {
            SetFileAttributesA(m_strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(m_strPath.c_str());
        }
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    const std::string& Path() const { return m_strPath; }
    void Moved() { m_strPath.clear(); }

private:
    std::string m_strPath;
};

bool Exists(const std::string& strPath)
{
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Puts `strNew` in place of the existing `strTarget`. The old content is
// moved aside to `strBackup` by the replace itself, so that when the last
// rename fails it is still there to be put back.
DWORD ReplaceExisting(const std::string& strTarget, const std::string& strNew, const std::string& strBackup)
{
    if (const ReplaceFileProc pReplaceFile = FindReplaceFile()) {
        if (pReplaceFile(strTarget.c_str(), strNew.c_str(), strBackup.c_str(), REPLACEFILE_WRITE_THROUGH,
                         nullptr, nullptr))
            return ERROR_SUCCESS;
        const DWORD dwError = GetLastError();
        if (dwError != ERROR_CALL_NOT_IMPLEMENTED) {
            // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the old content sits under
            // the backup name and the target name is free.
            if (!Exists(strTarget) && Exists(strBackup))
                MoveFileA(strBackup.c_str(), strTarget.c_str());
            return dwError;
        }
    }
    // NT 4 has no ReplaceFile, and the Windows 95 family neither that nor
    // MoveFileEx: move the old file aside, move the new one in, and move the
    // old one back should the second step fail.
    if (!MoveFileA(strTarget.c_str(), strBackup.c_str()))
        return GetLastError();
    if (!MoveFileA(strNew.c_str(), strTarget.c_str())) {
        const DWORD dwError = GetLastError();
        MoveFileA(strBackup.c_str(), strTarget.c_str());
        return dwError;
    }
    return ERROR_SUCCESS;
}

}  // namespace

unsigned long WriteFileReplacing(const std::string& strPath, const std::string& strData,
                                 CFileReplaceObserver* pObserver)
{
    const std::string strFolder = FolderOf(strPath);
    const DWORD dwOldAttributes = GetFileAttributesA(strPath.c_str());
    const bool bTargetExists = dwOldAttributes != INVALID_FILE_ATTRIBUTES;
    if (bTargetExists && (dwOldAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return ERROR_DIRECTORY;

    std::string strName;
    if (!MakeTemporaryFile(strFolder, strName))
        return GetLastError();
    CTemporaryFile temporary(strName);
    if (const DWORD dwError = WriteAll(temporary.Path(), strData))
        return dwError;
    if (pObserver != nullptr && !pObserver->OnTemporaryWritten(temporary.Path()))
        return ERROR_CANCELLED;

    if (!bTargetExists) {
        if (!MoveFileA(temporary.Path().c_str(), strPath.c_str()))
            return GetLastError();
        temporary.Moved();
        return ERROR_SUCCESS;
    }

    // The backup name is reserved the same way, then freed for the replace
    // to use; it is deleted again once the new content is in place.
    std::string strBackupName;
    if (!MakeTemporaryFile(strFolder, strBackupName))
        return GetLastError();
    CTemporaryFile backup(strBackupName);
    DeleteFileA(backup.Path().c_str());

    const DWORD dwError = ReplaceExisting(strPath, temporary.Path(), backup.Path());
    if (dwError != ERROR_SUCCESS) {
        // Should putting the old content back have failed too, the backup is
        // the only copy of the user's file: it stays.
        if (!Exists(strPath) && Exists(backup.Path()))
            backup.Moved();
        return dwError;
    }
    temporary.Moved();
    // ReplaceFile keeps the target's attributes; the fallbacks do not. Both
    // end with the attributes the target had when we were called.
    SetFileAttributesA(strPath.c_str(), dwOldAttributes);
    return ERROR_SUCCESS;
}
