// The control panel's daily update check worked from outside, against a real
// HTTP server on 127.0.0.1 named as the vendor's site
// (update_transfer_driver.py, which signs the texts with tools/update-sign):
// the offer, the download with its published digest, the installer started
// and the exit; the texts and installers a network attacker would bring,
// refused; Stop on a stalled server and the exit while the information
// hangs; a decline and the quiet days after it; a build that is no newer.
// Wine's browser is a no-op for the run, so the home pages the check opens
// go nowhere.
#include "ControlPanelResource.h"
#include "ControlPanelRun.h"
#include "UpdateSigner.h"
#include "UpdateTestSupport.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using updatetest::Environment;
using updatetest::HexDigest;
using updatetest::SignedUpdateText;
using namespace paneltest;
using lumbratest::WindowsPath;

// What the scratch folder reads for a file that is not there.
const std::string kMissing = "<missing>";

// The local date `nDays` before today, as the registry values are written.
std::string DaysAgo(int nDays)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FILETIME time = {};
    SystemTimeToFileTime(&now, &time);
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    ticks.QuadPart -= static_cast<ULONGLONG>(nDays) * 24 * 3600 * 10000000ULL;
    time.dwLowDateTime = ticks.LowPart;
    time.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME then = {};
    FileTimeToSystemTime(&time, &then);
    return std::to_string(then.wYear) + "-" + std::to_string(then.wMonth) + "-" + std::to_string(then.wDay);
}

std::string Today()
{
    return DaysAgo(0);
}

class UpdateCheck : public ControlPanel {
protected:
    void SetUp() override
    {
        ControlPanel::SetUp();
        ASSERT_FALSE(m_strSite.empty()) << "run by update_transfer_driver.py";
        m_strSavedSite = GetRegString("Web", "Vendor Site", "");
        m_strSavedDeny = GetUserRegString("AutoDetect", "Last Deny", "");
        SetRegString("Web", "Vendor Site", m_strSite);
        SetUserRegString("AutoDetect", "Last Try", "");
        SetUserRegString("AutoDetect", "Last Deny", "");
        // Wine's browser: a program that does nothing.
        m_strSavedBrowsers = ReadBrowsers();
        WriteBrowsers("true");
        DeleteFileA((m_strSiteDir + "\\requests.log").c_str());
        m_installer = CScratchFolder::ReadBytes(WindowsPath(KIVO_RECORDER_EXE));
        Serve("kivo/download/kivo16.exe", m_installer);
    }
    void TearDown() override
    {
        ControlPanel::TearDown();
        SetRegString("Web", "Vendor Site", m_strSavedSite);
        SetUserRegString("AutoDetect", "Last Deny", m_strSavedDeny);
        WriteBrowsers(m_strSavedBrowsers);
    }

