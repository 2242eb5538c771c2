// kivocp.exe worked from outside as a user works it: started with its
// settings in the registry, its windows found, its controls driven by window
// messages and, where only real input tells, by xdotool on the test's X
// display. Each run uses a copy of the program in a scratch folder (its
// main folder) and a copy of the stand-in Lumbra installation; the product's
// registry values are put back afterwards.
#include "ControlPanelDlg.h"
#include "ControlPanelResource.h"
#include "ControlPanelRun.h"
#include "ControlRegistration.h"
#include "KIVOCPApp.h"
#include "XDoTool.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <list>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace paneltest;
using lumbratest::WindowsPath;

// ---- Start-up

TEST_F(ControlPanel, ASecondStartBringsBackTheFirstAndEnds)
{
    CChildProcess& first = Start();
    const HWND hPanel = WaitForPanel(first);
    ASSERT_NE(hPanel, nullptr);
    ShowWindow(hPanel, SW_MINIMIZE);
    CChildProcess& second = Start();
    EXPECT_TRUE(Ended(second));
    EXPECT_FALSE(IsIconic(hPanel)) << "the running window was not brought back";
    EXPECT_EQ(BoxesOf(second).size(), 0u);
    DWORD nExit = 0;
    EXPECT_FALSE(first.WaitForExit(0, nExit));
}

TEST_F(ControlPanel, ASingleInstanceNameItCannotTakeIsNoFirstStart)
{
    // The name held by an object that is no mutex: the mutex cannot be made,
    // which does not prove the program alone.
    const HANDLE hOther = CreateEventA(nullptr, TRUE, FALSE, kPanelClass);
    ASSERT_NE(hOther, nullptr);
    CChildProcess& run = Start();
    EXPECT_TRUE(Ended(run));
    EXPECT_EQ(PanelOf(run), nullptr);
    CloseHandle(hOther);
}

// Windows of the program's class count as running panels wherever they
// are. A thread of their own answers them, as a running panel would when a
// new start brings it to the front.
class CPanelLookAlikes {
public:
    explicit CPanelLookAlikes(int nCount, const char* pszTitle = "")
    {
        m_thread = std::thread([this, nCount, pszTitle] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = &DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = kPanelClass;
            RegisterClassA(&wc);
            std::vector<HWND> arrWindows;
            for (int i = 0; i < nCount; ++i)
                arrWindows.push_back(CreateWindowExA(0, kPanelClass, pszTitle, WS_POPUP | (*pszTitle ? 0 : WS_VISIBLE), i, 0, 1, 1,
                                nullptr, nullptr, wc.hInstance, nullptr));
            m_nThreadId = GetCurrentThreadId();
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            m_bReady = true;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0)
                DispatchMessageA(&msg);
            for (HWND hWnd : arrWindows)
                DestroyWindow(hWnd);
            UnregisterClassA(kPanelClass, wc.hInstance);
        });
        while (!m_bReady)
            Sleep(10);
    }
    ~CPanelLookAlikes()
    {
        PostThreadMessageA(m_nThreadId, WM_QUIT, 0, 0);
        m_thread.join();  // the windows go with their thread
    }

private:
    std::thread m_thread;
    std::atomic<bool> m_bReady{false};
    DWORD m_nThreadId = 0;
};

TEST_F(ControlPanel, TheInstanceLimitSpeaksOnceAndEnds)
{
    {
        const CPanelLookAlikes running(100);
        CChildProcess& first = Start();
        const HWND hBox = WaitForBox(first);
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(TextOf(hBox), L"Too many instances of KIVO...");
        EXPECT_EQ(BoxText(hBox).find("100 instances of KIVO are running now"), 0u) << BoxText(hBox);
        // Another start meanwhile ends without a box of its own.
        CChildProcess& second = Start();
        EXPECT_TRUE(Ended(second));
        EXPECT_EQ(BoxesOf(second).size(), 0u);
        PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Ended(first));
        EXPECT_EQ(PanelOf(first), nullptr);
    }
    // A box of that title already on the screen says it: the program ends silently.
    const CPanelLookAlikes running(100);
    const CPanelLookAlikes box(1, "Too many instances of KIVO...");
    CChildProcess& third = Start();
    EXPECT_TRUE(Ended(third));
    EXPECT_EQ(BoxesOf(third).size(), 0u);
}

