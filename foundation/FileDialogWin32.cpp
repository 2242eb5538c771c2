#include "FileDialog.h"

#include "ChildControls.h"

#include <commdlg.h>

std::wstring FileDialogFilter(const std::wstring& strFilter)
{
    // Converted to UTF-16 first, so that no "|" is a trail byte of a
    // Chinese character here.
    std::wstring strList = strFilter;
    for (wchar_t& c : strList)
        if (c == L'|')
            c = L'\0';
    while (!strList.empty() && strList.back() == L'\0')
        strList.pop_back();
    strList.append(2, L'\0');
    return strList;
}

bool ChooseFileToOpen(HWND hOwner, const std::string& strFilter, UINT nFilterCodePage,
                      const std::string& strStartFolder, std::string& strPath)
{
    std::wstring wstrFilter, wstrStart;
    MultiByteToWideString(strFilter, nFilterCodePage, wstrFilter);
    MultiByteToWideString(strStartFolder, CP_ACP, wstrStart);
    const std::wstring wstrList = FileDialogFilter(wstrFilter);
    wchar_t szFile[MAX_PATH] = {};
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = hOwner;
    open.lpstrFilter = wstrList.c_str();
    open.lpstrFile = szFile;
    open.nMaxFile = MAX_PATH;
    open.lpstrInitialDir = wstrStart.empty() ? nullptr : wstrStart.c_str();
    open.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&open))
        return false;
    // A name the ANSI functions cannot reach is no use to the callers.
    BOOL bLossy = FALSE;
    char szPath[MAX_PATH * 2] = {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, szFile, -1, szPath, sizeof szPath, nullptr, &bLossy);
    if (n <= 1 || bLossy)
        return false;
    strPath = szPath;
    return true;
}