    static std::string ReadBrowsers()
    {
        char szValue[512] = {};
        DWORD nSize = sizeof szValue;
        return RegGetValueA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers", RRF_RT_REG_SZ, nullptr,
                            szValue, &nSize) == ERROR_SUCCESS
                   ? szValue
                   : "";
    }
    static void WriteBrowsers(const std::string& strValue)
    {
        HKEY hKey = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &hKey, nullptr) != ERROR_SUCCESS)
            return;
        if (strValue.empty())
            RegDeleteValueA(hKey, "Browsers");
        else
            RegSetValueExA(hKey, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                           static_cast<DWORD>(strValue.size() + 1));
        RegCloseKey(hKey);
    }
    void Serve(const std::string& strPath, const std::string& strBytes) const
    {
        std::string strFile = m_strSiteDir;
        std::string strFolder;
        for (std::size_t n = 0, e; (e = strPath.find('/', n)) != std::string::npos; n = e + 1) {
            strFile += "\\" + strPath.substr(n, e - n);
            CreateDirectoryA(strFile.c_str(), nullptr);
        }
        strFile += "\\" + strPath.substr(strPath.rfind('/') + 1);
        ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, strBytes));
    }
    std::string Information(const std::string& strBuild, const std::string& strDigest,
                            const std::string& strUrl) const
    {
        return "; KIVO\r\nVersion = 1.6\r\nBuild = " + strBuild + "\r\nURL = " + strUrl + "\r\n" +
               (strDigest.empty() ? "" : "SHA256 = " + strDigest + "\r\n");
    }
    // The update information as the vendor publishes it: signed.
    void ServeInformation(const std::string& strBuild, const std::string& strDigest,
                          const std::string& strPath = "/kivo/download/kivo16.exe") const
    {
        const std::string strSigned = SignedUpdateText(Information(strBuild, strDigest, m_strSite + strPath));
        ASSERT_FALSE(strSigned.empty());
        Serve("kivo/download/updtinfo.txt", strSigned);
    }
    // Where the panel's downloads grow: the user's local application data.
    static std::string DownloadFolder()
    {
        char szFolder[MAX_PATH] = {};
        SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
        return std::string(szFolder) + "\\Perdix\\KIVO\\Download";
    }
    // What is left there and in the scratch folder of an installer.
    std::vector<std::string> LeftOver() const
    {
        std::vector<std::string> arrFiles;
        for (const std::string& strPattern : {DownloadFolder() + "\\*.download", m_scratch / "kivo16*"}) {
            WIN32_FIND_DATAA found;
            const HANDLE hFind = FindFirstFileA(strPattern.c_str(), &found);
            if (hFind == INVALID_HANDLE_VALUE)
                continue;
            do
                arrFiles.push_back(found.cFileName);
            while (FindNextFileA(hFind, &found));
            FindClose(hFind);
        }
        return arrFiles;
    }
    int InformationRequests() const
    {
        const std::string strLog = CScratchFolder::ReadBytes(m_strSiteDir + "\\requests.log");
        int nCount = 0;
        for (std::size_t n = 0; (n = strLog.find("/kivo/download/updtinfo.txt", n)) != std::string::npos; ++n)
            ++nCount;
        return nCount;
    }
    // The program's own message box, once it shows.
    static HWND WaitForMessageBox(const CChildProcess& process, DWORD nTimeoutMs = kWaitMs)
    {
        return WaitForDialogWith(process, kMessageBoxIdText, nTimeoutMs);
    }
    static HWND WaitForDownload(const CChildProcess& process) { return WaitForDialogWith(process, IDC_DL_URL); }
    // Yes on the offer: its download dialog, saving to the scratch folder; null when either did not come.
    HWND AcceptOffer(const CChildProcess& process) const
    {
        const HWND hPrompt = WaitForMessageBox(process);
        if (!hPrompt)
            return nullptr;
        PostMessageA(hPrompt, WM_COMMAND, IDYES, 0);
        const HWND hDownload = WaitForDownload(process);
        if (hDownload)
            SetText(GetDlgItem(hDownload, IDC_DL_SAVE_TO), m_scratch / "kivo16.exe");
        return hDownload;
    }

    const std::string m_strSite = Environment("KIVO_TEST_SITE");
    const std::string m_strSiteDir = Environment("KIVO_TEST_SITE_DIR");
    std::string m_strSavedSite, m_strSavedDeny, m_strSavedBrowsers;
    std::string m_installer;
};