TEST_F(ControlPanel, TransferFilesOfTheWorkFolderGoAtExit)
{
    const std::string strWork = m_strMain + "\\temp";
    CreateDirectoryA(strWork.c_str(), nullptr);
    for (const char* pszName : {"a.tps", "b.TPS", "c.tpsx"})
        CScratchFolder::WriteBytes(strWork + "\\" + pszName, "x");
    CChildProcess& run = Start();
    const HWND hPanel = WaitForPanel(run);
    ASSERT_NE(hPanel, nullptr);
    EXPECT_NE(GetFileAttributesA((strWork + "\\a.tps").c_str()), INVALID_FILE_ATTRIBUTES) << "gone before the exit";
    PostMessageA(hPanel, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(Ended(run));
    EXPECT_EQ(GetFileAttributesA((strWork + "\\a.tps").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((strWork + "\\b.TPS").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((strWork + "\\c.tpsx").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((m_strMain + "\\config").c_str()), INVALID_FILE_ATTRIBUTES);
    // The program's path is recorded for other programs of the product.
    EXPECT_EQ(GetRegString("App", "Path", ""), m_strExe);
}

TEST_F(ControlPanel, TheStoredLanguageChoosesTheInterface)
{
    const struct {
        DWORD nStored;
        std::wstring strTitle;
    } cases[] = {
        {0, L"KIVO Control Panel"},
        {1041, L"KIVO Control Panel"},
        {0x10404, Wide("KIVO \xB1\xB1\xA8\xEE\xA5\x78", 950)},
        {2052, Wide("KIVO \xBF\xD8\xD6\xC6\xC3\xE6\xB0\xE5", 936)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nStored);
        SetRegDWORD("Shell", "LCID", c.nStored);
        CChildProcess& run = Start();
        const HWND hPanel = WaitForPanel(run);
        ASSERT_NE(hPanel, nullptr);
        EXPECT_EQ(TitleOf(hPanel), c.strTitle);
        PostMessageA(hPanel, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(Ended(run));
    }
}

TEST_F(ControlPanel, OnlyABrokenLumbraFolderIsReportedAtStart)
{
    const std::string strBroken = m_scratch / "Broken";
    ASSERT_TRUE(lumbratest::CopyTree(m_strLumbra, strBroken));
    ASSERT_TRUE(DeleteFileA((strBroken + "\\config\\wab2g.ini").c_str()));
    const struct {
        std::string strFolder;
        bool bMessage;
    } cases[] = {
        {strBroken + "\\", true},  // a stored trailing "\" reads as the folder
        {"", false},
        {m_scratch / "Missing", false},
        {m_strLumbra, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strFolder);
        SetRegString(kRegPath, kRegLumbraRoot, c.strFolder);
        CChildProcess& run = Start();
        HWND hPanel = nullptr;
        std::vector<HWND> arrBoxes;
        // The message comes before the window; the window follows once it is read.
        ASSERT_TRUE(WaitFor([&] { return (hPanel = PanelOf(run)) || !(arrBoxes = BoxesOf(run)).empty(); }, kWaitMs));
        EXPECT_EQ(!arrBoxes.empty(), c.bMessage);
        if (!arrBoxes.empty()) {
            const std::string strText = BoxText(arrBoxes.front());
            EXPECT_EQ(strText.find("Integration Check Failed!"), 0u) << strText;
            EXPECT_NE(strText.find("wab2g.ini"), std::string::npos) << strText;
            PostMessageA(arrBoxes.front(), WM_COMMAND, IDOK, 0);
            hPanel = WaitForPanel(run);
        }
        ASSERT_NE(hPanel, nullptr);
        PostMessageA(hPanel, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(Ended(run));
    }
}

TEST_F(ControlPanel, CommandLineWordsEndTheProgramWithoutTheWindow)
{
    // "noocx" runs the wizard instead of the window; a wizard ended
    // otherwise than with Finish leaves the registration undone, and says so.
    CChildProcess& noocx = Start("NOOCX");
    HWND hWizard = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hWizard = WizardOf(noocx)) != nullptr; }, kWaitMs));
    PostMessageA(hWizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    const HWND hBox = WaitForBoxAfterWizard(noocx);
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(BoxText(hBox), "Registration of KIVO ActiveX component not completed....");
    EXPECT_EQ(PanelOf(noocx), nullptr);
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Ended(noocx));

    CChildProcess& other = Start("/settings");
    EXPECT_TRUE(Ended(other));
    EXPECT_EQ(PanelOf(other), nullptr);
}

// ---- The window

class ControlPanelWindow : public ControlPanel {
protected:
    void SetUp() override
    {
        ControlPanel::SetUp();
        m_pRun = &Start();
        m_hPanel = WaitForPanel(*m_pRun);
        ASSERT_NE(m_hPanel, nullptr);
    }
    HWND Item(int nId) const { return GetDlgItem(m_hPanel, nId); }
    bool Enabled(int nId) const { return IsWindowEnabled(Item(nId)) != FALSE; }
    // The control with the keyboard focus in the window's thread.
    HWND Focus() const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(m_hPanel, nullptr), &info) ? info.hwndFocus : nullptr;
    }
    // regsvr32 of this architecture on the built control, as another program runs it.
    static bool RunRegsvr32(const std::string& strArguments)
    {
        char szSystem[MAX_PATH] = {};
        GetSystemDirectoryA(szSystem, MAX_PATH);
        CChildProcess regsvr32;
        DWORD nExit = 1;
        return regsvr32.Start(std::string(szSystem) + "\\regsvr32.exe",
                              strArguments + " \"" + WindowsPath(KIVO_OCX_PATH) + "\"") &&
               regsvr32.WaitForExit(kWaitMs, nExit) && nExit == 0;
    }
    std::string Stored(const char* pszValue) const { return GetRegString(kRegPath, pszValue, "<none>"); }

    CChildProcess* m_pRun = nullptr;
    HWND m_hPanel = nullptr;
};

