#include "TransferTempFiles.h"

#include "ScopedKernelHandles.h"

#include <windows.h>

bool IsTransferTempFileName(const std::string& strName)
{
    static const char kSuffix[] = ".tps";
    const size_t nSuffix = sizeof kSuffix - 1;
    if (strName.size() < nSuffix)
        return false;
    for (size_t i = 0; i < nSuffix; ++i) {
        char c = strName[strName.size() - nSuffix + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kSuffix[i])
            return false;
    }
    return true;
}

void DeleteTransferTempFilesIn(const std::string& strFolder)
{
    WIN32_FIND_DATAA found = {};
    CScopedFindHandle find(::FindFirstFileA((strFolder + "\\*.*").c_str(), &found));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return;
    do {
        // "." and ".." by name: not every folder lists them, nor lists them first.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (IsTransferTempFileName(found.cFileName))
            ::DeleteFileA((strFolder + "\\" + found.cFileName).c_str());
    } while (::FindNextFileA(find.Get(), &found));
}
