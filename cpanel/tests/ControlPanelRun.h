// What the drivers of kivocp.exe share: the program started from a copy in
// a scratch folder with the stand-in Lumbra configured, its windows and
// boxes found, texts read as stored, and the product's registry values put
// back afterwards.
#pragma once

#include "ChildProcess.h"
#include "ControlPanelSettings.h"
#include "LumbraHandOff.h"
#include "LumbraTestSupport.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "Registry.h"
#include "ScratchFolder.h"
#include "ScreenCapture.h"
#include "SettingsRegistry.h"
#include "UnicodeWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <list>
#include <string>
#include <vector>

namespace paneltest {

using lumbratest::WindowsPath;

inline constexpr char kPanelClass[] = "Perdix_KIVOCP";
inline constexpr DWORD kWaitMs = 20000;
inline constexpr char kReleaseNotes[] = "Release Note 2005-8-6";

inline std::wstring Wide(const std::string& bytes, UINT nCodePage)
{
    std::wstring wide(bytes.size(), L'\0');
    const int n = MultiByteToWideChar(nCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0],
                                      static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(n > 0 ? n : 0));
    return wide;
}

// A top-level window's title as stored, which another process's ANSI
// window procedure would otherwise hand over in the system's code page.
inline std::wstring TitleOf(HWND hWnd)
{
    wchar_t szText[256] = {};
    InternalGetWindowText(hWnd, szText, 256);
    return szText;
}

inline std::wstring TextOf(HWND hWnd)
{
    wchar_t szText[1024] = {};
    SendMessageW(hWnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(szText));
    return szText;
}

inline std::wstring MenuText(HMENU hMenu, UINT nPosition)
{
    wchar_t szText[256] = {};
    GetMenuStringW(hMenu, nPosition, szText, 256, MF_BYPOSITION);
    return szText;
}

// Line `nLine` of a catalogue message in Traditional Chinese, as the window shows it.
inline std::wstring Traditional(std::int32_t nId, int nLine = 0)
{
    std::vector<std::string> arrLines;
    SplitLines(arrLines, GetMessage(nId, std::string(), std::string(), std::string(), MessageLanguageTraditional));
    return Wide(static_cast<size_t>(nLine) < arrLines.size() ? arrLines[static_cast<size_t>(nLine)] : "", 950);
}

inline void SetText(HWND hWnd, const std::string& strText)
{
    SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strText.c_str()));
}

inline void Click(HWND hDialog, int nId)
{
    // Posted: the click may open a modal box, which must not hold up the test.
    PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDialog, nId)));
}

