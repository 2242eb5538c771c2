// The configuration wizard of kivocp.exe worked from outside: started by the
// command line "noocx" and from the control panel's menu, its pages driven
// by window messages to the sheet and the pages, and by xdotool where only
// real input tells (a click on the sheet's button, F1). The control starts
// unregistered, as the prefix keeps it, and is unregistered again after.
#include "ControlPanelResource.h"
#include "ControlPanelRun.h"
#include "ControlRegistration.h"
#include "XDoTool.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

namespace {

using namespace paneltest;
using lumbratest::WindowsPath;

// The sheet's own buttons.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;

const wchar_t kWelcomeTitle[] = L"KIVO Configuration Wizard";
const wchar_t kOcxTitle[] = L"Register KIVO OCX Component";
const wchar_t kLumbraTitle[] = L"Locate Lumbra (installation folder and executable path)";
const wchar_t kWATitle[] = L"Word Adjustment Configration (Optional)";
const wchar_t kSummaryTitle[] = L"Congratulations!";

// Registers or unregisters the control in this process, as another program would.
bool CallControlRegistration(bool bRegister)
{
    const HMODULE hControl = LoadLibraryA(WindowsPath(KIVO_OCX_PATH).c_str());
    if (!hControl)
        return false;
    using RegistrationFunction = HRESULT(__stdcall*)();
    const auto pfn = reinterpret_cast<RegistrationFunction>(
        reinterpret_cast<void*>(GetProcAddress(hControl, bRegister ? "DllRegisterServer" : "DllUnregisterServer")));
    const bool bDone = pfn && SUCCEEDED(pfn());
    FreeLibrary(hControl);
    return bDone;
}

class Wizard : public ControlPanel {
protected:
    void SetUp() override
    {
        ControlPanel::SetUp();
        ASSERT_FALSE(IsControlRegistered()) << "the prefix is left with the control unregistered";
    }
    void TearDown() override
    {
        ControlPanel::TearDown();
        if (IsControlRegistered())
            CallControlRegistration(false);
    }

