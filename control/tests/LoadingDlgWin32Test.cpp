// The loading window run for real: the work it is given reports progress the
// way the library loader does, and the test looks at the window meanwhile.
#include "LoadingDlg.h"

#include "ControlResource.h"
#include "FixedLanguage.h"
#include "MessagePump.h"
#include "ScreenCapture.h"
#include "UnicodeWindows.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dialogtest;

namespace {

std::string TextOf(HWND hWnd, UINT nCodePage = 1252)
{
    wchar_t wide[512] = {};
    const int n = ::GetWindowTextW(hWnd, wide, 512);
    char narrow[1024] = {};
    ::WideCharToMultiByte(nCodePage, 0, wide, n, narrow, sizeof narrow - 1, nullptr, nullptr);
    return narrow;
}

struct CSeen {
    int m_nPosition = -1;
    std::string m_strPercent;
};

CSeen Look(HWND hWindow)
{
    CSeen seen;
    seen.m_nPosition = static_cast<int>(::SendMessageA(::GetDlgItem(hWindow, IDC_LOADING_PROGRESS), PBM_GETPOS, 0, 0));
    seen.m_strPercent = TextOf(::GetDlgItem(hWindow, IDC_LOADING_PERCENT));
    return seen;
}

// The button's own flag: the window around it may be off the screen.
bool HasVisibleStyle(HWND hWnd)
{
    return (::GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool* s_pbButtonShown = nullptr;

void CALLBACK CloseCurrentLoadingWindow(HWND, UINT, UINT_PTR, DWORD)
{
    CLoadingDlg* pDlg = CLoadingDlg::Current();
    if (!pDlg)
        return;
    *s_pbButtonShown = HasVisibleStyle(pDlg->GetItem(IDC_LOADING_BUTTON));
    pDlg->EndDialog(IDCANCEL);
}

// Lets the host's messages run for `nMs`, as a loader between libraries does.
void WorkFor(DWORD nMs)
{
    const DWORD nStart = ::GetTickCount();
    while (::GetTickCount() - nStart < nMs) {
        PlatformMessagePump()->PumpWaitingMessages();
        ::Sleep(10);
    }
}

BOOL CALLBACK CountDialog(HWND hWnd, LPARAM lParam)
{
    char szClass[16] = {};
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    *reinterpret_cast<int*>(lParam) += std::string(szClass) == "#32770" ? 1 : 0;
    return TRUE;
}

// The dialogs of this thread, shown or not.
int DialogWindowCount()
{
    int nCount = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountDialog, reinterpret_cast<LPARAM>(&nCount));
    return nCount;
}

struct COwner {
    COwner()
        : m_hWnd(::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                   nullptr, nullptr))
    {
    }
    ~COwner() { ::DestroyWindow(m_hWnd); }
    HWND m_hWnd;
};

} // namespace