TEST_F(ControlPanelWindow, ALanguageChangeRetextsEveryControlAndTheMenuAtOnce)
{
    Screenshot(m_hPanel, "kivocp-english.bmp");
    const std::wstring strEnglishLabel = TextOf(Item(IDC_MCP_LUMBRA_LABEL));
    EXPECT_EQ(strEnglishLabel, L"Lumbra Installation &Folder:");

    SendMessageA(Item(IDC_MCP_LANGUAGE), CB_SETCURSEL, 2, 0);
    SendMessageA(m_hPanel, WM_COMMAND, MAKEWPARAM(IDC_MCP_LANGUAGE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_MCP_LANGUAGE)));
    const struct {
        int nId;  // 0: the window itself
        std::wstring strText;
    } texts[] = {
        {0, Wide("KIVO \xB1\xB1\xA8\xEE\xA5\x78", 950)},
        {IDC_MCP_INFO, Wide(GetMessage(IDS_DIALOG_MCP_INFO, "KIVO", "", "", MessageLanguageTraditional), 950)},
        {IDC_MCP_LANGUAGE_GROUP, Traditional(IDS_DIALOG_MCP_STRINGS, 2)},
        {IDC_MCP_REGISTRATION_GROUP, Traditional(IDS_DIALOG_MCP_STRINGS, 3)},
        {IDC_MCP_REGISTRATION_STATUS, Traditional(IDS_MESSAGE_VALIDATION_CHECK_MESSAGE, 0)},
        {IDC_MCP_REGISTER, Traditional(IDS_DIALOG_WIZARD_OCX_INFO_REGISTER_R)},
        {IDC_MCP_PATH_GROUP, Traditional(IDS_DIALOG_MCP_STRINGS, 6)},
        {IDC_MCP_MAIN_LABEL, Wide("KIVO ", 950) + Traditional(IDS_DIALOG_MCP_STRINGS, 7).substr(3)},
        {IDC_MCP_LUMBRA_LABEL, Traditional(IDS_DIALOG_MCP_STRINGS, 8)},
        {IDC_MCP_EXE_LABEL, Traditional(IDS_DIALOG_MCP_STRINGS, 9)},
        {IDC_MCP_WA_GROUP, Traditional(IDS_DIALOG_MCP_STRINGS, 10)},
        {IDC_MCP_WA_NOTE, Traditional(IDS_DIALOG_MCP_WA_NOTE, 0) + L"\r\n" + Traditional(IDS_DIALOG_MCP_WA_NOTE, 1)},
        {IDC_MCP_WA_OPEN, Traditional(IDS_DIALOG_MCP_STRINGS, 11)},
    };
    for (const auto& t : texts)
        EXPECT_EQ(t.nId ? TextOf(Item(t.nId)) : TitleOf(m_hPanel), t.strText) << t.nId;
    EXPECT_EQ(GetRegDWORD("Shell", "LCID", 0), 1028u);
    Screenshot(m_hPanel, "kivocp-traditional.bmp");

    // The menu's language items do the same.
    SendMessageA(m_hPanel, WM_COMMAND, ID_VIEW_ENGLISH, 0);
    EXPECT_EQ(TextOf(Item(IDC_MCP_LUMBRA_LABEL)), strEnglishLabel);
    EXPECT_EQ(SendMessageA(Item(IDC_MCP_LANGUAGE), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetRegDWORD("Shell", "LCID", 0), 1033u);
}

