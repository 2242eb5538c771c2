#include "ChildControls.h"

#include <algorithm>
#include <vector>

namespace {

std::string FromWide(const wchar_t* units, int count, UINT codePage)
{
    if (count <= 0)
        return std::string();
    const int bytes = ::WideCharToMultiByte(codePage, 0, units, count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string text(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(codePage, 0, units, count, &text[0], bytes, nullptr, nullptr);
    return text;
}

// A text sent as the lParam of `uMsg`, in the form the code page needs.
// `ok` is false when the text could not be converted.
LRESULT SendText(HWND hWnd, UINT uMsg, WPARAM wParam, const std::string& text, UINT codePage, bool& ok)
{
    ok = true;
    if (NeedsWideWindowText(codePage)) {
        std::wstring wide;
        if (!MultiByteToWideString(text, codePage, wide)) {
            ok = false;
            return 0;
        }
        return ::SendMessageW(hWnd, uMsg, wParam, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    return ::SendMessageA(hWnd, uMsg, wParam, reinterpret_cast<LPARAM>(text.c_str()));
}

// Reads a text whose length one message tells (in units of the call's
// character size, possibly more than needed) and another copies out. The
// window text messages take the buffer size in wParam, the list messages the
// entry's index (`index` < 0 for the former).
std::string ReceiveText(HWND hWnd, UINT lengthMsg, UINT textMsg, int index, LRESULT error, UINT codePage)
{
    const WPARAM lengthParam = index < 0 ? 0 : static_cast<WPARAM>(index);
    if (!hWnd)
        return std::string();
    if (NeedsWideWindowText(codePage)) {
        const LRESULT length = ::SendMessageW(hWnd, lengthMsg, lengthParam, 0);
        if (length == error || length <= 0)
            return std::string();
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
        const WPARAM textParam = index < 0 ? buffer.size() : lengthParam;
        const LRESULT copied = ::SendMessageW(hWnd, textMsg, textParam, reinterpret_cast<LPARAM>(buffer.data()));
        if (copied == error || copied <= 0)
            return std::string();
        const int count = static_cast<int>(std::min<LRESULT>(copied, length));
        return FromWide(buffer.data(), count, codePage);
    }
    const LRESULT length = ::SendMessageA(hWnd, lengthMsg, lengthParam, 0);
    if (length == error || length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const WPARAM textParam = index < 0 ? buffer.size() : lengthParam;
    const LRESULT copied = ::SendMessageA(hWnd, textMsg, textParam, reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == error || copied <= 0)
        return std::string();
    return std::string(buffer.data(), static_cast<size_t>(std::min<LRESULT>(copied, length)));
}

} // namespace

bool HasUnicodeWindows()
{
    return (::GetVersion() & 0x80000000u) == 0;
}

// Texts of another code page than the system's go through the wide functions,
// which exist only on the NT family.
bool NeedsWideWindowText(UINT codePage)
{
    if (codePage == CP_ACP || codePage == ::GetACP())
        return false;
    return HasUnicodeWindows();
}

bool MultiByteToWideString(const std::string& text, UINT codePage, std::wstring& wide)
{
    wide.clear();
    if (text.empty())
        return true;
    const int length = static_cast<int>(text.size());
    const int units = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (units <= 0)
        return false;
    wide.resize(static_cast<size_t>(units));
    return ::MultiByteToWideChar(codePage, 0, text.data(), length, &wide[0], units) == units;
}

std::string GetWindowTextString(HWND hWnd, UINT codePage)
{
    // WM_GETTEXTLENGTH may count more than the text holds (a DBCS text read
    // through the other character size); the copy's own count is the truth.
    return ReceiveText(hWnd, WM_GETTEXTLENGTH, WM_GETTEXT, -1, -1, codePage);
}

bool SetWindowTextString(HWND hWnd, const std::string& text, UINT codePage)
{
    if (!hWnd)
        return false;
    bool ok = true;
    const LRESULT result = SendText(hWnd, WM_SETTEXT, 0, text, codePage, ok);
    return ok && result == TRUE;
}

// ---- CControlRef

bool CControlRef::IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
int CControlRef::GetId() const { return m_hWnd ? ::GetDlgCtrlID(m_hWnd) : 0; }
std::string CControlRef::GetText(UINT codePage) const { return GetWindowTextString(m_hWnd, codePage); }
bool CControlRef::SetText(const std::string& text, UINT codePage) const
{
    return SetWindowTextString(m_hWnd, text, codePage);
}
void CControlRef::Enable(bool bEnable) const
{
    if (m_hWnd)
        ::EnableWindow(m_hWnd, bEnable ? TRUE : FALSE);
}
bool CControlRef::IsEnabled() const { return m_hWnd && ::IsWindowEnabled(m_hWnd); }
void CControlRef::Show(bool bShow) const
{
    if (m_hWnd)
        ::ShowWindow(m_hWnd, bShow ? SW_SHOW : SW_HIDE);
}
// The control's own visible style, whatever its parent's state.
bool CControlRef::IsVisible() const
{
    return m_hWnd && (::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}
void CControlRef::SetFont(HFONT hFont, bool bRedraw) const
{
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw ? TRUE : FALSE);
}
HFONT CControlRef::GetFont() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }
void CControlRef::Focus() const
{
    // WM_NEXTDLGCTL moves the dialog's default-button look along with the focus.
    const HWND hParent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (hParent)
        ::SendMessageA(hParent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWnd), TRUE);
}
LRESULT CControlRef::Send(UINT uMsg, WPARAM wParam, LPARAM lParam) const
{
    return m_hWnd ? ::SendMessageA(m_hWnd, uMsg, wParam, lParam) : 0;
}

// ---- CButtonRef

int CButtonRef::GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
void CButtonRef::SetCheck(int nState) const { Send(BM_SETCHECK, static_cast<WPARAM>(nState)); }
bool CButtonRef::IsChecked() const { return GetCheck() == BST_CHECKED; }
void CButtonRef::SetChecked(bool bChecked) const { SetCheck(bChecked ? BST_CHECKED : BST_UNCHECKED); }
void CButtonRef::Click() const { Send(BM_CLICK); }

// ---- CEditRef

void CEditRef::LimitText(int nMaxChars) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(nMaxChars < 0 ? 0 : nMaxChars)); }
int CEditRef::GetLimitText() const { return static_cast<int>(Send(EM_GETLIMITTEXT)); }
void CEditRef::SetSel(int nStart, int nEnd) const { Send(EM_SETSEL, static_cast<WPARAM>(nStart), nEnd); }
void CEditRef::GetSel(int& nStart, int& nEnd) const
{
    DWORD start = 0;
    DWORD end = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    nStart = static_cast<int>(start);
    nEnd = static_cast<int>(end);
}
void CEditRef::ReplaceSel(const std::string& text, UINT codePage, bool bCanUndo) const
{
    if (!m_hWnd)
        return;
    bool ok = true;
    SendText(m_hWnd, EM_REPLACESEL, bCanUndo ? TRUE : FALSE, text, codePage, ok);
}
void CEditRef::SetReadOnly(bool bReadOnly) const { Send(EM_SETREADONLY, bReadOnly ? TRUE : FALSE); }

CKeptEditSelection::CKeptEditSelection(CEditRef edit) : m_edit(edit)
{
    m_edit.GetSel(m_nStart, m_nEnd);
}

CKeptEditSelection::~CKeptEditSelection()
{
    m_edit.SetSel(m_nStart, m_nEnd);
    m_edit.Send(EM_SCROLLCARET);
}

// ---- CListControlRef

int CListControlRef::AddString(const std::string& text, UINT codePage) const
{
    if (!m_hWnd)
        return -1;
    bool ok = true;
    const LRESULT index = SendText(m_hWnd, m_pMessages->add, 0, text, codePage, ok);
    // Both error values (out of memory, no space) are negative.
    return ok && index >= 0 ? static_cast<int>(index) : -1;
}

int CListControlRef::InsertString(int nIndex, const std::string& text, UINT codePage) const
{
    if (!m_hWnd)
        return -1;
    bool ok = true;
    const LRESULT index = SendText(m_hWnd, m_pMessages->insert, static_cast<WPARAM>(nIndex), text, codePage, ok);
    return ok && index >= 0 ? static_cast<int>(index) : -1;
}

bool CListControlRef::DeleteString(int nIndex) const
{
    return m_hWnd && nIndex >= 0 && Send(m_pMessages->remove, static_cast<WPARAM>(nIndex)) != m_pMessages->error;
}

void CListControlRef::ResetContent() const { Send(m_pMessages->reset); }

int CListControlRef::GetCount() const
{
    const LRESULT count = Send(m_pMessages->count);
    return count == m_pMessages->error || count < 0 ? 0 : static_cast<int>(count);
}

int CListControlRef::GetCurSel() const
{
    const LRESULT index = m_hWnd ? Send(m_pMessages->getSel) : m_pMessages->error;
    return index == m_pMessages->error || index < 0 ? -1 : static_cast<int>(index);
}

bool CListControlRef::SetCurSel(int nIndex) const
{
    if (!m_hWnd)
        return false;
    // Clearing the selection answers with the error value although it worked.
    if (nIndex < 0) {
        Send(m_pMessages->setSel, static_cast<WPARAM>(-1));
        return true;
    }
    return Send(m_pMessages->setSel, static_cast<WPARAM>(nIndex)) != m_pMessages->error;
}

std::string CListControlRef::GetItemText(int nIndex, UINT codePage) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return std::string();
    return ReceiveText(m_hWnd, m_pMessages->textLen, m_pMessages->text, nIndex, m_pMessages->error, codePage);
}

