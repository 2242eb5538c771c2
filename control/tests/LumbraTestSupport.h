// The stand-in Lumbra installation as the Windows tests reach it, and copies
// of it that a test may break.
#pragma once

#include "ScratchFolder.h"

#include <windows.h>

#include <string>

namespace lumbratest {

// A path of this machine's file system as a Windows path (Wine maps "/" to Z:).
inline std::string WindowsPath(std::string strPath)
{
    for (char& c : strPath)
        if (c == '/')
            c = '\\';
    return strPath.size() > 1 && strPath[1] == ':' ? strPath : "Z:" + strPath;
}

inline std::string LumbraData()
{
    return WindowsPath(KIVO_LUMBRA_DATA);
}

// Copies a folder tree; false when any file could not be copied.
inline bool CopyTree(const std::string& strFrom, const std::string& strTo)
{
    ::CreateDirectoryA(strTo.c_str(), nullptr);
    WIN32_FIND_DATAA data = {};
    const HANDLE hFind = ::FindFirstFileA((strFrom + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return false;
    bool bOk = true;
    do {
        const std::string strName = data.cFileName;
        if (strName == "." || strName == "..")
            continue;
        const std::string strSource = strFrom + "\\" + strName, strTarget = strTo + "\\" + strName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            bOk = CopyTree(strSource, strTarget) && bOk;
        else
            bOk = ::CopyFileA(strSource.c_str(), strTarget.c_str(), FALSE) && bOk;
    } while (::FindNextFileA(hFind, &data));
    ::FindClose(hFind);
    return bOk;
}

// Number of entries (files and folders) directly in a folder.
inline int EntryCount(const std::string& strFolder)
{
    int n = 0;
    WIN32_FIND_DATAA data = {};
    const HANDLE hFind = ::FindFirstFileA((strFolder + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::string strName = data.cFileName;
        n += strName != "." && strName != "..";
    } while (::FindNextFileA(hFind, &data));
    ::FindClose(hFind);
    return n;
}

inline void WriteFile(const std::string& strPath, const std::string& strContent)
{
    const HANDLE h = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD dwWritten = 0;
    ::WriteFile(h, strContent.data(), static_cast<DWORD>(strContent.size()), &dwWritten, nullptr);
    ::CloseHandle(h);
}

} // namespace lumbratest