    // The wizard of `process` once it shows, on its welcome page.
    HWND WaitForWizard(const CChildProcess& process)
    {
        m_hSheet = nullptr;
        WaitFor([&] { return (m_hSheet = WizardOf(process)) != nullptr; }, kWaitMs);
        if (m_hSheet)
            WaitForPage(kWelcomeTitle);
        return m_hSheet;
    }
    HWND Page() const { return reinterpret_cast<HWND>(SendMessageW(m_hSheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    HWND PageItem(int nId) const { return GetDlgItem(Page(), nId); }
    bool Enabled(int nButton) const { return IsWindowEnabled(GetDlgItem(m_hSheet, nButton)) != FALSE; }
    // The page of that title on show, and its buttons settled.
    bool WaitForPage(const wchar_t* pszTitle) const
    {
        const bool bShown = WaitFor([&] { return TitleOf(m_hSheet) == pszTitle && IsWindowVisible(Page()); }, kWaitMs);
        SendMessageW(m_hSheet, WM_NULL, 0, 0);  // the buttons a page posts for itself are set by now
        return bShown;
    }
    void Press(int nButton) const { PostMessageW(m_hSheet, PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0); }
    bool Next(const wchar_t* pszTitle) const
    {
        Press(PSBTN_NEXT);
        return WaitForPage(pszTitle);
    }
    bool Back(const wchar_t* pszTitle) const
    {
        Press(PSBTN_BACK);
        return WaitForPage(pszTitle);
    }
    // Sets a page's edit as typing would, and waits until the page has judged it.
    void SetPageText(int nId, const std::string& strText) const
    {
        SetText(PageItem(nId), strText);
        SendMessageW(m_hSheet, WM_NULL, 0, 0);
    }
    std::string MakeFile(const std::string& strName) const
    {
        const std::string strPath = m_scratch / strName;
        CScratchFolder::WriteBytes(strPath, "MZ");
        return strPath;
    }

    HWND m_hSheet = nullptr;
};

// ---- The "noocx" road, page by page

TEST_F(Wizard, LeadsFromAnUnregisteredControlToFinishAndStartsTheTester)
{
    SetRegString(kRegPath, kRegLumbraRoot, "");
    SetRegString(kRegPath, kRegLumbraExe, "");
    // The tester's place in the main folder: a program that records its start.
    ASSERT_TRUE(CopyFileA(WindowsPath(KIVO_RECORDER_EXE).c_str(), (m_strMain + "\\kivotester.exe").c_str(), FALSE));
    CChildProcess& run = Start("noocx");
    ASSERT_NE(WaitForWizard(run), nullptr);

    // Welcome: every step still to do, marked.
    const std::wstring strWelcome = TextOf(PageItem(IDC_WIZ_TEXT));
    for (const wchar_t* pszLine : {L"***   You haven't registered KIVO ActiveX Control in your system!",
                                   L"***   You haven't located Lumbra installation folder in your system!",
                                   L"***   You haven't located the path for Lumbra executable program!"})
        EXPECT_NE(strWelcome.find(pszLine), std::wstring::npos) << pszLine;
    EXPECT_TRUE(Enabled(kNextButton));
    EXPECT_FALSE(Enabled(kBackButton));
    Screenshot(m_hSheet, "wizard-0-welcome.bmp");

    // Next with the mouse, as a user presses it.
    RECT rect = {};
    GetWindowRect(GetDlgItem(m_hSheet, kNextButton), &rect);
    ASSERT_TRUE(XDoTool("mousemove " + std::to_string((rect.left + rect.right) / 2) + " " +
                        std::to_string((rect.top + rect.bottom) / 2) + " click 1"));
    ASSERT_TRUE(WaitForPage(kOcxTitle));
    // The page sets its buttons by a posted message, which may still be on its way.
    EXPECT_TRUE(WaitFor([&] { return !Enabled(kNextButton); }, 1500));
    EXPECT_EQ(TextOf(PageItem(IDC_WIZ_STATUS)), L"You haven't registered KIVO ActiveX Control in your system!");
    EXPECT_FALSE(IsWindowVisible(PageItem(IDC_WIZ_ACTION2)));
    Screenshot(m_hSheet, "wizard-1-register.bmp");

    // A file that is no control: regsvr32 fails, and the page stays as it was.
    Click(Page(), IDC_WIZ_ACTION);
    ASSERT_TRUE(AnswerFileDialog(run, MakeFile("notes.ocx")));
    Sleep(2500);
    EXPECT_FALSE(IsControlRegistered());
    EXPECT_FALSE(Enabled(kNextButton));
    EXPECT_TRUE(IsWindowEnabled(PageItem(IDC_WIZ_ACTION)));
    // The control itself: Next once the registry says so.
    Click(Page(), IDC_WIZ_ACTION);
    ASSERT_TRUE(AnswerFileDialog(run, WindowsPath(KIVO_OCX_PATH)));
    ASSERT_TRUE(WaitFor([] { return IsControlRegistered(); }, kWaitMs));
    EXPECT_TRUE(WaitFor([&] { return Enabled(kNextButton); }, 1500));
    EXPECT_EQ(TextOf(PageItem(IDC_WIZ_TEXT)), L"KIVO ActiveX control has been registered.");
    EXPECT_FALSE(IsWindowEnabled(PageItem(IDC_WIZ_ACTION)));
    EXPECT_EQ(GetRegString(kRegPath, kRegLastOcxFolder, ""), WindowsPath(KIVO_OCX_PATH).substr(
        0, WindowsPath(KIVO_OCX_PATH).find_last_of('\\')));

    // Lumbra: Next only while the folder and the program both pass.
    ASSERT_TRUE(Next(kLumbraTitle));
    EXPECT_FALSE(Enabled(kNextButton));
    const std::string strFolderExe = m_scratch / "folder.exe";
    ASSERT_TRUE(CreateDirectoryA(strFolderExe.c_str(), nullptr));
    const std::string strCapitals = m_scratch / "LUMBRA.EXE";
    ASSERT_TRUE(CopyFileA(WindowsPath(KIVO_LUMBRA_EXE).c_str(), strCapitals.c_str(), FALSE));
    const struct {
        std::string strFolder;
        std::string strExe;
        bool bFolder, bExe;
    } cases[] = {
        {"  " + m_strLumbra + "  ", "", true, false},          // nothing configured to stand in for it
        {m_scratch / "Missing", strCapitals, false, true},    // capitals pass
        {m_strLumbra, strFolderExe, true, false},              // a folder is no program
        {m_strLumbra, MakeFile("lumbra.com"), true, false},    // offered by the dialog, refused here
        {m_strLumbra, " " + strCapitals + " ", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strFolder + " | " + c.strExe);
        SetPageText(IDC_WIZ_FOLDER, c.strFolder);
        SetPageText(IDC_WIZ_EXE, c.strExe);
        EXPECT_EQ(IsWindowEnabled(PageItem(IDC_WIZ_FOLDER_VIEW)) != FALSE, c.bFolder);
        EXPECT_EQ(IsWindowEnabled(PageItem(IDC_WIZ_EXE_RUN)) != FALSE, c.bExe);
        EXPECT_EQ(Enabled(kNextButton), c.bFolder && c.bExe);
    }
    Screenshot(m_hSheet, "wizard-2-lumbra.bmp");

    ASSERT_TRUE(Next(kWATitle));
    EXPECT_TRUE(Enabled(kNextButton));
    EXPECT_TRUE(Enabled(kBackButton));
    EXPECT_EQ(TextOf(PageItem(IDC_WIZ_ACTION)), L"&Open Lumbra for Word Adjustment Configuration");
    Screenshot(m_hSheet, "wizard-3-word-adjustment.bmp");

    ASSERT_TRUE(Next(kSummaryTitle));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(m_hSheet, kFinishButton)) && Enabled(kFinishButton));
    Screenshot(m_hSheet, "wizard-4-summary.bmp");

    // Back to the start: what was done is no longer marked.
    ASSERT_TRUE(Back(kWATitle) && Back(kLumbraTitle) && Back(kOcxTitle) && Back(kWelcomeTitle));
    EXPECT_EQ(TextOf(PageItem(IDC_WIZ_TEXT)).find(L"***"), std::wstring::npos) << TextOf(PageItem(IDC_WIZ_TEXT));
    ASSERT_TRUE(Next(kOcxTitle) && Next(kLumbraTitle) && Next(kWATitle) && Next(kSummaryTitle));

    Press(PSBTN_FINISH);
    EXPECT_TRUE(Ended(run));
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraRoot, ""), m_strLumbra);
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraExe, ""), strCapitals);
    std::vector<std::string> arrLines;
    ASSERT_TRUE(WaitFor(
        [&] {
            SplitLines(arrLines, CScratchFolder::ReadBytes(m_strMain + "\\started.txt"));
            return arrLines.size() >= 4;
        },
        kWaitMs))
        << "the tester was not started";
    EXPECT_EQ(arrLines[0], "");
    EXPECT_EQ(lstrcmpiA(arrLines[1].c_str(), m_strMain.c_str()), 0) << arrLines[1];
    EXPECT_EQ(arrLines[3], std::to_string(SW_SHOW));
}