TEST_F(UpdateCheck, TheOfferedInstallerIsDownloadedCheckedAndStartedThenThePanelEnds)
{
    ServeInformation("06-1-15", HexDigest(m_installer));
    CChildProcess& run = Start();
    const HWND hPanel = WaitForPanel(run);
    ASSERT_NE(hPanel, nullptr);
    HWND hPrompt = WaitForMessageBox(run);
    ASSERT_NE(hPrompt, nullptr);
    const std::string strPrompt = BoxText(hPrompt);
    EXPECT_EQ(strPrompt.find("New version of KIVO found, will you download it now?"), 0u) << strPrompt;
    EXPECT_NE(strPrompt.find("Version: 1.6"), std::string::npos) << strPrompt;
    EXPECT_NE(strPrompt.find("Build: 2006-01-15"), std::string::npos) << strPrompt;
    EXPECT_EQ(GetUserRegString("AutoDetect", "Last Try", ""), Today());
    PostMessageA(hPrompt, WM_COMMAND, IDYES, 0);

    // The download dialog alone: the panel hides meanwhile.
    const HWND hDownload = WaitForDownload(run);
    ASSERT_NE(hDownload, nullptr);
    EXPECT_FALSE(IsWindowVisible(hPanel));
    EXPECT_EQ(TitleOf(hDownload), L"New Version of KIVO");
    EXPECT_EQ(TextOf(GetDlgItem(hDownload, IDC_DL_URL)), Wide(m_strSite + "/kivo/download/kivo16.exe", CP_ACP));
    EXPECT_EQ(SendMessageA(GetDlgItem(hDownload, IDC_DL_INSTALL), BM_GETCHECK, 0, 0), BST_CHECKED);
    SetText(GetDlgItem(hDownload, IDC_DL_SAVE_TO), m_scratch / "kivo16.exe");
    Screenshot(hDownload, "update-download.bmp");
    Click(hDownload, IDC_DL_START);

    // The installer runs from its new place, and the panel may end for it.
    EXPECT_TRUE(WaitFor([&] { return CScratchFolder::ReadBytes(m_scratch / "started.txt") != kMissing; }, kWaitMs))
        << "the installer did not start";
    EXPECT_TRUE(WaitFor([&] { return CScratchFolder::ReadBytes(m_scratch / "kivo16.exe") == m_installer; }, kWaitMs));
    const HWND hExit = WaitForMessageBox(run);
    ASSERT_NE(hExit, nullptr);
    EXPECT_NE(BoxText(hExit).find("has been started"), std::string::npos) << BoxText(hExit);
    PostMessageA(hExit, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(Ended(run));
}

TEST_F(UpdateCheck, AnInstallerSwappedAfterTheTextWasSignedNeverRuns)
{
    ServeInformation("2006-1-15", HexDigest(m_installer));
    Serve("kivo/download/kivo16.exe", m_installer + "swapped");
    CChildProcess& run = Start();
    const HWND hPanel = WaitForPanel(run);
    const HWND hDownload = AcceptOffer(run);
    ASSERT_NE(hDownload, nullptr);
    Click(hDownload, IDC_DL_START);
    EXPECT_TRUE(WaitFor(
        [&] {
            return TextOf(GetDlgItem(hDownload, IDC_DL_STATUS)) ==
                   L"The downloaded file is not the published installer; it was deleted and not started";
        },
        kWaitMs));
    Screenshot(hDownload, "update-not-genuine.bmp");
    EXPECT_EQ(LeftOver(), std::vector<std::string>());
    EXPECT_EQ(CScratchFolder::ReadBytes(m_scratch / "started.txt"), kMissing);
    // Closed, the dialog gives the panel back.
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(hDownload, IDCANCEL)) != FALSE; }, kWaitMs));
    PostMessageA(hDownload, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hPanel) != FALSE; }, kWaitMs));
}

TEST_F(UpdateCheck, ADownloadRunsWithItsFiguresAndEndsCompleteWithoutInstalling)
{
    ServeInformation("2006-1-15", HexDigest(m_installer), "/slow/kivo/download/kivo16.exe");
    CChildProcess& run = Start();
    const HWND hPanel = WaitForPanel(run);
    const HWND hDownload = AcceptOffer(run);
    ASSERT_NE(hDownload, nullptr);
    SendMessageA(GetDlgItem(hDownload, IDC_DL_INSTALL), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(hDownload, IDC_DL_START);
    // Running: the figures move, and the window cannot be closed.
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::wstring strPercent = TextOf(GetDlgItem(hDownload, IDC_DL_PERCENT));
            return !strPercent.empty() && strPercent != L"0%";
        },
        kWaitMs));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hDownload, IDCANCEL)));
    Screenshot(hDownload, "update-running.bmp");
    EXPECT_TRUE(WaitFor([&] { return TextOf(GetDlgItem(hDownload, IDC_DL_STATUS)) == L"Download complete"; }, kWaitMs));
    Screenshot(hDownload, "update-done.bmp");
    EXPECT_EQ(CScratchFolder::ReadBytes(m_scratch / "kivo16.exe"), m_installer);
    EXPECT_EQ(CScratchFolder::ReadBytes(m_scratch / "started.txt"), kMissing);
    PostMessageA(hDownload, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hPanel) != FALSE; }, kWaitMs));
}

