#include "PathCommands.h"

#include "ControlPanelSettings.h"
#include "FileDialog.h"
#include "FolderBrowser.h"
#include "PathUtil.h"
#include "Registry.h"

#include <shellapi.h>

std::string BrowseRememberedFolder(HWND hOwner, const std::string& strFieldText, const char* pszLastFolderValue,
                                   const std::string& strTitle, UINT nTitleCodePage)
{
    std::string strStart = NearestExistingFolder(strFieldText);
    if (strStart.empty())
        strStart = GetUserRegString(kRegPath, pszLastFolderValue, "");
    const std::string strChosen = BrowseForFolder(hOwner, strStart, strTitle, nTitleCodePage);
    if (!strChosen.empty())
        SetUserRegString(kRegPath, pszLastFolderValue, strChosen);
    return strChosen;
}

bool BrowseLumbraExecutable(HWND hOwner, const std::string& strExeField, const std::string& strFolderField,
                            const std::string& strFilter, UINT nCodePage, std::string& strChosen)
{
    std::string strStart = NearestExistingFolder(strExeField);
    if (strStart.empty())
        strStart = GetUserRegString(kRegPath, kRegLastLumbraExePath, "");
    if (strStart.empty())
        strStart = NearestExistingFolder(strFolderField);
    if (!ChooseFileToOpen(hOwner, strFilter, nCodePage, strStart, strChosen))
        return false;
    SetUserRegString(kRegPath, kRegLastLumbraExePath, NearestExistingFolder(strChosen));
    return true;
}

void OpenWithShell(HWND hOwner, const std::string& strPath)
{
    if (strPath.empty())
        return;
    ::ShellExecuteA(hOwner, "open", strPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
