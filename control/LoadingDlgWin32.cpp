#include "LoadingDlg.h"

#include "CharsetFont.h"
#include "ControlResource.h"
#include "InterfaceLanguage.h"
#include "LoadingProgress.h"
#include "MessageCatalogue.h"

#include <commctrl.h>

#include <utility>

namespace {

constexpr UINT_PTR kStartTimer = 0;
// The window stays off the screen unless loading takes longer than this: a
// host that starts, converts a line and ends (a script, a command) never
// sees it flash, a real decipher of a user's changed libraries shows it.
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT kShowDelayMs = 300;
// Posted at the end of the opening: the first tick comes at once, yet only
// once the window is complete and its loop runs.
constexpr UINT WM_LOADING_START = WM_USER + 1124;

CLoadingDlg* g_pCurrentLoading = nullptr;

} // namespace

CLoadingDlg::CLoadingDlg(bool bLoadAllEntries, int nMode, const std::string& strText, LoadingWork work)
    : CDialog(IDD), m_nMode(nMode), m_strText(strText), m_bLoadAllEntries(bLoadAllEntries), m_work(std::move(work))
{
}

CLoadingDlg::~CLoadingDlg()
{
    if (g_pCurrentLoading == this)
        g_pCurrentLoading = nullptr;
}

CLoadingDlg* CLoadingDlg::Current()
{
    return g_pCurrentLoading;
}

bool CLoadingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const BYTE charset = static_cast<BYTE>(CurrentInterfaceCharset());
    const UINT nCodePage = CharsetCodePage(charset);
    ApplyCharsetFont(charset);
    SetItemText(IDC_LOADING_TEXT, m_strText, nCodePage);
    SetTitle(GetMessage(IDS_PXT_PRODUCT), nCodePage);

    if (m_toolTip.Create(GetHwnd()))
        m_toolTip.SetFont(GetCharsetFont());

    g_pCurrentLoading = this;
    m_hPercent = GetItem(IDC_LOADING_PERCENT);
    ShowItem(IDC_LOADING_BUTTON, m_nMode < kLoadingModeWordAdjustment);
    SetTimer(kShowTimer, kShowDelayMs);
    ::PostMessageA(GetHwnd(), WM_LOADING_START, 0, 0);
    return true;
}

void CLoadingDlg::OnTimer(UINT_PTR nIdEvent)
{
    if (nIdEvent == kShowTimer) {
        KillTimer(kShowTimer);
        if (!m_bFinished)
            ::ShowWindow(GetHwnd(), SW_SHOWNORMAL);
        return;
    }
    if (nIdEvent != kStartTimer)
        return CDialog::OnTimer(nIdEvent);
    // The loading runs once, however long it takes.
    KillTimer(kStartTimer);
    if (m_bStarted)
        return;
    m_bStarted = true;
    if (m_nMode == kLoadingModeWordAdjustment && m_work)
        m_work(GetHwnd(), m_bLoadAllEntries);
    CDialog::OnTimer(nIdEvent);
}

void CLoadingDlg::OnDestroy()
{
    if (g_pCurrentLoading == this)
        g_pCurrentLoading = nullptr;
    m_toolTip.Destroy();
    CDialog::OnDestroy();
}

bool CLoadingDlg::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg == WM_LOADING_START) {
        OnTimer(kStartTimer);
        lResult = 0;
        return true;
    }
    if (uMsg != WM_LOADING_PROGRESS)
        return CDialog::OnMessage(uMsg, wParam, lParam, lResult);
    OnProgress(wParam, lParam);
    lResult = 0;
    return true;
}

void CLoadingDlg::OnProgress(WPARAM wParam, LPARAM lParam)
{
    const HWND hBar = GetItem(IDC_LOADING_PROGRESS);
    switch (wParam) {
    case kLoadingSetTotal:
        ::SendMessageA(hBar, PBM_SETRANGE32, 0, kLoadingBarRange);
        m_nTotal = static_cast<int>(lParam);
        break;
    case kLoadingSetDone: {
        const CLoadingProgress progress = LoadingProgressOf(m_nTotal, static_cast<int>(lParam));
        ::SendMessageA(hBar, PBM_SETPOS, progress.m_nPosition, 0);
        ::SetWindowTextA(m_hPercent, progress.m_strPercent.c_str());
        break;
    }
    case kLoadingFinish:
        // The loop of RunLoadingWindow closes the window once the tick that
        // runs the loader has returned.
        m_bFinished = true;
        break;
    default:
        break;
    }
}

bool CLoadingDlg::PreTranslateMessage(MSG& msg)
{
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
        m_toolTip.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
}

HWND LoadingWindowOwner()
{
    // A control has no window of its own to hang the loading window on
    // before it is sited, and a host may call it from any of its windows:
    // the active one is what the user is looking at and must not use while
    // the lists are rebuilt.
    return ::GetActiveWindow();
}

void RunLoadingWindow(bool bLoadAllEntries, int nMode, const std::string& strText, const LoadingWork& work,
                      HWND hParent)
{
    // A modal dialog of the dialog manager always shows itself; this one is
    // made hidden (its template has no WS_VISIBLE) and runs a modal loop of
    // its own: the owner is disabled as under a modal dialog, and the window
    // comes on screen only when loading is slow.
    CLoadingDlg dlg(bLoadAllEntries, nMode, strText, work);
    if (!dlg.Create(hParent)) {
        // No window could be made (no desktop, no resources): load all the
        // same, without progress, rather than leave the control without its
        // libraries.
        if (nMode == kLoadingModeWordAdjustment && work)
            work(nullptr, bLoadAllEntries);
        return;
    }
    const bool bDisableOwner = hParent && ::IsWindowEnabled(hParent);
    if (bDisableOwner)
        ::EnableWindow(hParent, FALSE);
    while (dlg.IsOpen() && !dlg.m_bFinished) {
        MSG msg;
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The host is ending: leave its quit message for its own loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (!CDialog::RouteDialogMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    // Enabled again before the window goes, so that activation returns to the owner.
    if (bDisableOwner)
        ::EnableWindow(hParent, TRUE);
    const bool bStarted = dlg.m_bStarted;
    dlg.EndDialog(dlg.m_bFinished ? IDOK : IDCANCEL);
    if (!bStarted && nMode == kLoadingModeWordAdjustment && work)
        work(nullptr, bLoadAllEntries);
}