// A host that starts, converts a line and ends pays for no window at all,
// yet cannot use its own window while the lists are built.
TEST(LoadingWindow, AQuickLoadingMakesNoWindow)
{
    CFixedLanguage english(1033);
    COwner owner;
    ASSERT_NE(owner.m_hWnd, nullptr);
    bool bLoadAll = true, bOwnerEnabled = true;
    CLoadingDlg* pSeen = reinterpret_cast<CLoadingDlg*>(1);
    int nDialogs = -1;
    RunLoadingWindow(false, kLoadingModeWordAdjustment, "Loading code transfer engine",
                     [&](CLoadingReport& report, bool bAll) {
                         bLoadAll = bAll;
                         bOwnerEnabled = ::IsWindowEnabled(owner.m_hWnd) != FALSE;
                         report.Report(kLoadingSetTotal, 122);
                         WorkFor(100);
                         report.Report(kLoadingSetDone, 61);
                         report.Report(kLoadingSetDone, 122);
                         pSeen = CLoadingDlg::Current();
                         nDialogs = DialogWindowCount();
                         report.Report(kLoadingFinish, 0);
                     },
                     owner.m_hWnd);
    EXPECT_FALSE(bLoadAll);
    EXPECT_EQ(pSeen, nullptr);
    EXPECT_EQ(nDialogs, 0);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

// A slow loading (waiting messages let through between libraries, as the
// loader does) brings the window on screen at its next report, with the
// progress so far; its owner cannot be used meanwhile and can again afterwards.
TEST(LoadingWindow, ASlowLoadingShowsItsProgressAndClosesWhenTheLoaderAsks)
{
    CFixedLanguage english(1033);
    COwner owner;
    ASSERT_NE(owner.m_hWnd, nullptr);
    std::vector<CSeen> seen;
    std::string strTitle, strLine;
    bool bBefore = true, bOnScreen = false, bButtonShown = true, bOwnerEnabled = true;
    HWND hOwnerSeen = nullptr;
    int nRangeHigh = 0;
    RunLoadingWindow(false, kLoadingModeWordAdjustment, "Loading code transfer engine",
                     [&](CLoadingReport& report, bool) {
                         report.Report(kLoadingSetTotal, 122);
                         report.Report(kLoadingSetDone, 30);
                         bBefore = CLoadingDlg::Current() != nullptr;
                         WorkFor(350);
                         report.Report(kLoadingSetDone, 61);
                         CLoadingDlg* pDlg = CLoadingDlg::Current();
                         if (!pDlg)
                             return;
                         const HWND hWindow = pDlg->GetHwnd();
                         bOnScreen = ::IsWindowVisible(hWindow) != FALSE;
                         bOwnerEnabled = ::IsWindowEnabled(owner.m_hWnd) != FALSE;
                         hOwnerSeen = ::GetWindow(hWindow, GW_OWNER);
                         strTitle = TextOf(hWindow);
                         strLine = TextOf(::GetDlgItem(hWindow, IDC_LOADING_TEXT));
                         bButtonShown = HasVisibleStyle(::GetDlgItem(hWindow, IDC_LOADING_BUTTON));
                         nRangeHigh = static_cast<int>(
                             ::SendMessageA(::GetDlgItem(hWindow, IDC_LOADING_PROGRESS), PBM_GETRANGE, FALSE, 0));
                         seen.push_back(Look(hWindow));
                         for (const int nDone : {122, 123}) {
                             report.Report(kLoadingSetDone, nDone);
                             seen.push_back(Look(hWindow));
                         }
                         report.Report(static_cast<ELoadingCommand>(7), 0);  // not a command: nothing
                         std::vector<BYTE> pixels;
                         int cx = 0, cy = 0;
                         ::RedrawWindow(hWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                         SaveWindowBitmap(hWindow, ArtefactFolder() + "\\loading-window.bmp", pixels, cx, cy);
                         report.Report(kLoadingFinish, 0);
                     },
                     owner.m_hWnd);
    EXPECT_FALSE(bBefore);
    EXPECT_TRUE(bOnScreen);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_EQ(hOwnerSeen, owner.m_hWnd);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(CLoadingDlg::Current(), nullptr);
    EXPECT_EQ(DialogWindowCount(), 0);
    EXPECT_EQ(strTitle, "KIVO");
    EXPECT_EQ(strLine, "Loading code transfer engine");
    EXPECT_FALSE(bButtonShown);
    EXPECT_EQ(nRangeHigh, 1000);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].m_nPosition, 500);
    EXPECT_EQ(seen[0].m_strPercent, "50%");
    EXPECT_EQ(seen[1].m_nPosition, 1000);
    EXPECT_EQ(seen[2].m_strPercent, "100%");
}

TEST(LoadingWindow, OtherModesLoadNothingAndShowTheButton)
{
    CFixedLanguage english(1033);
    bool bRan = false, bButtonShown = false;
    // Closes the window from outside, as nothing inside will.
    s_pbButtonShown = &bButtonShown;
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 200, &CloseCurrentLoadingWindow);
    RunLoadingWindow(false, 1, "Edit Area Transfer (GBK->Big5)", [&](CLoadingReport&, bool) { bRan = true; });
    ::KillTimer(nullptr, nTimer);
    EXPECT_FALSE(bRan);
    EXPECT_TRUE(bButtonShown);
}

TEST(LoadingWindow, ChineseTextInTheLanguageFont)
{
    CFixedLanguage simplified(2052);
    std::string strLine;
    std::vector<std::string> arrAnsiWindows = {"(not looked at)"};
    BYTE nCharset = 0;
    // 正在加载内码转换引擎
    const std::string strText = "\xD5\xFD\xD4\xDA\xBC\xD3\xD4\xD8\xC4\xDA\xC2\xEB\xD7\xAA\xBB\xBB\xD2\xFD\xC7\xE6";
    RunLoadingWindow(false, kLoadingModeWordAdjustment, strText, [&](CLoadingReport& report, bool) {
        report.Report(kLoadingSetTotal, 10);
        WorkFor(350);
        report.Report(kLoadingSetDone, 3);
        if (!CLoadingDlg::Current())
            return;
        const HWND hWindow = CLoadingDlg::Current()->GetHwnd();
        const HWND hLine = ::GetDlgItem(hWindow, IDC_LOADING_TEXT);
        strLine = TextOf(hLine, 936);
        arrAnsiWindows = AnsiWindowsIn(hWindow);
        LOGFONTA font = {};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hLine, WM_GETFONT, 0, 0)), sizeof font, &font);
        nCharset = font.lfCharSet;
        std::vector<BYTE> pixels;
        int cx = 0, cy = 0;
        ::RedrawWindow(hWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SaveWindowBitmap(hWindow, ArtefactFolder() + "\\loading-window-chinese.bmp", pixels, cx, cy);
        report.Report(kLoadingFinish, 0);
    });
    EXPECT_EQ(strLine, strText);
    EXPECT_EQ(arrAnsiWindows, std::vector<std::string>());
    EXPECT_EQ(nCharset, GB2312_CHARSET);
}
