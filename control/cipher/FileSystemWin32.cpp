#include "FileSystem.h"

#include <windows.h>

#include <vector>

namespace {

// A file handle, closed on destruction.
class CFileHandle {
public:
    explicit CFileHandle(HANDLE hFile) : m_hFile(hFile) {}
    ~CFileHandle()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return m_hFile; }

private:
    HANDLE m_hFile;
};

// The volume and index that tell one file from every other.
bool GetFileIdentity(const std::string& strPath, BY_HANDLE_FILE_INFORMATION& info)
{
    // No access asked: attributes can be read even from a file opened for
    // writing elsewhere. Backup semantics let a folder open too.
    CFileHandle file(CreateFileA(strPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.Get() != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file.Get(), &info);
}

} // namespace

bool IsSameExistingFile(const std::string& strFirst, const std::string& strSecond)
{
    BY_HANDLE_FILE_INFORMATION first, second;
    if (!GetFileIdentity(strFirst, first) || !GetFileIdentity(strSecond, second))
        return false;
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

std::string FullPathName(const std::string& strPath)
{
    if (strPath.empty())
        return strPath;
    const DWORD dwNeeded = GetFullPathNameA(strPath.c_str(), 0, nullptr, nullptr);
    if (dwNeeded == 0)
        return strPath;
    std::vector<char> buffer(dwNeeded + 1);
    const DWORD dwLength = GetFullPathNameA(strPath.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (dwLength == 0 || dwLength >= buffer.size())
        return strPath;
    return std::string(buffer.data(), dwLength);
}

bool MoveFileOver(const std::string& strFrom, const std::string& strTo)
{
    return MoveFileExA(strFrom.c_str(), strTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}