TEST_F(ControlPanel, EveryWindowIsAUnicodeOneAndItsChineseReadsBackWhole)
{
    // Read through each window's own procedure, as another program or a
    // screen reader reads it: an ANSI window hands it over in the system's
    // code page, which turns Chinese into "?".
    SetRegDWORD("Shell", "LCID", 1028);
    CChildProcess& run = Start();
    const HWND hPanel = WaitForPanel(run);
    ASSERT_NE(hPanel, nullptr);
    EXPECT_EQ(TextOf(hPanel), Wide("KIVO \xB1\xB1\xA8\xEE\xA5\x78", 950));
    EXPECT_EQ(TextOf(GetDlgItem(hPanel, IDC_MCP_LUMBRA_LABEL)), Traditional(IDS_DIALOG_MCP_STRINGS, 8));
    EXPECT_EQ(AnsiWindowsOf(run.GetId()), std::vector<std::string>()) << "the window";

    const struct {
        int nCommand;
        int nItem;  // a control only that window has
        std::int32_t nTitle;
    } windows[] = {
        {ID_HELP_ABOUT, IDC_ABOUT_VERSION, IDS_DIALOG_ABOUT_TITLE},
        {IDC_MCP_EDITOR, IDC_DCE_SOURCE, IDS_DIALOG_DCE_TITLE},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.nCommand);
        Click(hPanel, w.nCommand);
        HWND hOpened = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] {
                for (const char* pszClass : {"#32770", kPanelClass})
                    for (HWND hWnd : VisibleWindowsOf(run.GetId(), pszClass))
                        if (GetDlgItem(hWnd, w.nItem))
                            hOpened = hWnd;
                return hOpened != nullptr;
            },
            kWaitMs));
        EXPECT_EQ(TextOf(hOpened), Wide(GetMessage(w.nTitle, "KIVO", "", "", MessageLanguageTraditional), 950));
        EXPECT_EQ(AnsiWindowsOf(run.GetId()), std::vector<std::string>());
        PostMessageA(hOpened, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(hOpened); }, kWaitMs));
    }
}

TEST_F(ControlPanelWindow, RegisteringThroughTheButtonTurnsTheStatusLine)
{
    ASSERT_FALSE(IsControlRegistered()) << "the prefix is left with the control unregistered";
    EXPECT_EQ(TextOf(Item(IDC_MCP_REGISTRATION_STATUS)), L"You haven't registered KIVO ActiveX Control in your system!");

    // The keyboard on the button when the status turns: it goes on to
    // another control of the window, not away with the disabled button.
    SetForegroundWindow(m_hPanel);
    PostMessageA(m_hPanel, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_MCP_REGISTER)), TRUE);
    ASSERT_TRUE(WaitFor([&] { return Focus() == Item(IDC_MCP_REGISTER); }, kWaitMs));
    ASSERT_TRUE(RunRegsvr32("/s"));
    ASSERT_TRUE(WaitFor([&] { return !Enabled(IDC_MCP_REGISTER); }, kWaitMs));
    const HWND hFocus = Focus();
    EXPECT_TRUE(hFocus && IsChild(m_hPanel, hFocus) && IsWindowEnabled(hFocus)) << "the window lost the keyboard";
    ASSERT_TRUE(RunRegsvr32("/s /u"));
    ASSERT_TRUE(WaitFor([&] { return Enabled(IDC_MCP_REGISTER); }, kWaitMs));

    const std::string strOcx = WindowsPath(KIVO_OCX_PATH);
    // The file dialog of each command, answered as a user answers it.
    for (const int nCommand : {IDC_MCP_REGISTER, ID_TOOLS_UNREGISTER}) {
        SCOPED_TRACE(nCommand);
        if (nCommand == IDC_MCP_REGISTER)
            Click(m_hPanel, nCommand);
        else
            PostMessageA(m_hPanel, WM_COMMAND, nCommand, 0);
        ASSERT_TRUE(AnswerFileDialog(*m_pRun, strOcx));
        const bool bRegistering = nCommand == IDC_MCP_REGISTER;
        EXPECT_TRUE(WaitFor([&] { return IsControlRegistered() == bRegistering; }, kWaitMs));
        // Within a second of the registry the status line follows.
        EXPECT_TRUE(WaitFor(
            [&] {
                return TextOf(Item(IDC_MCP_REGISTRATION_STATUS)) ==
                       (bRegistering ? L"You have successfully registered KIVO ActiveX Control in your system."
                                     : L"You haven't registered KIVO ActiveX Control in your system!");
            },
            1500));
        EXPECT_EQ(Enabled(IDC_MCP_REGISTER), !bRegistering);
    }
}

