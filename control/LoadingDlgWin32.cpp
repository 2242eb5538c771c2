#include "LoadingDlg.h"

#include "CharsetFont.h"
#include "ControlResource.h"
#include "InterfaceLanguage.h"
#include "LoadingProgress.h"
#include "MessageCatalogue.h"

#include <commctrl.h>

#include <memory>
#include <utility>

namespace {

// A loading that takes longer than this shows its window: a real decipher
// of a user's changed libraries does, a start-up from the cache does not.
constexpr DWORD kShowDelayMs = 300;

CLoadingDlg* g_pCurrentLoading = nullptr;

// The window of one loading, made at the first report after the delay.
class CDeferredLoadingWindow final : public CLoadingReport {
public:
    CDeferredLoadingWindow(const std::string& strText, HWND hParent)
        : m_strText(strText), m_hParent(hParent), m_nStart(::GetTickCount())
    {
    }

    void Report(ELoadingCommand command, LPARAM lValue) override
    {
        if (command == kLoadingSetTotal)
            m_nTotal = lValue;
        else if (command == kLoadingSetDone)
            m_nDone = lValue;
        if (command != kLoadingFinish && !m_bTried && ::GetTickCount() - m_nStart >= kShowDelayMs)
            Open();
        if (m_pDlg && m_pDlg->IsOpen())
            ::SendMessageA(m_pDlg->GetHwnd(), WM_LOADING_PROGRESS, command, lValue);
    }

    void Close()
    {
        if (m_pDlg && m_pDlg->IsOpen())
            m_pDlg->EndDialog(m_pDlg->m_bFinished ? IDOK : IDCANCEL);
        m_pDlg.reset();
    }

private:
    void Open()
    {
        m_bTried = true;
        m_pDlg = std::make_unique<CLoadingDlg>(false, kLoadingModeWordAdjustment, m_strText);
        if (!m_pDlg->Create(m_hParent)) {
            m_pDlg.reset();  // no desktop, no resources: the loading goes on without it
            return;
        }
        const HWND hWindow = m_pDlg->GetHwnd();
        ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingSetTotal, m_nTotal);
        ::SendMessageA(hWindow, WM_LOADING_PROGRESS, kLoadingSetDone, m_nDone);
        ::ShowWindow(hWindow, SW_SHOWNORMAL);
        ::UpdateWindow(hWindow);
    }

    std::string m_strText;
    HWND m_hParent;
    DWORD m_nStart;
    LPARAM m_nTotal = 0;
    LPARAM m_nDone = 0;
    bool m_bTried = false;
    std::unique_ptr<CLoadingDlg> m_pDlg;
};

} // namespace

CLoadingDlg::CLoadingDlg(bool bLoadAllEntries, int nMode, const std::string& strText)
    : CDialog(IDD), m_nMode(nMode), m_strText(strText), m_bLoadAllEntries(bLoadAllEntries)
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
    return true;
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
        // RunLoadingWindow closes the window once the loader has returned.
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

namespace {

// A mode that loads nothing: the window with its button, until it is closed.
void RunIdleLoadingWindow(int nMode, const std::string& strText, HWND hParent)
{
    CLoadingDlg dlg(false, nMode, strText);
    if (!dlg.Create(hParent))
        return;
    ::ShowWindow(dlg.GetHwnd(), SW_SHOWNORMAL);
    while (dlg.IsOpen()) {
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
    dlg.EndDialog(IDCANCEL);
}

} // namespace

void RunLoadingWindow(bool bLoadAllEntries, int nMode, const std::string& strText, const LoadingWork& work,
                      HWND hParent)
{
    if (nMode != kLoadingModeWordAdjustment)
        return RunIdleLoadingWindow(nMode, strText, hParent);
    if (!work)
        return;
    // Modal from the start, as a modal dialog would be: the owner cannot be
    // used while its lists are rebuilt, whether or not a window shows it.
    const bool bDisableOwner = hParent && ::IsWindowEnabled(hParent);
    if (bDisableOwner)
        ::EnableWindow(hParent, FALSE);
    CDeferredLoadingWindow window(strText, hParent);
    work(window, bLoadAllEntries);
    // Enabled again before the window goes, so that activation returns to the owner.
    if (bDisableOwner)
        ::EnableWindow(hParent, TRUE);
    window.Close();
}
