// The update road as a user walks it, over the installation setup made:
// the installed control panel finds the newer build the site publishes in
// signed update information, downloads it with its digest, starts it and
// ends when asked; the setup it
// started is clicked through to its end. Run by installer_test.sh through
// cpanel/tests/update_transfer_driver.py, which serves a folder on 127.0.0.1
// (KIVO_TEST_SITE, KIVO_TEST_SITE_DIR) and signs the text with the test key
// the installed panel is built with:
//   update_road.exe PANEL.exe INSTALLER SHA256 DOWNLOAD-FOLDER
// Exit status 0 when every step happened; the test looks at the result.
#include "ControlPanelResource.h"
#include "MessageBox.h"
#include "UpdateSigner.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

// Generous: a fresh prefix's first WinINet request, and a download 512
// bytes at a time, are slow under 32-bit Wine on a busy machine.
constexpr DWORD kWaitMs = 240000;

bool WaitFor(const std::function<bool()>& ready, DWORD nTimeoutMs = kWaitMs)
{
    for (DWORD nWaited = 0;; nWaited += 100) {
        if (ready())
            return true;
        if (nWaited >= nTimeoutMs)
            return false;
        Sleep(100);
    }
}

struct CSearch {
    std::function<bool(HWND)> match;
    HWND hFound = nullptr;
};

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<CSearch*>(lParam);
    if (!IsWindowVisible(hWnd) || !pSearch->match(hWnd))
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}

// The visible top-level window that matches, once there is one. The prefix
// is the test's own: no other program's windows are about.
HWND WaitForWindow(const std::function<bool(HWND)>& match)
{
    CSearch search{match};
    WaitFor([&] {
        search.hFound = nullptr;
        EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.hFound != nullptr;
    });
    return search.hFound;
}

// The program's own message box asking Yes or No, in whatever language the
// user's settings choose.
HWND WaitForQuestion()
{
    return WaitForWindow([](HWND hWnd) {
        return GetDlgItem(hWnd, kMessageBoxIdText) != nullptr && GetDlgItem(hWnd, IDYES) != nullptr;
    });
}

std::string TitleOf(HWND hWnd)
{
    char szTitle[256] = {};
    GetWindowTextA(hWnd, szTitle, sizeof szTitle);
    return szTitle;
}

bool WriteFileBytes(const std::string& strPath, const std::string& strBytes)
{
    const HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD nWritten = 0;
    const bool bOk = WriteFile(hFile, strBytes.data(), static_cast<DWORD>(strBytes.size()), &nWritten, nullptr) &&
                     nWritten == strBytes.size();
    CloseHandle(hFile);
    return bOk;
}

bool SetSetting(const char* pszSubKey, const char* pszName, const std::string& strValue)
{
    const std::string strKey = std::string("software\\Perdix\\KIVO\\1.5\\") + pszSubKey;
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                        &hKey, nullptr) != ERROR_SUCCESS)
        return false;
    const bool bOk = RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                                    static_cast<DWORD>(strValue.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    return bOk;
}

int g_nFailures = 0;

const DWORD g_nStart = GetTickCount();

bool Step(bool bDone, const char* pszWhat)
{
    std::printf("%s: %s (%lu s)\n", bDone ? "ok" : "FAILED", pszWhat,
                static_cast<unsigned long>((GetTickCount() - g_nStart) / 1000));
    std::fflush(stdout);
    if (!bDone)
        ++g_nFailures;
    return bDone;
}

} // namespace