// ---- From the control panel's menu

class WizardFromThePanel : public Wizard {
protected:
    void SetUp() override
    {
        Wizard::SetUp();
        m_pRun = &Start();
        m_hPanel = WaitForPanel(*m_pRun);
        ASSERT_NE(m_hPanel, nullptr);
    }
    std::wstring Field(int nId) const { return TextOf(GetDlgItem(m_hPanel, nId)); }
    // Opens the wizard from the menu and goes on to the Lumbra page.
    void OpenAtLumbraPage()
    {
        PostMessageA(m_hPanel, WM_COMMAND, ID_TOOLS_WIZARD, 0);
        ASSERT_NE(WaitForWizard(*m_pRun), nullptr);
        EXPECT_FALSE(IsWindowEnabled(m_hPanel)) << "the panel must wait for its wizard";
        ASSERT_TRUE(Next(kOcxTitle));
        if (!IsControlRegistered()) {
            // Registered elsewhere while the page shows: Next within a second.
            EXPECT_FALSE(Enabled(kNextButton));
            ASSERT_TRUE(CallControlRegistration(true));
            EXPECT_TRUE(WaitFor([&] { return Enabled(kNextButton); }, 1500));
        }
        ASSERT_TRUE(Next(kLumbraTitle));
    }
    void Finish()
    {
        ASSERT_TRUE(Next(kWATitle) && Next(kSummaryTitle));
        Press(PSBTN_FINISH);
        ASSERT_TRUE(WaitFor([&] { return !WizardOf(*m_pRun); }, kWaitMs));
        SendMessageW(m_hPanel, WM_NULL, 0, 0);
    }