TEST_F(ControlPanelWindow, ApplyStoresOnlyACompleteLumbraAndCancelKeepsIt)
{
    const std::string strBroken = m_scratch / "Broken";
    const std::string strOther = m_scratch / "Other Lumbra";
    ASSERT_TRUE(lumbratest::CopyTree(m_strLumbra, strBroken));
    ASSERT_TRUE(lumbratest::CopyTree(m_strLumbra, strOther));
    ASSERT_TRUE(DeleteFileA((strBroken + "\\ctwa\\basebig.txt").c_str()));

    // A cleared field stands for the stored folder.
    SetText(Item(IDC_MCP_LUMBRA_FOLDER), "");
    EXPECT_TRUE(WaitFor([&] { return Enabled(IDC_MCP_LUMBRA_VIEW); }, 1500));
    SetText(Item(IDC_MCP_LUMBRA_FOLDER), m_scratch / "Missing");
    EXPECT_TRUE(WaitFor([&] { return !Enabled(IDC_MCP_LUMBRA_VIEW); }, 1500));

    // An incomplete installation: the message, and nothing changes.
    SetText(Item(IDC_MCP_LUMBRA_FOLDER), "  " + strBroken + "  ");
    Click(m_hPanel, IDC_MCP_APPLY);
    const HWND hBox = WaitForBox(*m_pRun);
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(BoxText(hBox).find("Integration Check Failed!"), 0u);
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return BoxesOf(*m_pRun).empty(); }, kWaitMs));
    EXPECT_EQ(Stored(kRegLumbraRoot), m_strLumbra);
    EXPECT_EQ(TextOf(Item(IDC_MCP_LUMBRA_FOLDER)), Wide("  " + strBroken + "  ", CP_ACP));

    // A complete one is stored trimmed, and Cancel afterwards keeps it.
    SetText(Item(IDC_MCP_LUMBRA_FOLDER), " " + strOther + "\\ ");
    SendMessageA(m_hPanel, WM_COMMAND, MAKEWPARAM(IDC_MCP_APPLY, BN_CLICKED), 0);
    EXPECT_TRUE(BoxesOf(*m_pRun).empty());
    EXPECT_EQ(Stored(kRegLumbraRoot), strOther);
    PostMessageA(m_hPanel, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(Ended(*m_pRun));
    EXPECT_EQ(Stored(kRegLumbraRoot), strOther);
}

TEST_F(ControlPanelWindow, TheHandOverReachesLumbraOnceWhetherRunningOrNot)
{
    SetRegString(kRegPath, kRegLumbraRoot, m_strLumbra);  // where the stand-in looks
    const auto dialogs = [] {
        DWORD nId = 0;
        if (const HWND hLumbra = FindLumbraWindow())
            GetWindowThreadProcessId(hLumbra, &nId);
        return nId ? VisibleWindowsOf(nId, "#32770").size() : 0u;
    };
    // Not running: started, waited for, and sent the command once.
    ASSERT_EQ(FindLumbraWindow(), nullptr);
    Click(m_hPanel, IDC_MCP_WA_OPEN);
    EXPECT_TRUE(WaitFor([&] { return dialogs() == 1; }, kWaitMs));
    Sleep(2500);
    EXPECT_EQ(dialogs(), 1u);
    // Running, its dialog closed: sent the command at once.
    DWORD nId = 0;
    GetWindowThreadProcessId(FindLumbraWindow(), &nId);
    for (HWND hDialog : VisibleWindowsOf(nId, "#32770"))
        PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return dialogs() == 0; }, kWaitMs));
    Click(m_hPanel, IDC_MCP_WA_OPEN);
    EXPECT_TRUE(WaitFor([&] { return dialogs() == 1; }, 5000));
}

