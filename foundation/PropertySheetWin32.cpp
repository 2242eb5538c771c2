#include "PropertySheet.h"

#include "ChildControls.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// The sheet whose modal run is innermost on this thread; its hook gives F1
// to the page on show.
thread_local CPropertySheet* t_pRunningSheet = nullptr;

// Posted to a page after its wizard buttons: the keyboard leaves a button
// that the new set hid or disabled.
const UINT kSettleFocusMessage = ::RegisterWindowMessageA("KIVO.SettleWizardFocus");

std::wstring WideText(const std::string& strText, UINT nCodePage)
{
    std::wstring wstrText;
    MultiByteToWideString(strText, nCodePage, wstrText);
    return wstrText;
}

} // namespace

// ---- CPropertyPage

CPropertyPage::CPropertyPage(UINT nIDTemplate, HINSTANCE hResources)
    : CDialog(nIDTemplate, hResources),
      m_nTemplate(nIDTemplate),
      m_hResources(hResources ? hResources : reinterpret_cast<HINSTANCE>(&__ImageBase))
{
}

HWND CPropertyPage::GetSheetHwnd() const
{
    return m_pSheet ? m_pSheet->GetHwnd() : nullptr;
}

void CPropertyPage::SetWizardButtons(DWORD dwFlags) const
{
    const HWND hSheet = GetSheetHwnd();
    if (!hSheet)
        return;
    ::PostMessageW(hSheet, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
    ::PostMessageW(GetHwnd(), kSettleFocusMessage, 0, 0);
}

void CPropertyPage::SettleFocus() const
{
    // Wine's sheet hides Next for Finish, or disables it, with the keyboard
    // still on it, and then no key reaches the wizard: the default button
    // takes the keyboard instead.
    const HWND hSheet = GetSheetHwnd();
    const HWND hFocus = ::GetFocus();
    if (!hSheet || !IsActive() || (hFocus && ::IsWindowVisible(hFocus) && ::IsWindowEnabled(hFocus)))
        return;
    const LRESULT nDefault = ::SendMessageW(hSheet, DM_GETDEFID, 0, 0);
    const HWND hDefault = HIWORD(nDefault) == DC_HASDEFID ? ::GetDlgItem(hSheet, LOWORD(nDefault)) : nullptr;
    if (hDefault && ::IsWindowVisible(hDefault) && ::IsWindowEnabled(hDefault))
        ::SendMessageW(hSheet, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hDefault), TRUE);
}

bool CPropertyPage::IsActive() const
{
    return m_pSheet && m_pSheet->GetActivePage() == this;
}

bool CPropertyPage::OnSetActive() { return true; }
bool CPropertyPage::OnKillActive() { return true; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
bool CPropertyPage::OnWizardFinish() { return true; }
void CPropertyPage::OnReset() {}
void CPropertyPage::OnHelp() {}

bool CPropertyPage::OnNotify(int nId, NMHDR& header, LRESULT& lResult)
{
    if (!m_pSheet || header.hwndFrom != m_pSheet->GetHwnd())
        return CDialog::OnNotify(nId, header, lResult);
    switch (header.code) {
    case PSN_SETACTIVE:
        lResult = OnSetActive() ? 0 : -1;
        if (lResult == 0)
            m_pSheet->OnPageActivated(*this);
        return true;
    case PSN_KILLACTIVE:
        lResult = OnKillActive() ? FALSE : TRUE;
        return true;
    case PSN_WIZNEXT:
        lResult = OnWizardNext();
        return true;
    case PSN_WIZBACK:
        lResult = OnWizardBack();
        return true;
    case PSN_WIZFINISH:
        lResult = OnWizardFinish() ? FALSE : TRUE;
        return true;
    case PSN_RESET:
        OnReset();
        return true;
    case PSN_HELP:
        OnHelp();
        return true;
    default:
        return CDialog::OnNotify(nId, header, lResult);
    }
}

bool CPropertyPage::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg == WM_HELP) {
        OnHelp();
        lResult = TRUE;
        return true;
    }
    if (uMsg == kSettleFocusMessage) {
        SettleFocus();
        return true;
    }
    return CDialog::OnMessage(uMsg, wParam, lParam, lResult);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_INITDIALOG) {
        // The sheet hands the page's description over; the object rides in it.
        const PROPSHEETPAGEW* pDescription = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        CPropertyPage* pPage = pDescription ? reinterpret_cast<CPropertyPage*>(pDescription->lParam) : nullptr;
        if (!pPage)
            return FALSE;
        if (pPage->m_pSheet)
            pPage->m_pSheet->OnPageCreated(hWnd);
        return CDialog::DialogProc(hWnd, uMsg, wParam, reinterpret_cast<LPARAM>(pPage));
    }
    return CDialog::DialogProc(hWnd, uMsg, wParam, lParam);
}

// ---- CPropertySheet

CPropertySheet::CPropertySheet(const std::string& strCaption, UINT nCodePage, DWORD dwFlags)
    : m_wstrCaption(WideText(strCaption, nCodePage)), m_dwFlags(dwFlags)
{
}

CPropertySheet::~CPropertySheet()
{
    for (CPropertyPage* pPage : m_arrPages)
        pPage->m_pSheet = nullptr;
}

