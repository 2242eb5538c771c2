#include "InstallerDigest.h"

#include "UpdateInfo.h"

bool CInstallerDigest::FileMatches(HANDLE hFile, const std::string& strHex)
{
    if (::SetFilePointer(hFile, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    CInstallerDigest digest;
    char chunk[64 * 1024];
    for (;;) {
        DWORD nRead = 0;
        if (!::ReadFile(hFile, chunk, sizeof chunk, &nRead, nullptr))
            return false;
        if (nRead == 0)
            break;
        digest.Add(chunk, nRead);
    }
    unsigned char bytes[kSize] = {};
    return digest.Finish(bytes) && IsSameDigest(bytes, strHex);
}