TEST_F(UpdateCheck, ADeclineSilencesTheCheckAndOnlyANewerBuildIsOffered)
{
    ServeInformation("2006-1-15", HexDigest(m_installer));
    CChildProcess& first = Start();
    ASSERT_NE(WaitForPanel(first), nullptr);
    HWND hPrompt = WaitForMessageBox(first);
    ASSERT_NE(hPrompt, nullptr);
    PostMessageA(hPrompt, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(hPrompt); }, kWaitMs));
    const HWND hChoice = WaitForMessageBox(first);
    ASSERT_NE(hChoice, nullptr);
    EXPECT_NE(BoxText(hChoice).find(m_strSite + "/"), std::string::npos) << BoxText(hChoice);
    PostMessageA(hChoice, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return GetUserRegString("AutoDetect", "Last Deny", "") == Today(); }, kWaitMs));
    PostMessageA(WaitForPanel(first), WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(Ended(first));
    EXPECT_EQ(InformationRequests(), 1);

    // The same day, and the fifth day after a decline: no request at all.
    const struct {
        std::string strLastTry;
        std::string strLastDeny;
    } quiet[] = {
        {Today(), Today()},
        {"", DaysAgo(5)},
    };
    for (const auto& c : quiet) {
        SCOPED_TRACE(c.strLastDeny);
        SetUserRegString("AutoDetect", "Last Try", c.strLastTry);
        SetUserRegString("AutoDetect", "Last Deny", c.strLastDeny);
        CChildProcess& run = Start();
        const HWND hPanel = WaitForPanel(run);
        ASSERT_NE(hPanel, nullptr);
        Sleep(2000);
        EXPECT_EQ(InformationRequests(), 1);
        PostMessageA(hPanel, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(Ended(run));
    }

    // The sixth day asks again; this build's own date is no update.
    SetUserRegString("AutoDetect", "Last Deny", DaysAgo(6));
    SetUserRegString("AutoDetect", "Last Try", "");
    ServeInformation("2005-8-6", HexDigest(m_installer));
    CChildProcess& same = Start();
    const HWND hPanel = WaitForPanel(same);
    ASSERT_NE(hPanel, nullptr);
    EXPECT_TRUE(WaitFor([&] { return InformationRequests() == 2; }, kWaitMs));
    EXPECT_EQ(WaitForMessageBox(same, 2000), nullptr) << "an offer of the same build";
    PostMessageA(hPanel, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(Ended(same));
}

TEST_F(UpdateCheck, WhatANetworkAttackerBringsIsNoOffer)
{
    const std::string strUrl = m_strSite + "/kivo/download/kivo16.exe";
    const std::string strDigest = HexDigest(m_installer);
    const std::string strGenuine = SignedUpdateText(Information("2006-1-15", strDigest, strUrl));
    ASSERT_FALSE(strGenuine.empty());
    std::string strChanged = strGenuine;
    strChanged[strChanged.find("1.6") + 2] = '7';
    const struct {
        const char* pszWhat;
        std::string strText;
    } cases[] = {
        {"the SHA256 line removed", SignedUpdateText(Information("2006-1-15", "", strUrl))},
        {"the URL on another host", SignedUpdateText(Information("2006-1-15", strDigest, "http://127.0.0.1:1/kivo16.exe"))},
        {"one byte changed", strChanged},
        {"signed with another key", SignedUpdateText(Information("2006-1-15", strDigest, strUrl), "other")},
        {"cut after the URL line", strGenuine.substr(0, strGenuine.find("SHA256"))},
        {"not signed", Information("2006-1-15", strDigest, strUrl)},
    };
    int nRequests = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_FALSE(c.strText.empty());
        Serve("kivo/download/updtinfo.txt", c.strText);
        SetUserRegString("AutoDetect", "Last Try", "");
        CChildProcess& run = Start();
        const HWND hPanel = WaitForPanel(run);
        ASSERT_NE(hPanel, nullptr);
        ++nRequests;
        EXPECT_TRUE(WaitFor([&] { return InformationRequests() == nRequests; }, kWaitMs));
        EXPECT_EQ(WaitForMessageBox(run, 3000), nullptr) << "an offer";
        PostMessageA(hPanel, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(Ended(run));
    }
    EXPECT_EQ(LeftOver(), std::vector<std::string>());
    EXPECT_EQ(CScratchFolder::ReadBytes(m_scratch / "started.txt"), kMissing);
    EXPECT_EQ(CScratchFolder::ReadBytes(m_strSiteDir + "\\requests.log").find("kivo16.exe"), std::string::npos)
        << "an installer was requested";
}

TEST_F(UpdateCheck, StopEndsADownloadTheServerStalled)
{
    ServeInformation("2006-1-15", HexDigest(m_installer), "/stall/kivo/download/kivo16.exe");
    CChildProcess& run = Start();
    const HWND hPanel = WaitForPanel(run);
    const HWND hDownload = AcceptOffer(run);
    ASSERT_NE(hDownload, nullptr);
    Click(hDownload, IDC_DL_START);
    // Half the installer comes, then the server says nothing more.
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::wstring strPercent = TextOf(GetDlgItem(hDownload, IDC_DL_PERCENT));
            return !strPercent.empty() && strPercent != L"0%";
        },
        kWaitMs));
    Sleep(1000);
    Click(hDownload, IDC_DL_START);
    EXPECT_TRUE(WaitFor([&] { return TextOf(GetDlgItem(hDownload, IDC_DL_STATUS)) == L"Download canceled"; }, 5000))
        << "Stop did not end the download";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(hDownload, IDCANCEL)) != FALSE; }, 5000));
    EXPECT_EQ(LeftOver(), std::vector<std::string>());
    PostMessageA(hDownload, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hPanel) != FALSE; }, kWaitMs));
    EXPECT_EQ(CScratchFolder::ReadBytes(m_scratch / "started.txt"), kMissing);
}

TEST_F(UpdateCheck, ThePanelClosedWhileTheInformationHangsEndsAndStartsAgain)
{
    // Every request to this site waits a minute for an answer.
    SetRegString("Web", "Vendor Site", m_strSite + "/hang");
    CChildProcess& first = Start();
    const HWND hPanel = WaitForPanel(first);
    ASSERT_NE(hPanel, nullptr);
    ASSERT_TRUE(WaitFor(
        [&] {
            return CScratchFolder::ReadBytes(m_strSiteDir + "\\requests.log").find("/hang/kivo/download/updtinfo.txt") !=
                   std::string::npos;
        },
        kWaitMs));
    PostMessageA(hPanel, WM_COMMAND, IDCANCEL, 0);
    DWORD nExit = 0;
    EXPECT_TRUE(first.WaitForExit(8000, nExit)) << "the panel waited for the hanging request";
    // The next start is a panel of its own, not a silent end.
    CChildProcess& second = Start();
    const HWND hAgain = WaitForPanel(second);
    EXPECT_NE(hAgain, nullptr);
    EXPECT_EQ(WaitForMessageBox(second, 2000), nullptr);
    if (hAgain)
        PostMessageA(hAgain, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(Ended(second));
}

} // namespace
