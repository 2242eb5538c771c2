#include "TransferTempFiles.h"

#include "PathText.h"
#include "ScopedKernelHandles.h"

#include <windows.h>

bool IsTransferTempFileName(const std::string& strName)
{
    return HasExtension(strName, ".tps");
}

void DeleteTransferTempFilesIn(const std::string& strFolder)
{
    WIN32_FIND_DATAA found = {};
    CScopedFindHandle find(::FindFirstFileA((strFolder + "\\*.*").c_str(), &found));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return;
    do {
        // Folders are passed over, "." and ".." among them, wherever they are listed.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (IsTransferTempFileName(found.cFileName))
            ::DeleteFileA((strFolder + "\\" + found.cFileName).c_str());
    } while (::FindNextFileA(find.Get(), &found));
}
