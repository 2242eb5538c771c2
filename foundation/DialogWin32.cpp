#include "Dialog.h"

#include "CharsetFont.h"
#include "SubclassWindow.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

const char kDialogProperty[] = "KIVO.Dialog";

// The message-filter hook that gives PreTranslateMessage its messages. One
// per thread, installed while any CDialog window of the thread exists.
struct CThreadHook {
    HHOOK hHook = nullptr;
    int nDialogs = 0;
};
thread_local CThreadHook t_hook;

bool IsTopLevel(HWND hWnd)
{
    return (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) == 0;
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, HINSTANCE hResources)
    : m_nIDTemplate(nIDTemplate),
      m_hResources(hResources ? hResources : reinterpret_cast<HINSTANCE>(&__ImageBase))
{
}

CDialog::CDialog(const CDialogTemplate& dialogTemplate)
    : m_hResources(reinterpret_cast<HINSTANCE>(&__ImageBase)), m_arrTemplate(dialogTemplate.Build())
{
}

CDialog::~CDialog()
{
    if (!m_hWnd)
        return;
    // Cut the window loose first: the messages its destruction sends must not
    // reach handlers of a derived class that is already gone.
    const HWND hWnd = m_hWnd;
    const bool modal = m_bModal;
    Unbind();
    if (modal)
        ::EndDialog(hWnd, -1);
    else
        ::DestroyWindow(hWnd);
}

// ---- Running

INT_PTR CDialog::DoModal(HWND hParent)
{
    if (m_hWnd)
        return -1;
    m_bModal = true;
    m_bReachedInit = false;
    m_bEndPending = false;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    const auto* pTemplate = reinterpret_cast<LPCDLGTEMPLATEW>(m_arrTemplate.data());
    INT_PTR result;
    // Windows 95, 98 and Me have no Unicode dialogs.
    if (!HasUnicodeWindows() && m_arrTemplate.empty())
        result = ::DialogBoxParamA(m_hResources, MAKEINTRESOURCEA(m_nIDTemplate), hParent, &CDialog::DialogProc, self);
    else if (!HasUnicodeWindows())
        result = ::DialogBoxIndirectParamA(m_hResources, pTemplate, hParent, &CDialog::DialogProc, self);
    else if (m_arrTemplate.empty())
        result = ::DialogBoxParamW(m_hResources, MAKEINTRESOURCEW(m_nIDTemplate), hParent, &CDialog::DialogProc, self);
    else
        result = ::DialogBoxIndirectParamW(m_hResources, pTemplate, hParent, &CDialog::DialogProc, self);
    m_bModal = false;
    // The platform answers 0 or -1 for a dialog it could not make, and 0 may
    // also be a real result: only a dialog that got as far as WM_INITDIALOG ran.
    if (!m_bReachedInit)
        result = -1;
    m_nResult = result;
    return result;
}

bool CDialog::Create(HWND hParent)
{
    if (m_hWnd)
        return false;
    m_bModal = false;
    m_bReachedInit = false;
    m_bEndPending = false;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    const auto* pTemplate = reinterpret_cast<LPCDLGTEMPLATEW>(m_arrTemplate.data());
    HWND hWnd;
    if (!HasUnicodeWindows() && m_arrTemplate.empty())
        hWnd = ::CreateDialogParamA(m_hResources, MAKEINTRESOURCEA(m_nIDTemplate), hParent, &CDialog::DialogProc, self);
    else if (!HasUnicodeWindows())
        hWnd = ::CreateDialogIndirectParamA(m_hResources, pTemplate, hParent, &CDialog::DialogProc, self);
    else if (m_arrTemplate.empty())
        hWnd = ::CreateDialogParamW(m_hResources, MAKEINTRESOURCEW(m_nIDTemplate), hParent, &CDialog::DialogProc, self);
    else
        hWnd = ::CreateDialogIndirectParamW(m_hResources, pTemplate, hParent, &CDialog::DialogProc, self);
    if (!hWnd)
        return false;
    if (m_bEndPending && m_hWnd) {
        // Destroying the window inside WM_INITDIALOG would pull it from under
        // the dialog manager, which still works on it after the handler returns.
        m_bEndPending = false;
        ::DestroyWindow(m_hWnd);
    }
    return m_hWnd != nullptr;
}