    CChildProcess* m_pRun = nullptr;
    HWND m_hPanel = nullptr;
};

TEST_F(WizardFromThePanel, CancelKeepsThePathsAndOnlyACompleteLumbraIsStored)
{
    const std::string strExe = WindowsPath(KIVO_LUMBRA_EXE);
    const std::string strOther = m_scratch / "Other Lumbra";
    const std::string strBroken = m_scratch / "Broken Lumbra";
    ASSERT_TRUE(lumbratest::CopyTree(m_strLumbra, strOther));
    ASSERT_TRUE(lumbratest::CopyTree(m_strLumbra, strBroken));
    ASSERT_TRUE(DeleteFileA((strBroken + "\\config\\wag2b.ini").c_str()));
    const std::string strOtherExe = m_scratch / "other.exe";
    ASSERT_TRUE(CopyFileA(strExe.c_str(), strOtherExe.c_str(), FALSE));

    // Both paths changed, then Cancel: the panel's fields and the registry stay.
    OpenAtLumbraPage();
    SetPageText(IDC_WIZ_FOLDER, strOther);
    SetPageText(IDC_WIZ_EXE, strOtherExe);
    ASSERT_TRUE(Enabled(kNextButton));
    Press(PSBTN_CANCEL);
    ASSERT_TRUE(WaitFor([&] { return !WizardOf(*m_pRun) && IsWindowEnabled(m_hPanel); }, kWaitMs));
    EXPECT_EQ(Field(IDC_MCP_LUMBRA_FOLDER), Wide(m_strLumbra, CP_ACP));
    EXPECT_EQ(Field(IDC_MCP_LUMBRA_EXE), Wide(strExe, CP_ACP));
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraRoot, ""), m_strLumbra);

    // A folder whose data is incomplete: Next says so on the Lumbra page and
    // stays there, so the wizard cannot finish on it; nothing is stored.
    OpenAtLumbraPage();
    SetPageText(IDC_WIZ_FOLDER, strBroken);
    ASSERT_TRUE(Enabled(kNextButton));
    Press(PSBTN_NEXT);
    const HWND hBox = WaitForDialogWith(*m_pRun, kMessageBoxIdText);
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(BoxText(hBox).find("Integration Check Failed!"), 0u) << BoxText(hBox);
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(hBox); }, kWaitMs));
    EXPECT_TRUE(WaitForPage(kLumbraTitle));
    Press(PSBTN_CANCEL);
    ASSERT_TRUE(WaitFor([&] { return !WizardOf(*m_pRun) && IsWindowEnabled(m_hPanel); }, kWaitMs));
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraRoot, ""), m_strLumbra);

    // Paths typed in the panel and not applied, carried into the wizard and
    // finished there untouched: Finish stores them, as its summary says.
    SetText(GetDlgItem(m_hPanel, IDC_MCP_LUMBRA_FOLDER), strOther);
    OpenAtLumbraPage();
    EXPECT_EQ(TextOf(PageItem(IDC_WIZ_FOLDER)), Wide(strOther, CP_ACP));
    Finish();
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraRoot, ""), strOther);
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraExe, ""), strExe);

    // Finished on a complete one typed in the wizard: stored.
    OpenAtLumbraPage();
    SetPageText(IDC_WIZ_FOLDER, strOther + "\\");
    SetPageText(IDC_WIZ_EXE, strOtherExe);
    Finish();
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraRoot, ""), strOther);
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraExe, ""), strOtherExe);
    EXPECT_EQ(Field(IDC_MCP_LUMBRA_FOLDER), Wide(strOther, CP_ACP));
    EXPECT_EQ(Field(IDC_MCP_LUMBRA_EXE), Wide(strOtherExe, CP_ACP));
}

