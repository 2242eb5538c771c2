#include "ControlRegistration.h"

#include "ControlPanelSettings.h"
#include "FileDialog.h"
#include "KIVOGuids.h"
#include "PathUtil.h"
#include "PerUserClass.h"
#include "Registry.h"
#include "ScopedRegKey.h"

#include <windows.h>

#include <shellapi.h>

bool IsControlRegistered()
{
    CScopedRegKey key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kClsidKIVOCtrlText).c_str(), 0, KEY_READ,
                        key.Receive()) == ERROR_SUCCESS)
        return true;
    // Registered for this user alone ("regsvr32 /n /i:user"): Windows 2000
    // and later show it in HKEY_CLASSES_ROOT too, older systems and Wine do not.
    const std::string clsid = kClsidKIVOCtrlText;
    return IsPerUserClassRegistered(std::wstring(clsid.begin(), clsid.end()).c_str());
}

std::string Regsvr32Parameters(const std::string& strControlFile, bool bUnregister)
{
    return (bUnregister ? "/u \"" : "\"") + strControlFile + "\"";
}

bool StartControlRegistration(const std::string& strControlFile, bool bUnregister)
{
    SetRegString(kRegPath, kRegLastOcxFolder, NearestExistingFolder(strControlFile));
    const std::string strParameters = Regsvr32Parameters(strControlFile, bUnregister);
    // ShellExecute answers a value above 32 when the program started.
    const INT_PTR nResult = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", "regsvr32.exe", strParameters.c_str(), nullptr, SW_SHOWNORMAL));
    return nResult > 32;
}

bool ChooseAndStartControlRegistration(HWND hOwner, bool bUnregister, const std::string& strFilter, UINT nCodePage,
                                       const std::string& strStartFolder)
{
    std::string strControlFile;
    if (!ChooseFileToOpen(hOwner, strFilter, nCodePage, strStartFolder, strControlFile))
        return false;
    // regsvr32 says how it went in its own box; the registration check
    // follows the registry.
    StartControlRegistration(strControlFile, bUnregister);
    return true;
}