void CDialog::EndDialog(INT_PTR nResult)
{
    if (!m_hWnd)
        return;
    m_nResult = nResult;
    if (m_bModal) {
        ::EndDialog(m_hWnd, nResult);
    } else if (m_bInitialising) {
        m_bEndPending = true;
    } else {
        ::DestroyWindow(m_hWnd);
    }
}

CDialog* CDialog::FromHandle(HWND hWnd)
{
    return hWnd ? static_cast<CDialog*>(::GetPropA(hWnd, kDialogProperty)) : nullptr;
}

bool CDialog::RouteDialogMessage(MSG& msg)
{
    // The outermost CDialog of the window's chain of parents: pages inside a
    // wizard are dialogs too, and navigation belongs to the frame.
    CDialog* target = nullptr;
    for (HWND hWnd = msg.hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CDialog* dialog = FromHandle(hWnd))
            target = dialog;
        if (IsTopLevel(hWnd))
            break;
    }
    if (!target || target->m_bModal)
        return false;
    // A character message is in the form of the call that took it from the
    // queue: the host's loop takes them with the functions of the windows' own form.
    const BOOL taken = HasUnicodeWindows() ? ::IsDialogMessageW(target->m_hWnd, &msg)
                                           : ::IsDialogMessageA(target->m_hWnd, &msg);
    return taken != FALSE;
}

bool CDialog::PreTranslateChain(MSG& msg)
{
    for (HWND hWnd = msg.hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CDialog* dialog = FromHandle(hWnd)) {
            try {
                if (dialog->PreTranslateMessage(msg))
                    return true;
            } catch (...) {
            }
        }
        // A top-level window's parent is its owner: an owner's accelerators
        // must not fire while its own message box is in front.
        if (IsTopLevel(hWnd))
            break;
    }
    return false;
}

LRESULT CALLBACK CDialog::MessageFilterProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == MSGF_DIALOGBOX && lParam) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        if (msg.hwnd && PreTranslateChain(msg))
            return TRUE;
    }
    return ::CallNextHookEx(t_hook.hHook, nCode, wParam, lParam);
}

void CDialog::Bind(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kDialogProperty, this);
    if (t_hook.nDialogs++ == 0)
        t_hook.hHook = ::SetWindowsHookExA(WH_MSGFILTER, &CDialog::MessageFilterProc, nullptr, ::GetCurrentThreadId());
}

void CDialog::Unbind()
{
    if (!m_hWnd)
        return;
    ::RemovePropA(m_hWnd, kDialogProperty);
    m_hWnd = nullptr;
    if (--t_hook.nDialogs == 0 && t_hook.hHook) {
        ::UnhookWindowsHookEx(t_hook.hHook);
        t_hook.hHook = nullptr;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog;
    if (uMsg == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        if (!dialog)
            return FALSE;
        dialog->Bind(hWnd);
        dialog->m_bReachedInit = true;
    } else {
        dialog = FromHandle(hWnd);
        // Messages before WM_INITDIALOG (WM_SETFONT) and after the object let go.
        if (!dialog)
            return FALSE;
    }

    if (uMsg == WM_NCDESTROY) {
        dialog->Unbind();
        try {
            dialog->OnFinalMessage();
        } catch (...) {
        }
        return FALSE;
    }

    if (uMsg == WM_INITDIALOG) {
        // EndDialog of a modeless dialog waits for the end of initialisation.
        dialog->m_bInitialising = true;
        INT_PTR result = FALSE;
        try {
            result = dialog->Dispatch(uMsg, wParam, lParam);
        } catch (...) {
            dialog->EndDialog(-1);
        }
        dialog->m_bInitialising = false;
        return result;
    }
    try {
        return dialog->Dispatch(uMsg, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CDialog::Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    bool handled = false;
    switch (uMsg) {
    case WM_INITDIALOG:
        // The answer to WM_INITDIALOG is the return value itself.
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        const HWND hCtl = reinterpret_cast<HWND>(lParam);
        if (CSubclassWindow* control = CSubclassWindow::FromHandle(hCtl))
            handled = control->OnReflectedMessage(uMsg, wParam, lParam, lResult);
        if (!handled)
            handled = OnCommand(LOWORD(wParam), HIWORD(wParam), hCtl);
        break;
    }
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header)
            break;
        handled = OnNotify(static_cast<int>(wParam), *header, lResult);
        if (!handled)
            if (CSubclassWindow* control = CSubclassWindow::FromHandle(header->hwndFrom))
                handled = control->OnReflectedMessage(uMsg, wParam, lParam, lResult);
        break;
    }
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!item)
            break;
        handled = OnDrawItem(static_cast<int>(wParam), *item);
        if (!handled && item->CtlType != ODT_MENU)
            if (CSubclassWindow* control = CSubclassWindow::FromHandle(item->hwndItem))
                handled = control->OnReflectedMessage(uMsg, wParam, lParam, lResult);
        if (handled)
            lResult = TRUE;
        break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        const HWND hCtl = reinterpret_cast<HWND>(lParam);
        HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), hCtl, uMsg - WM_CTLCOLORMSGBOX);
        if (!brush) {
            LRESULT reflected = 0;
            CSubclassWindow* control = hCtl != m_hWnd ? CSubclassWindow::FromHandle(hCtl) : nullptr;
            if (control && control->OnReflectedMessage(uMsg, wParam, lParam, reflected))
                brush = reinterpret_cast<HBRUSH>(reflected);
        }
        // The brush is the return value itself; FALSE asks for the default colours.
        return reinterpret_cast<INT_PTR>(brush);
    }
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        handled = true;
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    default:
        handled = OnMessage(uMsg, wParam, lParam, lResult);
        break;
    }
    if (!handled)
        return FALSE;
    if (m_hWnd)
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

