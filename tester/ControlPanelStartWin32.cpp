#include "ControlPanelStart.h"

#include <windows.h>

#include <shellapi.h>

const char* const kControlPanelNames[2] = {"kivocp.exe", "kivocpd.exe"};

bool StartControlPanel(const std::string& strFolder)
{
    bool bStarted = false;
    for (const char* pszName : kControlPanelNames) {
        const std::string strFile = strFolder + "\\" + pszName;
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        // A missing name is expected (only one build is installed): no error box.
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = "open";
        info.lpFile = strFile.c_str();
        info.lpParameters = kControlPanelParameters;
        info.lpDirectory = strFolder.c_str();
        info.nShow = SW_SHOWNORMAL;
        if (::ShellExecuteExA(&info))
            bStarted = true;
    }
    return bStarted;
}
