#include "FolderBrowser.h"

#include "ChildControls.h"
#include "DbcsText.h"
#include "PathText.h"
#include "ScopedCom.h"

#include <shlobj.h>

namespace {

std::string PathOfItem(LPCITEMIDLIST pItem)
{
    char szPath[MAX_PATH + 1] = {};
    if (pItem == nullptr || !SHGetPathFromIDListA(pItem, szPath))
        return std::string();
    return szPath;
}

int CALLBACK BrowseCallback(HWND hBrowser, UINT nMessage, LPARAM lParam, LPARAM lpData)
{
    switch (nMessage) {
    case BFFM_INITIALIZED: {
        const auto* pStart = reinterpret_cast<const std::string*>(lpData);
        if (pStart != nullptr && !pStart->empty()) {
            SendMessageA(hBrowser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(pStart->c_str()));
            SendMessageA(hBrowser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(pStart->c_str()));
        }
        break;
    }
    case BFFM_SELCHANGED: {
        const std::string strPath = PathOfItem(reinterpret_cast<LPCITEMIDLIST>(lParam));
        SendMessageA(hBrowser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(strPath.c_str()));
        break;
    }
    default:
        break;
    }
    return 0;
}

// The title is catalogue text of the interface language, widened with its
// own code page where the browser can take UTF-16; paths stay in the
// system's code page either way.
LPITEMIDLIST RunBrowser(HWND hOwner, const std::string& strTitle, UINT nTitleCodePage, const std::string& strStart)
{
    const UINT flags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    const LPARAM start = reinterpret_cast<LPARAM>(&strStart);
    std::wstring wstrTitle;
    if (HasUnicodeWindows() && MultiByteToWideString(strTitle, nTitleCodePage, wstrTitle)) {
        wchar_t szDisplayName[MAX_PATH + 1] = {};
        BROWSEINFOW info = {};
        info.hwndOwner = hOwner;
        info.pszDisplayName = szDisplayName;
        info.lpszTitle = wstrTitle.c_str();
        info.ulFlags = flags;
        info.lpfn = BrowseCallback;
        info.lParam = start;
        return SHBrowseForFolderW(&info);
    }
    char szDisplayName[MAX_PATH + 1] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = hOwner;
    info.pszDisplayName = szDisplayName;
    info.lpszTitle = strTitle.c_str();
    info.ulFlags = flags;
    info.lpfn = BrowseCallback;
    info.lParam = start;
    return SHBrowseForFolderA(&info);
}

}  // namespace

std::string BrowseForFolder(HWND hOwner, const std::string& strStartFolder, const std::string& strTitle,
                            UINT nTitleCodePage)
{
    // The start is shown as the browser shows a selection: no trailing "\",
    // but a root as "C:\" (the browser reads "C:" as the current folder of
    // drive C).
    const UINT nCodePage = GetACP();
    std::string strStart = strStartFolder;
    while (EndsWithSingleByte(strStart, '\\', nCodePage))
        strStart.pop_back();
    if (IsDriveRoot(strStart))
        strStart = strStart.substr(0, 2) + "\\";

    CScopedCoTaskMem<ITEMIDLIST> item(RunBrowser(hOwner, strTitle, nTitleCodePage, strStart));
    std::string strChosen = PathOfItem(item.Get());
    while (EndsWithSingleByte(strChosen, '\\', nCodePage))
        strChosen.pop_back();
    return strChosen;
}
