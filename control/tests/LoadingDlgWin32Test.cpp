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

} // namespace

TEST(LoadingWindow, ShowsProgressAndClosesWhenTheLoaderAsks)
{
    CFixedLanguage english(1033);
    std::vector<CSeen> seen;
    std::string strTitle, strLine;
    bool bButtonShown = true, bWasCurrent = false, bOnScreen = true;
    int nRangeHigh = 0;
    RunLoadingWindow(false, kLoadingModeWordAdjustment, "Loading code transfer engine",
                     [&](HWND hWindow, bool bLoadAll) {
                         bOnScreen = ::IsWindowVisible(hWindow) != FALSE;
                         EXPECT_FALSE(bLoadAll);
                         bWasCurrent = CLoadingDlg::Current() && CLoadingDlg::Current()->GetHwnd() == hWindow;
                         strTitle = TextOf(hWindow);
                         strLine = TextOf(::GetDlgItem(hWindow, IDC_LOADING_TEXT));
                         bButtonShown = HasVisibleStyle(::GetDlgItem(hWindow, IDC_LOADING_BUTTON));
                         ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingSetTotal, 122);
                         nRangeHigh = static_cast<int>(
                             ::SendMessageA(::GetDlgItem(hWindow, IDC_LOADING_PROGRESS), PBM_GETRANGE, FALSE, 0));
                         for (const int nDone : {61, 122, 123}) {
                             ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingSetDone, nDone);
                             seen.push_back(Look(hWindow));
                         }
                         ::SendMessageA(hWindow, WM_LOADING_PROGRESS, 7, 0);  // not a command: nothing
                         ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingFinish, 0);
                     });
    EXPECT_TRUE(bWasCurrent);
    EXPECT_EQ(CLoadingDlg::Current(), nullptr);
    EXPECT_FALSE(bOnScreen);  // a quick loading never shows the window
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
    RunLoadingWindow(false, 1, "Edit Area Transfer (GBK->Big5)", [&](HWND, bool) { bRan = true; });
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
    RunLoadingWindow(false, kLoadingModeWordAdjustment, strText, [&](HWND hWindow, bool) {
        const HWND hLine = ::GetDlgItem(hWindow, IDC_LOADING_TEXT);
        strLine = TextOf(hLine, 936);
        arrAnsiWindows = AnsiWindowsIn(hWindow);
        LOGFONTA font = {};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hLine, WM_GETFONT, 0, 0)), sizeof font, &font);
        nCharset = font.lfCharSet;
        ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingSetTotal, 10);
        ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingSetDone, 3);
        std::vector<BYTE> pixels;
        int cx = 0, cy = 0;
        ::ShowWindow(hWindow, SW_SHOWNORMAL);
        ::RedrawWindow(hWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SaveWindowBitmap(hWindow, ArtefactFolder() + "\\loading-window-chinese.bmp", pixels, cx, cy);
        ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingFinish, 0);
    });
    EXPECT_EQ(strLine, strText);
    EXPECT_EQ(arrAnsiWindows, std::vector<std::string>());
    EXPECT_EQ(nCharset, GB2312_CHARSET);
}

// A slow loading (waiting messages let through between libraries, as the
// loader does) brings the window on screen; its owner cannot be used
// meanwhile and can again afterwards.
TEST(LoadingWindow, ComesOnScreenWhenLoadingIsSlow)
{
    CFixedLanguage english(1033);
    const HWND hOwner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                          nullptr, nullptr, nullptr);
    ASSERT_NE(hOwner, nullptr);
    bool bAtOnce = true, bLater = false, bOwnerEnabled = true;
    RunLoadingWindow(false, kLoadingModeWordAdjustment, "Loading code transfer engine",
                     [&](HWND hWindow, bool) {
                         bAtOnce = ::IsWindowVisible(hWindow) != FALSE;
                         bOwnerEnabled = ::IsWindowEnabled(hOwner) != FALSE;
                         ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingSetTotal, 10);
                         const DWORD nStart = ::GetTickCount();
                         while (!::IsWindowVisible(hWindow) && ::GetTickCount() - nStart < 5000) {
                             PlatformMessagePump()->PumpWaitingMessages();
                             ::Sleep(20);
                         }
                         bLater = ::IsWindowVisible(hWindow) != FALSE;
                         ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingSetDone, 5);
                         std::vector<BYTE> pixels;
                         int cx = 0, cy = 0;
                         ::RedrawWindow(hWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                         SaveWindowBitmap(hWindow, ArtefactFolder() + "\\loading-window.bmp", pixels, cx, cy);
                         ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingFinish, 0);
                     },
                     hOwner);
    EXPECT_FALSE(bAtOnce);
    EXPECT_TRUE(bLater);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(hOwner));
    EXPECT_EQ(CLoadingDlg::Current(), nullptr);
    ::DestroyWindow(hOwner);
}
