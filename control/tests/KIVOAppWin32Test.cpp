// The control's start-up against the stand-in Lumbra installation: the
// registry, the integration check, the Mini Control Panel and reloading.
#include "KIVOApp.h"

#include "ControlResource.h"
#include "GuiScript.h"
#include "LoadingDlg.h"
#include "LumbraTestSupport.h"
#include "MessageBox.h"
#include "Registry.h"
#include "ScreenCapture.h"
#include "TextTransfer.h"
#include "UnicodeWindows.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

using namespace lumbratest;

namespace {

// The application object with its messages recorded instead of shown, and,
// when asked, the Mini Control Panel answered without a window.
class CTestApp : public CKIVOApp {
public:
    std::vector<std::string> m_arrMessages;
    int m_nPanels = 0;
    INT_PTR m_nPanelAnswer = -2;  // -2: show the real panel
    std::function<void()> m_whilePanelShows;  // runs once, as a message reaching the host would

protected:
    void ShowMessage(const std::string& strText) override { m_arrMessages.push_back(strText); }
    INT_PTR RunMiniControlPanel() override
    {
        ++m_nPanels;
        if (m_whilePanelShows)
            std::exchange(m_whilePanelShows, nullptr)();
        return m_nPanelAnswer == -2 ? CKIVOApp::RunMiniControlPanel() : m_nPanelAnswer;
    }
};

class CStartUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyTree(LumbraData(), m_strLumbra));
        SetRegistryRoot(HKEY_LOCAL_MACHINE, kControlRegistryRoot);
        SetRegDWORD("Shell", "LCID", 1033);
        m_app.SetMainPath(m_scratch / "main");
        m_strSavedRoot = GetRegString(kRegPath, kRegLumbraRoot, kAbsent);
    }
    void TearDown() override
    {
        SetRegDWORD("Shell", "LCID", 1033);
        // The prefix's own Lumbra, which its programs go on using: without
        // it the next control to start waits on the Mini Control Panel.
        if (m_strSavedRoot != kAbsent)
            SetLumbraRegistry(m_strSavedRoot);
    }

    void SetLumbraRegistry(const std::string& strFolder) { SetRegString(kRegPath, kRegLumbraRoot, strFolder); }

    static constexpr const char* kAbsent = "\x01(absent)";
    CScratchFolder m_scratch;
    std::string m_strLumbra = m_scratch / "Lumbra";
    std::string m_strSavedRoot;
    CTestApp m_app;
};

} // namespace

