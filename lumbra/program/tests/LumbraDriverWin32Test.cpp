// lumbra.exe worked from outside as KIVO's control panel and a user would:
// started on a scratch copy of the stand-in installation, its main window
// found by class, command 32890 posted to it, the dialog's list and switch
// worked by window messages, and the catalogues read back from disk.
#include "ChildProcess.h"
#include "LumbraResource.h"
#include "LumbraTestSupport.h"
#include "ScreenCapture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using lumbratest::WindowsPath;

std::string WindowText(HWND hWnd)
{
    char szText[512] = {};
    GetWindowTextA(hWnd, szText, sizeof szText);
    return szText;
}

class CLumbraProcess {
public:
    bool Start(const std::string& strArgument)
    {
        return m_process.Start(WindowsPath(KIVO_LUMBRA_EXE), "\"" + strArgument + "\"");
    }

    HWND WaitForWindow(const char* pszClass, DWORD nTimeoutMs) const
    {
        HWND hFound = nullptr;
        WaitFor([&] {
            const std::vector<HWND> arrWindows = VisibleWindowsOf(m_process.GetId(), pszClass);
            hFound = arrWindows.empty() ? nullptr : arrWindows.front();
            return hFound != nullptr;
        }, nTimeoutMs);
        return hFound;
    }

    DWORD GetId() const { return m_process.GetId(); }

    // The exit code once the process ended, or STILL_ACTIVE after the time-out.
    DWORD WaitForExit(DWORD nTimeoutMs) const
    {
        DWORD nCode = STILL_ACTIVE;
        return m_process.WaitForExit(nTimeoutMs, nCode) ? nCode : STILL_ACTIVE;
    }

private:
    CChildProcess m_process;
};

// Asked for in UTF-16: Wine hands another process's ANSI list text back cut short.
std::string ListEntry(HWND hList, int nIndex)
{
    wchar_t szText[512] = {};
    SendMessageW(hList, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(szText));
    char szNarrow[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, szText, -1, szNarrow, sizeof szNarrow, nullptr, nullptr);
    return szNarrow;
}

const std::string kComputing = "[CUSLIB_G2B2]\r\nPath = %%CTWA_FOLDER%%\\custbig\\computing.txt\r\nApply = ";

}  // namespace

class LumbraProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = m_scratch / "Lumbra";
        ASSERT_TRUE(lumbratest::CopyTree(lumbratest::LumbraData(), m_strRoot));
        m_strG2B = CScratchFolder::ReadBytes(m_strRoot + "\\config\\wag2b.ini");
        m_strB2G = CScratchFolder::ReadBytes(m_strRoot + "\\config\\wab2g.ini");
        ASSERT_NE(m_strG2B.find(kComputing + "false"), std::string::npos);
        ASSERT_TRUE(m_lumbra.Start(m_strRoot));
        m_hMain = m_lumbra.WaitForWindow("Perdix_Lumbra", 60000);
        ASSERT_NE(m_hMain, nullptr) << "no Perdix_Lumbra window";
    }

    void TearDown() override
    {
        if (m_hMain && IsWindow(m_hMain))
            PostMessageA(m_hMain, WM_CLOSE, 0, 0);
        EXPECT_EQ(m_lumbra.WaitForExit(20000), 0u);
    }

    // Posts the control panel's command and returns the dialog it opens.
    HWND OpenDialog()
    {
        PostMessageA(m_hMain, WM_COMMAND, IDM_WORD_ADJUSTMENT, 0);
        HWND hDialog = m_lumbra.WaitForWindow("#32770", 20000);
        EXPECT_NE(hDialog, nullptr) << "command 32890 opened no dialog";
        if (hDialog) {
            EXPECT_EQ(WindowText(hDialog), "Word Adjustment");
        }
        return hDialog;
    }

    // Selects entry `nIndex` of the G2B list as a click would and presses Apply.
    static void SwitchG2B(HWND hDialog, int nIndex)
    {
        HWND hList = GetDlgItem(hDialog, IDC_G2B_LIST);
        SendMessageA(hList, LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
        SendMessageA(hDialog, WM_COMMAND, MAKEWPARAM(IDC_G2B_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
        SendMessageA(GetDlgItem(hDialog, IDC_G2B_APPLY), BM_CLICK, 0, 0);
    }

    void Close(HWND hDialog, int nButton)
    {
        PostMessageA(hDialog, WM_COMMAND, static_cast<WPARAM>(nButton), 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(hDialog); }, 20000)) << "the dialog stayed open";
    }

    std::string Catalogue(const char* pszName) const
    {
        return CScratchFolder::ReadBytes(m_strRoot + "\\config\\" + pszName);
    }

    CScratchFolder m_scratch;
    std::string m_strRoot, m_strG2B, m_strB2G;
    CLumbraProcess m_lumbra;
    HWND m_hMain = nullptr;
};