TEST_F(WizardFromThePanel, ClosingTheWizardEndsTheWaitForLumbra)
{
    ASSERT_TRUE(CallControlRegistration(true));
    OpenAtLumbraPage();
    ASSERT_TRUE(Next(kWATitle));
    ASSERT_EQ(FindLumbraWindow(), nullptr);
    // Lumbra started, and the wizard closed before its window is there.
    Click(Page(), IDC_WIZ_ACTION);
    Press(PSBTN_CANCEL);
    ASSERT_TRUE(WaitFor([] { return FindLumbraWindow() != nullptr; }, kWaitMs));
    DWORD nLumbra = 0;
    GetWindowThreadProcessId(FindLumbraWindow(), &nLumbra);
    Sleep(2500);
    EXPECT_TRUE(VisibleWindowsOf(nLumbra, "#32770").empty()) << "the command went out after the wizard was gone";
    EXPECT_TRUE(IsWindow(m_hPanel));
}

TEST_F(WizardFromThePanel, F1OnAnyPageOpensTheWizardsHelp)
{
    ASSERT_TRUE(CopyFileA((WindowsPath(KIVO_HELP_DIR) + "\\kivo.chm").c_str(), (m_strMain + "\\kivo.chm").c_str(),
                          FALSE));
    const auto viewers = [&] { return VisibleWindowsOf(m_pRun->GetId(), "HH Parent"); };
    OpenAtLumbraPage();
    // On a page's field, and on the sheet's own button.
    for (const HWND hFocus : {PageItem(IDC_WIZ_FOLDER), GetDlgItem(m_hSheet, kBackButton)}) {
        SetForegroundWindow(m_hSheet);
        PostMessageW(m_hSheet, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hFocus), TRUE);
        SendMessageW(m_hSheet, WM_NULL, 0, 0);
        ASSERT_TRUE(XDoTool("key F1"));
        EXPECT_TRUE(WaitFor([&] { return viewers().size() == 1; }, kWaitMs));
        for (HWND hViewer : viewers())
            PostMessageA(hViewer, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return viewers().empty(); }, kWaitMs));
    }
}

// ---- In Chinese

TEST_F(Wizard, SpeaksTheInterfaceLanguage)
{
    const struct {
        DWORD nLCID;
        UINT nCodePage;
        int nLanguage;
        const char* pszScreenshot;
    } cases[] = {
        {2052, 936, MessageLanguageSimplified, "wizard-0-simplified.bmp"},
        {1028, 950, MessageLanguageTraditional, "wizard-0-traditional.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nLCID);
        SetRegDWORD("Shell", "LCID", c.nLCID);
        CChildProcess& run = Start("noocx");
        m_hSheet = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (m_hSheet = WizardOf(run)) != nullptr; }, kWaitMs));
        const std::wstring strTitle =
            Wide(GetMessage(IDS_DIALOG_WIZARD_TITLE, "", "", "", c.nLanguage),
                 c.nCodePage);
        EXPECT_TRUE(WaitFor([&] { return TitleOf(m_hSheet) == strTitle; }, kWaitMs));
        std::vector<std::string> arrLines;
        SplitLines(arrLines, GetMessage(IDS_DIALOG_WIZARD_WELCOME_INFO, "", "", "", c.nLanguage));
        EXPECT_EQ(TextOf(PageItem(IDC_WIZ_TEXT)).find(Wide(arrLines.at(0), c.nCodePage)), 0u);
        Screenshot(m_hSheet, c.pszScreenshot);
        Press(PSBTN_CANCEL);
        const HWND hBox = WaitForBoxAfterWizard(run);
        ASSERT_NE(hBox, nullptr);
        PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Ended(run));
    }
}

} // namespace
