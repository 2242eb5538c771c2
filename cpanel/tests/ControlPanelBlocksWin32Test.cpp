// What the control panel's window and wizard share, worked for real: regsvr32
// started through the shell on the built control, the Lumbra path checks on
// real files and folders, and the hand-over to the stand-in Lumbra program.
#include "ChildProcess.h"
#include "ControlPanelSettings.h"
#include "ControlRegistration.h"
#include "LumbraHandOff.h"
#include "LumbraPathCheck.h"
#include "LumbraTestSupport.h"
#include "Registry.h"
#include "ScratchFolder.h"
#include "SettingsRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

using lumbratest::WindowsPath;

void Touch(const std::string& strPath)
{
    lumbratest::WriteFile(strPath, "x");
}

TEST(ControlRegistration, Regsvr32StartedThroughTheShellTurnsTheCheckBothWays)
{
    const std::string strOcx = WindowsPath(KIVO_OCX_PATH);
    EXPECT_EQ(Regsvr32Parameters("C:\\a b\\kivo.ocx", false), "\"C:\\a b\\kivo.ocx\"");
    EXPECT_EQ(Regsvr32Parameters("C:\\a b\\kivo.ocx", true), "/u \"C:\\a b\\kivo.ocx\"");

    ASSERT_FALSE(IsControlRegistered()) << "the prefix is left with the control unregistered";
    ASSERT_TRUE(StartControlRegistration(strOcx, false));
    // Nothing waits for regsvr32: the check shows the outcome, as the status line does.
    EXPECT_TRUE(WaitFor([] { return IsControlRegistered(); }, 20000));
    EXPECT_EQ(GetRegString(kRegPath, kRegLastOcxFolder, ""), strOcx.substr(0, strOcx.rfind('\\')));

    ASSERT_TRUE(StartControlRegistration(strOcx, true));
    EXPECT_TRUE(WaitFor([] { return !IsControlRegistered(); }, 20000));
}

// A standard user registers the control for himself alone; the check sees
// that registration as well, where the platform's HKEY_CLASSES_ROOT does not
// show the user's classes.
TEST(ControlRegistration, TheCheckSeesARegistrationForTheUser)
{
    const std::string strOcx = WindowsPath(KIVO_OCX_PATH);
    ASSERT_FALSE(IsControlRegistered()) << "the prefix is left with the control unregistered";
    auto regsvr32 = [&strOcx](const char* pszSwitches) {
        return ::ShellExecuteA(nullptr, "open", "regsvr32.exe", (pszSwitches + (" \"" + strOcx + "\"")).c_str(),
                               nullptr, SW_SHOWNORMAL);
    };
    ASSERT_GT(reinterpret_cast<INT_PTR>(regsvr32("/s /n /i:user")), 32);
    EXPECT_TRUE(WaitFor([] { return IsControlRegistered(); }, 20000));
    ASSERT_GT(reinterpret_cast<INT_PTR>(regsvr32("/s /u /n /i:user")), 32);
    EXPECT_TRUE(WaitFor([] { return !IsControlRegistered(); }, 20000));
}

TEST(LumbraPathCheck, FoldersAndProgramsAsTheUserTypesThem)
{
    CScratchFolder scratch;
    CreateDirectoryA((scratch / "Lumbra").c_str(), nullptr);
    CreateDirectoryA((scratch / "folder.exe").c_str(), nullptr);
    Touch(scratch / "lumbra.exe");
    Touch(scratch / "LUMBRA2.EXE");
    Touch(scratch / "lumbra.com");
    const std::string root = scratch / "Lumbra", exe = scratch / "lumbra.exe";
    const struct {
        int nKind;
        std::string strText, strRoot, strExe;
        bool bExpected;
    } cases[] = {
        {kLumbraPathFolder, root, "", "", true},
        {kLumbraPathFolder, "  " + root + " \t", "", "", true},
        {kLumbraPathFolder, "", root, "", true},           // empty: the configured folder
        {kLumbraPathFolder, "   ", "", "", false},          // and none configured
        {kLumbraPathFolder, exe, root, "", false},          // a file is no folder
        {kLumbraPathFolder, scratch / "missing", root, "", false},
        {kLumbraPathExecutable, exe, "", "", true},
        {kLumbraPathExecutable, " " + exe + " ", "", "", true},
        {kLumbraPathExecutable, scratch / "LUMBRA2.EXE", "", "", true},  // the suffix in any case
        {kLumbraPathExecutable, "", "", exe, true},         // empty: the configured program
        {kLumbraPathExecutable, scratch / "folder.exe", "", "", false},
        {kLumbraPathExecutable, scratch / "lumbra.com", "", "", false},
        {kLumbraPathExecutable, scratch / "gone.exe", "", "", false},
        {kLumbraPathExecutable, root, "", "", false},
        {5, root, root, exe, false},                        // no such kind
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckLumbraPath(c.nKind, c.strText, c.strRoot, c.strExe), c.bExpected)
            << c.nKind << " '" << c.strText << "'";
}

// A window that hands timer 1 to the hand-over, as the wizard page does.
LRESULT CALLBACK TimerWindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    auto* pHandOff = reinterpret_cast<CLumbraHandOff*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (nMessage == WM_TIMER && wParam == CLumbraHandOff::kTimerId && pHandOff)
        pHandOff->OnTimer();
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

class LumbraHandOffTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lumbratest::CopyTree(lumbratest::LumbraData(), m_strLumbra));
        m_strSaved = GetRegString(kRegPath, kRegLumbraRoot, "");
        // The stand-in started without arguments takes KIVO's Lumbra folder.
        ASSERT_TRUE(SetRegString(kRegPath, kRegLumbraRoot, m_strLumbra));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &TimerWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KIVOHandOffTestWindow";
        RegisterClassA(&wc);
        m_hWindow = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                    nullptr);
        ASSERT_NE(m_hWindow, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_hWindow);
        EndLumbra();
        SetRegString(kRegPath, kRegLumbraRoot, m_strSaved);
    }

    // Lets the timer run until `condition` or the time is up.
    bool PumpUntil(const std::function<bool()>& condition, DWORD nTimeoutMs)
    {
        for (DWORD waited = 0; waited < nTimeoutMs; waited += 50) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            if (condition())
                return true;
            Sleep(50);
        }
        return condition();
    }

    static DWORD LumbraProcess()
    {
        DWORD nId = 0;
        if (const HWND hLumbra = FindLumbraWindow())
            GetWindowThreadProcessId(hLumbra, &nId);
        return nId;
    }
    static size_t Dialogs(DWORD nProcess) { return VisibleWindowsOf(nProcess, "#32770").size(); }
    // Lumbra's main windows on the screen, one per running Lumbra.
    static BOOL CALLBACK CountLumbraWindow(HWND hWnd, LPARAM lParam)
    {
        char szClass[32] = {};
        GetClassNameA(hWnd, szClass, sizeof szClass);
        if (lstrcmpA(szClass, kLumbraWindowClass) == 0)
            ++*reinterpret_cast<int*>(lParam);
        return TRUE;
    }
    static int LumbraWindows()
    {
        int nCount = 0;
        EnumWindows(&CountLumbraWindow, reinterpret_cast<LPARAM>(&nCount));
        return nCount;
    }

    static void EndLumbra()
    {
        const DWORD nId = LumbraProcess();
        if (!nId)
            return;
        if (const HANDLE hProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, nId)) {
            TerminateProcess(hProcess, 0);
            WaitForSingleObject(hProcess, 10000);
            CloseHandle(hProcess);
        }
    }

    CScratchFolder m_scratch;
    std::string m_strLumbra = m_scratch / "Lumbra";
    std::string m_strSaved;
    HWND m_hWindow = nullptr;
};

TEST_F(LumbraHandOffTest, ALumbraNotRunningIsStartedAndSentTheCommandOnce)
{
    ASSERT_EQ(FindLumbraWindow(), nullptr);
    CLumbraHandOff handOff(m_hWindow);
    SetWindowLongPtrA(m_hWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handOff));
    ASSERT_TRUE(handOff.Start(WindowsPath(KIVO_LUMBRA_EXE)));
    EXPECT_TRUE(handOff.IsWaiting());
    // A second click while Lumbra is on its way starts no second Lumbra.
    EXPECT_TRUE(handOff.Start(WindowsPath(KIVO_LUMBRA_EXE)));
    EXPECT_TRUE(handOff.IsWaiting());
    // The command arrives with the first tick that finds the window.
    EXPECT_TRUE(PumpUntil([] { return LumbraProcess() != 0 && Dialogs(LumbraProcess()) == 1; }, 20000));
    EXPECT_FALSE(handOff.IsWaiting());
    // Further ticks end the wait and send nothing more: still one dialog.
    PumpUntil([] { return false; }, 2500);
    EXPECT_EQ(Dialogs(LumbraProcess()), 1u);
    EXPECT_EQ(LumbraWindows(), 1);
    for (int i = 0; i < 4 && LumbraWindows() > 0; ++i)
        EndLumbra();  // every one a failure left behind, too
    EXPECT_FALSE(KillTimer(m_hWindow, CLumbraHandOff::kTimerId)) << "the wait's timer still runs";
    SetWindowLongPtrA(m_hWindow, GWLP_USERDATA, 0);
}

TEST_F(LumbraHandOffTest, ARunningLumbraIsSentTheCommandAtOnceAndAMissingProgramIsNotWaitedFor)
{
    CLumbraHandOff handOff(m_hWindow);
    EXPECT_FALSE(handOff.Start(m_scratch / "no-such-lumbra.exe"));
    EXPECT_FALSE(handOff.IsWaiting());

    CChildProcess lumbra;
    ASSERT_TRUE(lumbra.Start(WindowsPath(KIVO_LUMBRA_EXE), "\"" + m_strLumbra + "\""));
    ASSERT_TRUE(WaitFor([] { return FindLumbraWindow() != nullptr; }, 20000));
    // Minimised, it comes back to the screen with its dialog.
    ShowWindow(FindLumbraWindow(), SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([] { return IsIconic(FindLumbraWindow()) != FALSE; }, 5000));
    ASSERT_TRUE(handOff.Start("C:\\not\\started.exe"));  // the running one is taken
    EXPECT_FALSE(handOff.IsWaiting());
    EXPECT_TRUE(WaitFor([&] { return Dialogs(lumbra.GetId()) == 1; }, 10000));
    EXPECT_TRUE(WaitFor([] { return !IsIconic(FindLumbraWindow()); }, 5000)) << "Lumbra was left minimised";
    EndLumbra();  // it does not end by itself
}

} // namespace