int main(int argc, char** argv)
{
    const char* pszSite = std::getenv("KIVO_TEST_SITE");
    const char* pszSiteDir = std::getenv("KIVO_TEST_SITE_DIR");
    if (argc != 5 || !pszSite || !pszSiteDir) {
        std::fprintf(stderr, "usage: update_road PANEL INSTALLER SHA256 DOWNLOAD-FOLDER (under update_transfer_driver.py)\n");
        return 2;
    }
    const std::string strPanel = argv[1], strInstaller = argv[2], strDigest = argv[3], strDownloads = argv[4];
    const std::string strSite = pszSite, strSiteDir = pszSiteDir;

    // The vendor's site publishes the newer build with its digest.
    const std::string strFolder = strSiteDir + "\\kivo\\download";
    CreateDirectoryA((strSiteDir + "\\kivo").c_str(), nullptr);
    CreateDirectoryA(strFolder.c_str(), nullptr);
    const std::string strSigned = updatetest::SignedUpdateText(
        "; KIVO update information\r\nVersion = 1.6\r\nBuild = 2006-1-15\r\nURL = " + strSite +
        "/kivo/download/kivo16.exe\r\nSHA256 = " + strDigest + "\r\n");
    if (!Step(CopyFileA(strInstaller.c_str(), (strFolder + "\\kivo16.exe").c_str(), FALSE) && !strSigned.empty() &&
                  WriteFileBytes(strFolder + "\\updtinfo.txt", strSigned),
              "the update published, signed"))
        return 1;
    // The day's check not yet done, no decline, the release notes seen.
    Step(SetSetting("Web", "Vendor Site", strSite) && SetSetting("AutoDetect", "Last Try", "") &&
             SetSetting("AutoDetect", "Last Deny", "") && SetSetting("App", "Release Note 2005-8-6", "1"),
         "the settings for the check");

    const std::string strPanelFolder = strPanel.substr(0, strPanel.rfind('\\'));
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string strCommand = "\"" + strPanel + "\"";
    if (!Step(CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, strPanelFolder.c_str(), &si,
                             &pi) != FALSE,
              "the installed control panel started"))
        return 1;
    CloseHandle(pi.hThread);

    const HWND hOffer = WaitForQuestion();
    if (Step(hOffer != nullptr, "the offer"))
        PostMessageA(hOffer, WM_COMMAND, IDYES, 0);
    WaitFor([&] { return !IsWindow(hOffer); });
    const HWND hDownload = WaitForWindow([](HWND hWnd) { return GetDlgItem(hWnd, IDC_DL_URL) != nullptr; });
    if (Step(hDownload != nullptr, "the download dialog")) {
        CreateDirectoryA(strDownloads.c_str(), nullptr);
        SetDlgItemTextA(hDownload, IDC_DL_SAVE_TO, (strDownloads + "\\kivo16.exe").c_str());
        SendDlgItemMessageA(hDownload, IDC_DL_INSTALL, BM_SETCHECK, BST_CHECKED, 0);
        PostMessageA(hDownload, WM_COMMAND, MAKEWPARAM(IDC_DL_START, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hDownload, IDC_DL_START)));
    }
    const HWND hExit = WaitForQuestion();
    if (Step(hExit != nullptr, "the installer started, the panel asks to end"))
        PostMessageA(hExit, WM_COMMAND, IDYES, 0);
    Step(WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0, "the panel ended");
    CloseHandle(pi.hProcess);

    // The setup the panel started, clicked through: Next on the components,
    // Install on the folder, Close when done. Its button 1 is each of them.
    const HWND hSetup = WaitForWindow([](HWND hWnd) {
        const std::string strTitle = TitleOf(hWnd);
        return strTitle.rfind("KIVO", 0) == 0 && strTitle.find("Setup") != std::string::npos;
    });
    if (!Step(hSetup != nullptr, "the setup window"))
        return 1;
    const bool bEnded = WaitFor(
        [&] {
            if (!IsWindow(hSetup))
                return true;
            const HWND hNext = GetDlgItem(hSetup, IDOK);
            if (hNext && IsWindowEnabled(hNext))
                PostMessageA(hSetup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(hNext));
            Sleep(400);
            return false;
        },
        120000);
    Step(bEnded, "the setup clicked through to its end");
    return g_nFailures == 0 ? 0 : 1;
}