TEST_F(CStartUpTest, ALumbraFolderThatPassesTheCheckLoadsTheLibraries)
{
    SetLumbraRegistry(m_strLumbra);
    ASSERT_TRUE(m_app.InitInstance());
    EXPECT_TRUE(m_app.m_arrMessages.empty());
    EXPECT_EQ(m_app.m_nPanels, 0);
    EXPECT_EQ(m_app.m_strWAFolder, m_strLumbra + "\\ctwa");
    EXPECT_EQ(m_app.m_arrWAFiles.size(), 12u);
    EXPECT_EQ(m_app.m_strProductName, "KIVO");
    EXPECT_EQ(m_app.m_strWorkFolder, m_scratch / "main" + "\\temp");
    EXPECT_NE(::GetFileAttributesA(m_app.m_strWorkFolder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesA((m_scratch / "main" + "\\config").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(m_app.WordAdjustment().WALibrariesG2B().size(), 9u);
    EXPECT_EQ(m_app.WordAdjustment().WALibrariesB2G().size(), 9u);
    EXPECT_TRUE(m_app.InitInstance());  // once only: the answer of the first run
}

TEST_F(CStartUpTest, IncompleteDataShowsTheCheckAndFails)
{
    ::DeleteFileA((m_strLumbra + "\\ctwa\\ffgb.txt").c_str());
    SetLumbraRegistry(m_strLumbra + "\\ ");  // trimmed; the trailing "\" is kept as given
    EXPECT_FALSE(m_app.InitInstance());
    ASSERT_EQ(m_app.m_arrMessages.size(), 1u);
    EXPECT_EQ(m_app.m_arrMessages[0].substr(0, 29), "Integration Check Failed!\r\n\r\n");
    EXPECT_NE(m_app.m_arrMessages[0].find("ffgb.txt\" (Final Fix Lib (Big5->GBK)) not found!"), std::string::npos);
    EXPECT_FALSE(m_app.InitInstance());
    EXPECT_EQ(m_app.m_arrMessages.size(), 1u);
}

TEST_F(CStartUpTest, NoFolderOpensThePanelAndCancelFailsStartUp)
{
    // A value naming a file counts as no folder.
    WriteFile(m_scratch / "a-file", "x");
    SetLumbraRegistry(m_scratch / "a-file");
    m_app.m_nPanelAnswer = IDCANCEL;
    EXPECT_FALSE(m_app.InitInstance());
    EXPECT_EQ(m_app.m_nPanels, 1);
    EXPECT_TRUE(m_app.m_arrMessages.empty());
}

TEST_F(CStartUpTest, ReloadKeepsTheOldLibrariesWhenLumbraIsGone)
{
    SetLumbraRegistry(m_strLumbra);
    ASSERT_TRUE(m_app.InitInstance());
    // A reload reads the folder the registry names now. (Comparing library
    // addresses would not tell: a rebuilt list may reuse the freed memory.)
    const std::string strMoved = m_scratch / "Lumbra2";
    ASSERT_TRUE(CopyTree(m_strLumbra, strMoved));
    SetLumbraRegistry(strMoved);
    EXPECT_EQ(m_app.ReloadWordAdjustment(), 1);
    EXPECT_EQ(m_app.m_strWAFolder, strMoved + "\\ctwa");
    EXPECT_EQ(m_app.WordAdjustment().WALibrariesG2B().front()->PairCount(), 6747u);

    SetLumbraRegistry(m_scratch / "gone");
    const WALibrary* pBase = m_app.WordAdjustment().WALibrariesG2B().front().get();
    EXPECT_EQ(m_app.ReloadWordAdjustment(), 0);
    ASSERT_EQ(m_app.m_arrMessages.size(), 1u);
    EXPECT_EQ(m_app.m_arrMessages[0].substr(0, 25), "Integration Check Failed!");
    EXPECT_EQ(m_app.WordAdjustment().WALibrariesG2B().front().get(), pBase);
    EXPECT_EQ(m_app.WordAdjustment().WALibrariesG2B().front()->PairCount(), 6747u);
}

// The real panel: a folder that fails keeps it open with the registry as it
// was; a good one is stored, and start-up goes on to load the libraries.
TEST_F(CStartUpTest, MiniControlPanelTakesOnlyAFolderThatPassesTheCheck)
{
    SetLumbraRegistry("");
    bool bOkAtFirst = true, bBoxSeen = false, bStillOpen = false, bOkWithText = false;
    std::string strTitle, strAfterBad, strMainShown;
    bool bMainButtonEnabled = true;
    CGuiScript script({
        [&](HWND hPanel) {
            char szTitle[128] = {};
            ::GetWindowTextA(hPanel, szTitle, sizeof szTitle);
            strTitle = szTitle;
            bOkAtFirst = ::IsWindowEnabled(::GetDlgItem(hPanel, IDOK)) != FALSE;
            bMainButtonEnabled = ::IsWindowEnabled(::GetDlgItem(hPanel, IDC_MCP_MAIN_LOCATE)) != FALSE;
            char szMain[MAX_PATH] = {};
            ::GetWindowTextA(::GetDlgItem(hPanel, IDC_MCP_MAIN_FOLDER), szMain, sizeof szMain);
            strMainShown = szMain;
            SetItem(hPanel, IDC_MCP_LUMBRA_FOLDER, m_scratch / "nothing-here");
            bOkWithText = ::IsWindowEnabled(::GetDlgItem(hPanel, IDOK)) != FALSE;
            std::vector<BYTE> pixels;
            int cx = 0, cy = 0;
            dialogtest::SaveWindowBitmap(hPanel, dialogtest::ArtefactFolder() + "\\mini-control-panel.bmp", pixels, cx, cy);
            ::PostMessageA(hPanel, WM_COMMAND, IDOK, 0);
        },
        [&](HWND hBox) {  // the check message over the panel
            bBoxSeen = ::GetDlgItem(hBox, kMessageBoxIdText) != nullptr;
            ClickItem(hBox, IDOK);
        },
        [&](HWND hPanel) {
            bStillOpen = ::GetDlgItem(hPanel, IDC_MCP_LUMBRA_FOLDER) != nullptr;
            strAfterBad = GetRegString(kRegPath, kRegLumbraRoot, "?");
            SetItem(hPanel, IDC_MCP_LUMBRA_FOLDER, "  " + m_strLumbra + "  ");
            ::PostMessageA(hPanel, WM_COMMAND, IDOK, 0);
        },
    });
    EXPECT_TRUE(m_app.InitInstance());
    EXPECT_FALSE(script.Forced());
    EXPECT_EQ(strTitle, "KIVO Mini Control Panel");
    EXPECT_FALSE(bOkAtFirst);
    EXPECT_TRUE(bOkWithText);
    EXPECT_FALSE(bMainButtonEnabled);
    EXPECT_EQ(strMainShown, m_scratch / "main");
    EXPECT_TRUE(bBoxSeen);
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(strAfterBad, "");
    EXPECT_EQ(GetRegString(kRegPath, kRegLumbraRoot, ""), m_strLumbra);
    EXPECT_EQ(m_app.m_strLumbraRoot, m_strLumbra);
    EXPECT_EQ(m_app.WordAdjustment().WALibrariesG2B().size(), 9u);
}

TEST_F(CStartUpTest, MiniControlPanelSwitchesTheLanguageAtOnce)
{
    SetLumbraRegistry("");
    std::wstring strTitleAfter;
    std::vector<std::string> arrAnsiWindows = {"(not looked at)"};
    CGuiScript script({
        [&](HWND hPanel) {
            const HWND hCombo = ::GetDlgItem(hPanel, IDC_MCP_LANGUAGE);
            ::SendMessageA(hCombo, CB_SETCURSEL, 1, 0);
            ::SendMessageA(hPanel, WM_COMMAND, MAKEWPARAM(IDC_MCP_LANGUAGE, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(hCombo));
        },
        [&](HWND hPanel) {
            wchar_t szTitle[128] = {};
            // Through the window's own procedure: an ANSI dialog would
            // answer in the system's code page, Chinese as "?".
            ::GetWindowTextW(hPanel, szTitle, 128);
            strTitleAfter = szTitle;
            arrAnsiWindows = AnsiWindowsIn(hPanel);
            std::vector<BYTE> pixels;
            int cx = 0, cy = 0;
            ::RedrawWindow(hPanel, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            dialogtest::SaveWindowBitmap(hPanel, dialogtest::ArtefactFolder() + "\\mini-control-panel-chinese.bmp", pixels, cx,
                             cy);
            ClickItem(hPanel, IDCANCEL);
        },
    });
    EXPECT_FALSE(m_app.InitInstance());
    EXPECT_EQ(m_app.m_nLCID, 2052u);
    EXPECT_EQ(GetRegDWORD("Shell", "LCID", 0), 2052u);
    EXPECT_EQ(strTitleAfter, L"KIVO \x8FF7\x4F60\x63A7\x5236\x9762\x677F");  // KIVO 迷你控制面板
    EXPECT_EQ(arrAnsiWindows, std::vector<std::string>());
}

static std::function<void()> s_reloadStep;

static void CALLBACK RunReloadStep(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_reloadStep)
        s_reloadStep();
}

// Start-up and reloads build the lists behind windows that let the host's
// messages through. A reload asked for through one of them while a reload
// runs starts nothing: each library stays in its list once. The loading is
// modal to the host that asked, as a dialog of its own would be.
TEST_F(CStartUpTest, AReloadAskedForDuringAReloadIsAnsweredAtOnce)
{
    SetLumbraRegistry(m_strLumbra);
    ASSERT_TRUE(m_app.InitInstance());

    // The host's window, active as a dialog is when its button is clicked.
    const HWND hHost = ::CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                         nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hHost, nullptr);
    ::SetForegroundWindow(hHost);
    ::SetActiveWindow(hHost);
    bool bAsked = false;
    int nNested = -1;
    // A quick loading makes no window, but the host cannot be used while it
    // runs: a timer of the host's thread finds its window disabled between
    // two libraries, where the loader lets the host's messages through.
    s_reloadStep = [&] {
        if (bAsked || ::IsWindowEnabled(hHost))
            return;
        bAsked = true;
        nNested = m_app.ReloadWordAdjustment();
    };
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 1, &RunReloadStep);
    EXPECT_EQ(m_app.ReloadWordAdjustment(), 1);
    ::KillTimer(nullptr, nTimer);
    s_reloadStep = nullptr;
    EXPECT_TRUE(bAsked);
    EXPECT_TRUE(::IsWindowEnabled(hHost));
    ::DestroyWindow(hHost);
    EXPECT_EQ(nNested, 0);

    for (const WALibraryList* pList : {&m_app.WordAdjustment().WALibrariesG2B(),
                                       &m_app.WordAdjustment().WALibrariesB2G()}) {
        std::set<std::string> paths;
        for (const auto& library : *pList)
            paths.insert(library->m_strPath);
        EXPECT_EQ(pList->size(), 9u);
        EXPECT_EQ(paths.size(), pList->size());
    }
    TransferServices services;
    services.wordAdjustment = &m_app.WordAdjustment();
    // 头发 becomes 頭髮, the word, not 頭發 character by character.
    EXPECT_EQ(TransferGbToBig5("\xCD\xB7\xB7\xA2", TransferWithAdjustment, services), "\xC0\x59\xBE\x76");
}

// A control asked for while start-up waits on the Mini Control Panel is not
// ready; it does not start the start-up, and its panel, a second time.
TEST_F(CStartUpTest, ACreationDuringStartUpFailsWithoutASecondStartUp)
{
    SetLumbraRegistry("");
    m_app.m_nPanelAnswer = IDCANCEL;
    int nNested = -1;
    m_app.m_whilePanelShows = [&] { nNested = m_app.InitInstance(); };
    EXPECT_FALSE(m_app.InitInstance());
    EXPECT_EQ(nNested, 0);
    EXPECT_EQ(m_app.m_nPanels, 1);
}
