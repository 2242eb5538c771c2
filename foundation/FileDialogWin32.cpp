#include "FileDialog.h"

#include "ChildControls.h"
#include "PathText.h"

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

namespace {

bool RunFileDialog(bool bSave, HWND hOwner, const std::string& strFilter, UINT nFilterCodePage,
                   const std::string& strStartFolder, const std::string& strStartName, std::string& strPath)
{
    std::wstring wstrFilter, wstrStart, wstrName;
    MultiByteToWideString(strFilter, nFilterCodePage, wstrFilter);
    MultiByteToWideString(strStartFolder, CP_ACP, wstrStart);
    MultiByteToWideString(strStartName, CP_ACP, wstrName);
    const std::wstring wstrList = FileDialogFilter(wstrFilter);
    wchar_t szFile[MAX_PATH] = {};
    if (wstrName.size() < MAX_PATH)
        wstrName.copy(szFile, wstrName.size());
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = hOwner;
    open.lpstrFilter = wstrList.c_str();
    open.lpstrFile = szFile;
    open.nMaxFile = MAX_PATH;
    open.lpstrInitialDir = wstrStart.empty() ? nullptr : wstrStart.c_str();
    open.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (bSave ? OFN_OVERWRITEPROMPT : 0);
    if (!(bSave ? ::GetSaveFileNameW(&open) : ::GetOpenFileNameW(&open)))
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

} // namespace

bool ChooseFileToOpen(HWND hOwner, const std::string& strFilter, UINT nFilterCodePage,
                      const std::string& strStartFolder, std::string& strPath)
{
    return RunFileDialog(false, hOwner, strFilter, nFilterCodePage, strStartFolder, std::string(), strPath);
}

bool ChooseFileToSave(HWND hOwner, const std::string& strFilter, UINT nFilterCodePage,
                      const std::string& strStartPath, std::string& strPath)
{
    // Split where the code page says a backslash is one, not a Chinese trail byte.
    const std::string strFolder = ParentFolder(strStartPath, ::GetACP());
    std::string strName = strStartPath.substr(strFolder.size());
    if (!strName.empty() && strName[0] == '\\')
        strName.erase(0, 1);
    return RunFileDialog(true, hOwner, strFilter, nFilterCodePage, strFolder, strName, strPath);
}