TEST_F(LumbraProgram, TheDialogListsTheLibrariesInTheOrderTheyApply)
{
    HWND hDialog = OpenDialog();
    ASSERT_NE(hDialog, nullptr);
    HWND hList = GetDlgItem(hDialog, IDC_G2B_LIST);
    const std::vector<std::string> arrExpected = {
        "[x] Base (always applied)", "[x] PDAF", "[x] PDAF2", "[x] Library: ctwa\\custbig\\places.txt",
        "[ ] Library: ctwa\\custbig\\computing.txt", "[x] FinalFix", "[x] FinalFix2", "[x] FinalFix3",
        "[x] Final fix: ctwa\\cfbig\\finalfix.txt"};
    ASSERT_EQ(SendMessageA(hList, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(arrExpected.size()));
    for (std::size_t i = 0; i < arrExpected.size(); ++i)
        EXPECT_EQ(ListEntry(hList, static_cast<int>(i)), arrExpected[i]) << i;
    EXPECT_EQ(SendMessageA(GetDlgItem(hDialog, IDC_B2G_LIST), LB_GETCOUNT, 0, 0), 9);
    // The control panel posts the command again while the dialog is open: still one dialog.
    PostMessageA(m_hMain, WM_COMMAND, IDM_WORD_ADJUSTMENT, 0);
    SendMessageA(m_hMain, WM_NULL, 0, 0);
    EXPECT_EQ(VisibleWindowsOf(m_lumbra.GetId(), "#32770").size(), 1u);
    Close(hDialog, IDCANCEL);
}

TEST_F(LumbraProgram, CancelWritesNothingAndOkWritesTheSwitchedLibrary)
{
    HWND hDialog = OpenDialog();
    ASSERT_NE(hDialog, nullptr);
    SwitchG2B(hDialog, 4);
    EXPECT_EQ(ListEntry(GetDlgItem(hDialog, IDC_G2B_LIST), 4), "[x] Library: ctwa\\custbig\\computing.txt");
    Close(hDialog, IDCANCEL);
    EXPECT_EQ(Catalogue("wag2b.ini"), m_strG2B);

    hDialog = OpenDialog();
    ASSERT_NE(hDialog, nullptr);
    SwitchG2B(hDialog, 4);  // the computing terms on
    SwitchG2B(hDialog, 1);  // PDAF off
    EXPECT_EQ(SendMessageA(GetDlgItem(hDialog, IDC_G2B_APPLY), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    std::vector<BYTE> pixels;
    int cx = 0, cy = 0;
    EXPECT_TRUE(dialogtest::SaveWindowBitmap(hDialog, dialogtest::ArtefactFolder() + "\\lumbra-word-adjustment.bmp",
                                             pixels, cx, cy));
    Close(hDialog, IDOK);

    std::string strExpected = m_strG2B;
    strExpected.replace(strExpected.find(kComputing + "false"), kComputing.size() + 5, kComputing + "true");
    const std::string strPdaf = "[PDAF_G2B]\r\nApply = true";
    strExpected.replace(strExpected.find(strPdaf), strPdaf.size(), "[PDAF_G2B]\r\nApply = false");
    EXPECT_EQ(Catalogue("wag2b.ini"), strExpected);
    EXPECT_EQ(Catalogue("wab2g.ini"), m_strB2G);
    // Nothing but the two catalogues in the folder: no temporary file left.
    EXPECT_EQ(lumbratest::EntryCount(m_strRoot + "\\config"), 2);
}

TEST(LumbraProgramStart, AFolderThatIsNoInstallationIsRefusedWithAMessage)
{
    CScratchFolder scratch;
    CLumbraProcess lumbra;
    ASSERT_TRUE(lumbra.Start(scratch / "nowhere"));
    HWND hBox = lumbra.WaitForWindow("#32770", 60000);
    ASSERT_NE(hBox, nullptr) << "no message";
    EXPECT_TRUE(VisibleWindowsOf(lumbra.GetId(), "Perdix_Lumbra").empty());
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(lumbra.WaitForExit(20000), 2u);
}