TEST_F(ControlPanel, ReleaseNotesOnceAndHelpAndAboutFromTheWindow)
{
    ASSERT_TRUE(CopyFileA((WindowsPath(KIVO_HELP_DIR) + "\\kivo.chm").c_str(), (m_strMain + "\\kivo.chm").c_str(),
                          FALSE));
    // The first run of this build opens its release notes in the viewer, and
    // marks them read for the user (who may not write the machine's root).
    const std::string strApp = std::string(kKivoRegistryPath) + "\\App";
    SetRegString("App", kReleaseNotes, "");
    settingstest::DeleteValue(HKEY_CURRENT_USER, strApp, kReleaseNotes);
    CChildProcess& run = Start();
    const HWND hPanel = WaitForPanel(run);
    ASSERT_NE(hPanel, nullptr);
    const auto viewers = [&] { return VisibleWindowsOf(run.GetId(), "HH Parent").size(); };
    EXPECT_TRUE(WaitFor([&] { return viewers() == 1; }, kWaitMs));
    EXPECT_TRUE(WaitFor([&] { return settingstest::GetString(HKEY_CURRENT_USER, strApp, kReleaseNotes) == "1"; },
                        kWaitMs));
    EXPECT_EQ(GetRegString("App", kReleaseNotes, "?"), "") << "the machine's root was written";
    for (HWND hViewer : VisibleWindowsOf(run.GetId(), "HH Parent"))
        PostMessageA(hViewer, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return viewers() == 0; }, kWaitMs));

    // F1 as a key: the help's contents.
    SetForegroundWindow(hPanel);
    ASSERT_TRUE(XDoTool("key F1"));
    EXPECT_TRUE(WaitFor([&] { return viewers() == 1; }, kWaitMs));

    PostMessageA(hPanel, WM_COMMAND, ID_HELP_ABOUT, 0);
    std::vector<HWND> arrBoxes;
    EXPECT_TRUE(WaitFor([&] { return !(arrBoxes = BoxesOf(run)).empty(); }, kWaitMs));
    if (!arrBoxes.empty()) {
        EXPECT_EQ(TitleOf(arrBoxes.front()), L"About KIVO");
        PostMessageA(arrBoxes.front(), WM_COMMAND, IDOK, 0);
    }
}

// ---- Real input

TEST_F(ControlPanelWindow, KeysMenusAndTheMouseAsAUserGivesThem)
{
    // Typing into the folder field refreshes the buttons as the text grows.
    RECT rect = {};
    GetWindowRect(Item(IDC_MCP_LUMBRA_FOLDER), &rect);
    ASSERT_TRUE(XDoTool("mousemove " + std::to_string(rect.left + 5) + " " + std::to_string(rect.top + 5) +
                        " click --repeat 3 1"));
    ASSERT_TRUE(XDoTool("key End shift+Home BackSpace"));
    EXPECT_TRUE(WaitFor([&] { return TextOf(Item(IDC_MCP_LUMBRA_FOLDER)).empty(); }, 5000));
    ASSERT_TRUE(XDoTool("type --delay 20 Z:nowhere"));
    EXPECT_TRUE(WaitFor([&] { return !Enabled(IDC_MCP_LUMBRA_VIEW); }, 2000));

    // The View menu by keyboard: Languages, Traditional Chinese.
    ASSERT_TRUE(XDoTool("key --delay 200 alt+v l t"));
    EXPECT_TRUE(WaitFor([&] { return TitleOf(m_hPanel) == Wide("KIVO \xB1\xB1\xA8\xEE\xA5\x78", 950); }, 5000));
    EXPECT_EQ(SendMessageA(Item(IDC_MCP_LANGUAGE), CB_GETCURSEL, 0, 0), 2);

    // Hovering a button shows its tip in the interface language.
    GetWindowRect(Item(IDC_MCP_HELP), &rect);
    ASSERT_TRUE(XDoTool("mousemove " + std::to_string((rect.left + rect.right) / 2) + " " +
                        std::to_string((rect.top + rect.bottom) / 2)));
    HWND hTip = nullptr;
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::vector<HWND> arrTips = VisibleWindowsOf(m_pRun->GetId(), "tooltips_class32");
            hTip = arrTips.empty() ? nullptr : arrTips.front();
            return hTip != nullptr;
        },
        5000));
    if (hTip) {
        EXPECT_EQ(TextOf(hTip), Traditional(IDS_TIP_HELP));
    }
    Screenshot(m_hPanel, "kivocp-typed-and-hovered.bmp");
}