// ---- Default handlers

bool CDialog::OnInitDialog() { return true; }

bool CDialog::OnCommand(int nId, int nCode, HWND)
{
    if (nCode != BN_CLICKED && nCode != 1)
        return false;
    if (nId == IDOK) {
        OnOK();
        return true;
    }
    if (nId == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }
void CDialog::OnTimer(UINT_PTR) {}
void CDialog::OnDestroy() {}
bool CDialog::OnNotify(int, NMHDR&, LRESULT&) { return false; }
HBRUSH CDialog::OnCtlColor(HDC, HWND, UINT) { return nullptr; }
bool CDialog::OnDrawItem(int, DRAWITEMSTRUCT&) { return false; }
bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool CDialog::PreTranslateMessage(MSG&) { return false; }

// ---- Child controls

HWND CDialog::GetItem(int nId) const
{
    return m_hWnd ? ::GetDlgItem(m_hWnd, nId) : nullptr;
}

std::string CDialog::GetItemText(int nId, UINT codePage) const
{
    return GetWindowTextString(GetItem(nId), codePage);
}

bool CDialog::SetItemText(int nId, const std::string& text, UINT codePage) const
{
    return SetWindowTextString(GetItem(nId), text, codePage);
}

void CDialog::EnableItem(int nId, bool bEnable) const { Item(nId).Enable(bEnable); }
void CDialog::ShowItem(int nId, bool bShow) const { Item(nId).Show(bShow); }
int CDialog::GetCheck(int nId) const { return Button(nId).GetCheck(); }
void CDialog::SetCheck(int nId, int nState) const { Button(nId).SetCheck(nState); }

std::string CDialog::GetTitle(UINT codePage) const
{
    return GetWindowTextString(m_hWnd, codePage);
}

bool CDialog::SetTitle(const std::string& text, UINT codePage) const
{
    return SetWindowTextString(m_hWnd, text, codePage);
}

// ---- Timers

bool CDialog::SetTimer(UINT_PTR nIdEvent, UINT nElapseMs) const
{
    return m_hWnd && ::SetTimer(m_hWnd, nIdEvent, nElapseMs, nullptr) != 0;
}

bool CDialog::KillTimer(UINT_PTR nIdEvent) const
{
    return m_hWnd && ::KillTimer(m_hWnd, nIdEvent) != FALSE;
}

// ---- Interface font

bool CDialog::ApplyCharsetFont(BYTE charset, const char* faceName)
{
    if (!m_hWnd)
        return false;
    CFontHandle font = CreateCharsetFont(m_hWnd, charset, faceName);
    if (!font)
        return false;
    ApplyFontToChildren(m_hWnd, font.Get());
    // Only now that no control uses the previous font any more may it go.
    m_fontCharset = std::move(font);
    return true;
}
