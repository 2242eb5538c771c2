#include "FileIdentity.h"

#include "ModuleExport.h"
#include "ScopedKernelHandles.h"

namespace {

// FILE_ID_INFO of GetFileInformationByHandleEx (class FileIdInfo), which
// the headers of this build's target version do not declare.
struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    BYTE identifier[16];
};
constexpr int kFileIdInfoClass = 18;
using GetFileInformationByHandleExProc = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

FileIdentity IndexOnly(HANDLE hFile)
{
    FileIdentity identity;
    const auto query = ModuleExport<GetFileInformationByHandleExProc>(GetModuleHandleA("kernel32.dll"),
                                                                     "GetFileInformationByHandleEx");
    FileIdInformation information = {};
    if (!query || !query(hFile, kFileIdInfoClass, &information, sizeof information))
        return identity;
    for (int i = 7; i >= 0; --i)
        identity.index = identity.index << 8 | information.identifier[i];
    identity.known = true;
    return identity;
}

} // namespace

FileIdentity IdentityOfHandle(HANDLE hFile)
{
    FileIdentity identity;
    if (hFile == nullptr || hFile == INVALID_HANDLE_VALUE || GetFileType(hFile) != FILE_TYPE_DISK)
        return identity;
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!GetFileInformationByHandle(hFile, &information))
        return IndexOnly(hFile);
    identity.known = identity.volumeKnown = true;
    identity.volume = information.dwVolumeSerialNumber;
    identity.index = static_cast<unsigned long long>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
    return identity;
}

FileIdentity IdentityOfPath(const std::string& path)
{
    // No access asked for: this opens even a file another program holds
    // open for writing, and never changes it.
    CScopedHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file ? IdentityOfHandle(file.Get()) : FileIdentity();
}

FileIdentity IdentityOfStandardHandle(DWORD which)
{
    return IdentityOfHandle(GetStdHandle(which));
}

bool IsSameFile(const FileIdentity& a, const FileIdentity& b)
{
    if (!a.known || !b.known || a.index != b.index)
        return false;
    return !a.volumeKnown || !b.volumeKnown || a.volume == b.volume;
}
