// Whether windows are Unicode ones: a Unicode window keeps a text as it was
// given, an ANSI one narrows every text it is sent to the system's code page.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace unicodewindows {

struct CAnsiWindows {
    DWORD nProcessId;  // 0 while one window's tree is searched
    std::vector<std::string> arrClasses;
};

// Named callbacks: on 32-bit Windows the system calls them as stdcall, which a lambda is not.
inline BOOL CALLBACK CollectIfAnsi(HWND hWnd, LPARAM lParam)
{
    CAnsiWindows& find = *reinterpret_cast<CAnsiWindows*>(lParam);
    if (!IsWindowUnicode(hWnd)) {
        char szClass[64] = {};
        GetClassNameA(hWnd, szClass, sizeof szClass);
        find.arrClasses.push_back(szClass);
    }
    return TRUE;
}

inline BOOL CALLBACK CollectAnsiInTree(HWND hWnd, LPARAM lParam)
{
    CAnsiWindows& find = *reinterpret_cast<CAnsiWindows*>(lParam);
    DWORD nOwner = 0;
    GetWindowThreadProcessId(hWnd, &nOwner);
    if (find.nProcessId && nOwner != find.nProcessId)
        return TRUE;
    CollectIfAnsi(hWnd, lParam);
    EnumChildWindows(hWnd, &CollectIfAnsi, lParam);
    return TRUE;
}

}  // namespace unicodewindows

// The classes of the ANSI windows among `hWnd` and all its children; empty
// when every one is a Unicode window.
inline std::vector<std::string> AnsiWindowsIn(HWND hWnd)
{
    unicodewindows::CAnsiWindows find = {0, {}};
    unicodewindows::CollectAnsiInTree(hWnd, reinterpret_cast<LPARAM>(&find));
    return find.arrClasses;
}

// The same for every top-level window of a process, hidden ones included,
// and all their children.
inline std::vector<std::string> AnsiWindowsOf(DWORD nProcessId)
{
    unicodewindows::CAnsiWindows find = {nProcessId, {}};
    EnumWindows(&unicodewindows::CollectAnsiInTree, reinterpret_cast<LPARAM>(&find));
    return find.arrClasses;
}