void CPropertySheet::AddPage(CPropertyPage& page, const std::string& strTitle, UINT nCodePage)
{
    if (page.m_pSheet)
        return;
    page.m_pSheet = this;
    page.m_wstrTitle = WideText(strTitle, nCodePage);
    m_arrPages.push_back(&page);
}

INT_PTR CPropertySheet::DoModal(HWND hOwner)
{
    if (m_hWnd || m_arrPages.empty())
        return -1;
    std::vector<PROPSHEETPAGEW> arrDescriptions(m_arrPages.size());
    for (size_t i = 0; i < m_arrPages.size(); ++i) {
        CPropertyPage& page = *m_arrPages[i];
        PROPSHEETPAGEW& description = arrDescriptions[i];
        description.dwSize = sizeof description;
        description.dwFlags = page.m_wstrTitle.empty() ? PSP_DEFAULT : PSP_USETITLE;
        description.hInstance = page.m_hResources;
        description.pszTemplate = MAKEINTRESOURCEW(page.m_nTemplate);
        description.pfnDlgProc = &CPropertyPage::PageProc;
        description.pszTitle = page.m_wstrTitle.c_str();
        description.lParam = reinterpret_cast<LPARAM>(&page);
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = m_dwFlags | PSH_PROPSHEETPAGE;
    header.hwndParent = hOwner;
    header.hInstance = reinterpret_cast<HINSTANCE>(&__ImageBase);
    header.pszCaption = m_wstrCaption.c_str();
    header.nPages = static_cast<UINT>(arrDescriptions.size());
    header.ppsp = arrDescriptions.data();

    m_pOuterSheet = t_pRunningSheet;
    t_pRunningSheet = this;
    m_hHook = ::SetWindowsHookExW(WH_MSGFILTER, &CPropertySheet::MessageFilterProc, nullptr, ::GetCurrentThreadId());
    const INT_PTR nResult = ::PropertySheetW(&header);
    if (m_hHook)
        ::UnhookWindowsHookEx(m_hHook);
    m_hHook = nullptr;
    t_pRunningSheet = m_pOuterSheet;
    m_hWnd = nullptr;

    // The platform answers a positive value for OK or Finish, 0 for Cancel.
    if (nResult < 0)
        return -1;
    if (nResult == 0)
        return IDCANCEL;
    return IsWizard() ? ID_WIZFINISH : IDOK;
}

int CPropertySheet::GetActiveIndex() const
{
    if (!m_hWnd)
        return -1;
    const HWND hPage = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    for (size_t i = 0; i < m_arrPages.size(); ++i)
        if (hPage && m_arrPages[i]->GetHwnd() == hPage)
            return static_cast<int>(i);
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    const int nIndex = GetActiveIndex();
    return nIndex < 0 ? nullptr : m_arrPages[static_cast<size_t>(nIndex)];
}

bool CPropertySheet::SetPageTitle(int nIndex, const std::string& strTitle, UINT nCodePage)
{
    if (nIndex < 0 || nIndex >= GetPageCount())
        return false;
    CPropertyPage& page = *m_arrPages[static_cast<size_t>(nIndex)];
    page.m_wstrTitle = WideText(strTitle, nCodePage);
    if (!m_hWnd)
        return true;
    // The tab, where the sheet has tabs; in a wizard the caption of the page on show.
    if (const HWND hTabs = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETTABCONTROL, 0, 0))) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPWSTR>(page.m_wstrTitle.c_str());
        ::SendMessageW(hTabs, TCM_SETITEMW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&item));
    }
    if (IsWizard() && page.GetHwnd() && ::IsWindowVisible(page.GetHwnd()))
        ::SetWindowTextW(m_hWnd, page.m_wstrTitle.c_str());
    return true;
}

void CPropertySheet::OnPageCreated(HWND hPage)
{
    if (!m_hWnd)
        m_hWnd = ::GetParent(hPage);
}

void CPropertySheet::OnPageActivated(CPropertyPage& page)
{
    // The sheet shows the page right after this; its title goes up with it.
    if (IsWizard() && m_hWnd)
        ::SetWindowTextW(m_hWnd, page.m_wstrTitle.empty() ? m_wstrCaption.c_str() : page.m_wstrTitle.c_str());
}

bool CPropertySheet::OwnsWindow(HWND hWnd) const
{
    return m_hWnd && hWnd && (hWnd == m_hWnd || ::IsChild(m_hWnd, hWnd));
}

LRESULT CALLBACK CPropertySheet::MessageFilterProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CPropertySheet* pSheet = t_pRunningSheet;
    const HHOOK hHook = pSheet ? pSheet->m_hHook : nullptr;
    if (nCode == MSGF_DIALOGBOX && lParam && pSheet) {
        const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
        // F1 on a page's control or on the sheet's own buttons: the page on
        // show gives its help, whether or not the system makes a WM_HELP of it.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && pSheet->OwnsWindow(msg.hwnd)) {
            if (CPropertyPage* pPage = pSheet->GetActivePage()) {
                pPage->OnHelp();
                return TRUE;
            }
        }
    }
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}