int CListControlRef::FindStringExact(const std::string& text, UINT codePage) const
{
    if (!m_hWnd)
        return -1;
    bool ok = true;
    // Start after the last entry so that the search covers every entry from the first.
    const LRESULT index = SendText(m_hWnd, m_pMessages->findExact, static_cast<WPARAM>(-1), text, codePage, ok);
    return ok && index >= 0 ? static_cast<int>(index) : -1;
}

bool CListControlRef::SetItemData(int nIndex, LPARAM data) const
{
    return m_hWnd && nIndex >= 0 && Send(m_pMessages->setData, static_cast<WPARAM>(nIndex), data) != m_pMessages->error;
}

LPARAM CListControlRef::GetItemData(int nIndex) const
{
    if (!m_hWnd || nIndex < 0)
        return 0;
    const LRESULT data = Send(m_pMessages->getData, static_cast<WPARAM>(nIndex));
    return data == m_pMessages->error ? 0 : data;
}

// ---- CComboBoxRef, CListBoxRef

const CListControlRef::CMessages& CComboBoxRef::Messages()
{
    static const CMessages messages = {
        CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT, CB_GETCURSEL,
        CB_SETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_FINDSTRINGEXACT, CB_SETITEMDATA, CB_GETITEMDATA,
        CB_ERR,
    };
    return messages;
}

CComboBoxRef::CComboBoxRef(HWND hWnd) : CListControlRef(hWnd, Messages()) {}

void CComboBoxRef::LimitText(int nMaxChars) const
{
    Send(CB_LIMITTEXT, static_cast<WPARAM>(nMaxChars < 0 ? 0 : nMaxChars));
}

void CComboBoxRef::ShowDropDown(bool bShow) const { Send(CB_SHOWDROPDOWN, bShow ? TRUE : FALSE); }

const CListControlRef::CMessages& CListBoxRef::Messages()
{
    static const CMessages messages = {
        LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCOUNT, LB_GETCURSEL,
        LB_SETCURSEL, LB_GETTEXTLEN, LB_GETTEXT, LB_FINDSTRINGEXACT, LB_SETITEMDATA, LB_GETITEMDATA,
        LB_ERR,
    };
    return messages;
}

CListBoxRef::CListBoxRef(HWND hWnd) : CListControlRef(hWnd, Messages()) {}
