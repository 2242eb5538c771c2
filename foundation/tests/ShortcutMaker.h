// Makes a shell shortcut for the Windows tests.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

inline bool MakeShortcut(const std::string& strLinkPath, const std::string& strTarget, const std::string& strArguments)
{
    const HRESULT hInit = CoInitialize(nullptr);
    bool bMade = false;
    IShellLinkA* pLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&pLink)))) {
        pLink->SetPath(strTarget.c_str());
        pLink->SetArguments(strArguments.c_str());
        IPersistFile* pFile = nullptr;
        if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile)))) {
            wchar_t szWide[MAX_PATH * 2] = {};
            MultiByteToWideChar(CP_ACP, 0, strLinkPath.c_str(), -1, szWide, MAX_PATH * 2);
            bMade = SUCCEEDED(pFile->Save(szWide, TRUE));
            pFile->Release();
        }
        pLink->Release();
    }
    if (SUCCEEDED(hInit))
        CoUninitialize();
    return bMade;
}