class ControlPanel : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryA(m_strMain.c_str(), nullptr));
        ASSERT_TRUE(CopyFileA(WindowsPath(KIVO_CPANEL_EXE).c_str(), m_strExe.c_str(), FALSE));
        ASSERT_TRUE(lumbratest::CopyTree(lumbratest::LumbraData(), m_strLumbra));
        for (const char* pszValue : {kRegLumbraRoot, kRegLumbraExe})
            m_arrSaved.push_back(GetRegString(kRegPath, pszValue, ""));
        m_nSavedLCID = GetRegDWORD("Shell", "LCID", 0xFFFFFFFF);
        // (The release notes' mark and the day of the last update check are the user's.)
        m_strSavedNotes = GetUserRegString("App", kReleaseNotes, "");
        // This build's release notes count as read, unless a test says otherwise.
        SetUserRegString("App", kReleaseNotes, "1");
        SetRegString(kRegPath, kRegLumbraRoot, m_strLumbra);
        SetRegString(kRegPath, kRegLumbraExe, WindowsPath(KIVO_LUMBRA_EXE));
        SetRegDWORD("Shell", "LCID", 1033);
        // Today's update check counts as done: no test goes to the vendor's site.
        m_strSavedLastTry = GetUserRegString("AutoDetect", "Last Try", "");
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        SetUserRegString("AutoDetect", "Last Try",
                     std::to_string(now.wYear) + "-" + std::to_string(now.wMonth) + "-" + std::to_string(now.wDay));
    }

    void TearDown() override
    {
        for (CChildProcess& process : m_processes)
            EndProcess(process);
        SetRegString(kRegPath, kRegLumbraRoot, m_arrSaved[0]);
        SetRegString(kRegPath, kRegLumbraExe, m_arrSaved[1]);
        if (m_nSavedLCID == 0xFFFFFFFF)
            settingstest::PutDWORD(HKEY_LOCAL_MACHINE, std::string(kKivoRegistryPath) + "\\Shell", "LCID", 1033);
        else
            SetRegDWORD("Shell", "LCID", m_nSavedLCID);
        SetUserRegString("App", kReleaseNotes, m_strSavedNotes);
        SetUserRegString("AutoDetect", "Last Try", m_strSavedLastTry);
        EndLumbra();
    }

    CChildProcess& Start(const std::string& strArguments = std::string())
    {
        m_processes.emplace_back();
        EXPECT_TRUE(m_processes.back().Start(m_strExe, strArguments, m_strMain));
        return m_processes.back();
    }

    static HWND PanelOf(const CChildProcess& process)
    {
        const std::vector<HWND> arrWindows = VisibleWindowsOf(process.GetId(), kPanelClass);
        return arrWindows.empty() ? nullptr : arrWindows.front();
    }
    static HWND WaitForPanel(const CChildProcess& process)
    {
        HWND hPanel = nullptr;
        WaitFor([&] { return (hPanel = PanelOf(process)) != nullptr; }, kWaitMs);
        return hPanel;
    }
    // The program's own message boxes, file dialogs and other dialogs.
    static std::vector<HWND> BoxesOf(const CChildProcess& process)
    {
        return VisibleWindowsOf(process.GetId(), "#32770");
    }
    // The configuration wizard's sheet: the dialog with the sheet's Next
    // button, whichever page it shows.
    static HWND WizardOf(const CChildProcess& process)
    {
        for (HWND hWnd : VisibleWindowsOf(process.GetId(), "#32770"))
            if (GetDlgItem(hWnd, 0x3024))
                return hWnd;
        return nullptr;
    }
    // A dialog of the program that holds control `nId` (not the wizard's
    // sheet), once it shows; null after the time-out.
    static HWND WaitForDialogWith(const CChildProcess& process, int nId, DWORD nTimeoutMs = kWaitMs)
    {
        HWND hDialog = nullptr;
        WaitFor(
            [&] {
                for (HWND hWnd : BoxesOf(process))
                    if (GetDlgItem(hWnd, nId) && !GetDlgItem(hWnd, 0x3024))
                        hDialog = hWnd;
                return hDialog != nullptr;
            },
            nTimeoutMs);
        return hDialog;
    }
    // The program's message box that follows the wizard's end.
    static HWND WaitForBoxAfterWizard(const CChildProcess& process)
    {
        return WaitForDialogWith(process, kMessageBoxIdText);
    }
    static HWND WaitForBox(const CChildProcess& process)
    {
        std::vector<HWND> arrBoxes;
        WaitFor([&] { return !(arrBoxes = BoxesOf(process)).empty(); }, kWaitMs);
        return arrBoxes.empty() ? nullptr : arrBoxes.front();
    }
    // Answers the program's open-file dialog with `strPath`, as a user types
    // a name and presses Open. False when no dialog came.
    static bool AnswerFileDialog(const CChildProcess& process, const std::string& strPath)
    {
        HWND hName = nullptr;  // the file-name box
        const bool bFound = WaitFor(
            [&] {
                for (HWND hOpen : BoxesOf(process))
                    if ((hName = GetDlgItem(hOpen, 0x47c)) || (hName = GetDlgItem(hOpen, 0x480)))
                        return true;
                return false;
            },
            kWaitMs);
        if (!bFound)
            return false;
        SetText(hName, strPath);
        PostMessageA(GetParent(hName), WM_COMMAND, IDOK, 0);
        return true;
    }
    static std::string BoxText(HWND hBox)
    {
        char szText[2048] = {};
        GetDlgItemTextA(hBox, kMessageBoxIdText, szText, sizeof szText);
        return szText;
    }
    static bool Ended(const CChildProcess& process)
    {
        DWORD nExit = 0;
        return process.WaitForExit(kWaitMs, nExit);
    }
    static void EndProcess(CChildProcess& process)
    {
        if (!process.IsStarted())
            return;
        for (HWND hBox : BoxesOf(process))
            PostMessageA(hBox, WM_COMMAND, IDCANCEL, 0);
        if (const HWND hPanel = PanelOf(process))
            PostMessageA(hPanel, WM_COMMAND, IDCANCEL, 0);
        process.Stop(5000);
    }
    static void EndLumbra()
    {
        DWORD nId = 0;
        if (const HWND hLumbra = FindLumbraWindow())
            GetWindowThreadProcessId(hLumbra, &nId);
        if (const HANDLE hProcess = nId ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, nId) : nullptr) {
            TerminateProcess(hProcess, 0);
            WaitForSingleObject(hProcess, 10000);
            CloseHandle(hProcess);
        }
    }
    static void Screenshot(HWND hWnd, const char* pszName)
    {
        Sleep(700);  // the other process paints in its own time
        std::vector<BYTE> pixels;
        int cx = 0, cy = 0;
        dialogtest::SaveWindowBitmap(hWnd, dialogtest::ArtefactFolder() + "\\" + pszName, pixels, cx, cy);
    }

    CScratchFolder m_scratch;
    std::string m_strMain = m_scratch / "KIVO";
    std::string m_strExe = m_strMain + "\\kivocp.exe";
    std::string m_strLumbra = m_scratch / "Lumbra";
    std::vector<std::string> m_arrSaved;
    DWORD m_nSavedLCID = 0;
    std::string m_strSavedNotes;
    std::string m_strSavedLastTry;
    std::list<CChildProcess> m_processes;  // stays where it was started
};

} // namespace paneltest