// ---- The menu, which only the window's own process can read

TEST_F(ControlPanel, TheMenuFollowsTheLanguageAndTheExecutableField)
{
    CKIVOCPApp app;
    app.m_strMainPath = m_strMain;
    app.m_strLumbraRoot = m_strLumbra;
    app.m_strLumbraExe = WindowsPath(KIVO_LUMBRA_EXE);
    app.ChooseInterfaceLanguage();
    ASSERT_TRUE(CKIVOCPApp::RegisterWindowClass());
    CControlPanelDlg dialog(app);
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND hPanel = dialog.GetHwnd();
    const HMENU hBar = GetMenu(hPanel);
    const auto opened = [&](HMENU hPopup) {
        SendMessageA(hPanel, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
        return hPopup;
    };
    const auto grey = [](HMENU hPopup, UINT nId) { return (GetMenuState(hPopup, nId, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    const auto checked = [](HMENU hPopup, UINT nId) {
        return (GetMenuState(hPopup, nId, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };

    EXPECT_EQ(MenuText(hBar, 0), L"&Tools");
    const HMENU hTools = opened(GetSubMenu(hBar, 0));
    EXPECT_EQ(GetMenuItemCount(hTools), 8);
    EXPECT_FALSE(grey(hTools, ID_TOOLS_RUN_LUMBRA));
    EXPECT_FALSE(grey(hTools, ID_TOOLS_WIZARD));
    EXPECT_FALSE(grey(hTools, ID_TOOLS_EDITOR));
    for (const std::string& strExe : {m_scratch / "missing.exe", m_strLumbra}) {
        SetText(GetDlgItem(hPanel, IDC_MCP_LUMBRA_EXE), strExe);
        EXPECT_TRUE(grey(opened(hTools), ID_TOOLS_RUN_LUMBRA)) << strExe;
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hPanel, IDC_MCP_WA_OPEN)));

    // A language command re-texts the bar and marks the language.
    SendMessageA(hPanel, WM_COMMAND, ID_VIEW_TRADITIONAL, 0);
    const HMENU hBig5Bar = GetMenu(hPanel);
    EXPECT_EQ(MenuText(hBig5Bar, 0), Traditional(IDS_DIALOG_MENU_STRINGS, 0));
    EXPECT_EQ(MenuText(hBig5Bar, 1), Traditional(IDS_DIALOG_MENU_STRINGS, 6));
    EXPECT_EQ(MenuText(hBig5Bar, 2), Traditional(IDS_DIALOG_MENU_STRINGS, 11));
    const HMENU hView = opened(GetSubMenu(hBig5Bar, 1));
    EXPECT_EQ(MenuText(hView, 0), Traditional(IDS_DIALOG_MENU_STRINGS, 7));
    const HMENU hLanguages = opened(GetSubMenu(hView, 0));
    EXPECT_EQ(MenuText(hLanguages, 2), Traditional(IDS_DIALOG_MENU_STRINGS, 10));
    EXPECT_TRUE(checked(hLanguages, ID_VIEW_TRADITIONAL));
    EXPECT_FALSE(checked(hLanguages, ID_VIEW_ENGLISH));
    std::wstring strAbout = Traditional(IDS_DIALOG_MENU_STRINGS, 13);
    strAbout.replace(strAbout.find(L"#1"), 2, L"KIVO");
    EXPECT_EQ(MenuText(opened(GetSubMenu(hBig5Bar, 2)), 1), strAbout);
    dialog.EndDialog(IDCANCEL);
}

} // namespace
