#include "HyperLink.h"

#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "OpenFailureReason.h"
#include "WebPageOpener.h"

#include <windowsx.h>

#include <vector>

namespace {

// The hand cursor lives in the help engine's program in the Windows folder;
// the systems the control panel runs on have no hand among their own cursors.
constexpr UINT kHandCursorResource = 106;

// A module loaded only for its resources, freed when the holder goes.
class CResourceModule {
public:
    explicit CResourceModule(const std::string& strPath)
        : m_hModule(::LoadLibraryExA(strPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~CResourceModule()
    {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
    }
    CResourceModule(const CResourceModule&) = delete;
    CResourceModule& operator=(const CResourceModule&) = delete;

    HMODULE Get() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

HCURSOR LoadHandCursor()
{
    char szWindows[MAX_PATH + 1] = {};
    const UINT nLength = ::GetWindowsDirectoryA(szWindows, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return nullptr;
    std::string strPath = szWindows;
    while (!strPath.empty() && strPath.back() == '\\')
        strPath.pop_back();
    const CResourceModule module(strPath + "\\winhlp32.exe");
    if (!module.Get())
        return nullptr;
    // The cursor belongs to the module and goes with it; the copy is ours.
    const HCURSOR hCursor = ::LoadCursorA(module.Get(), MAKEINTRESOURCEA(kHandCursorResource));
    return hCursor ? static_cast<HCURSOR>(::CopyIcon(hCursor)) : nullptr;
}

// The static control's alignment bits.
constexpr LONG kStaticAlignMask = SS_CENTER | SS_RIGHT;

} // namespace

COLORREF HyperLinkColour(bool bHovering, bool bPressed, bool bVisited, unsigned nFlags)
{
    if (bHovering && (nFlags & CHyperLink::kUseHover))
        return CHyperLink::kHoverColour;
    if (bPressed && !(nFlags & CHyperLink::kNoActiveColour))
        return CHyperLink::kPressedColour;
    if (bVisited)
        return CHyperLink::kVisitedColour;
    return CHyperLink::kLinkColour;
}

HCURSOR CHyperLink::HandCursor()
{
    // Loaded once for the process and kept until its end: every link shares it.
    static const HCURSOR s_hCursor = LoadHandCursor();
    return s_hCursor;
}

CHyperLink::~CHyperLink()
{
    m_toolTip.Destroy();
    // The control outlives us in a dialog that stays open: give it back the
    // font it had, since ours goes with this object.
    if (GetHwnd() && m_hBaseFont)
        CallOriginal(WM_SETFONT, reinterpret_cast<WPARAM>(m_hBaseFont), FALSE);
    Detach();
}

bool CHyperLink::Attach(HWND hStatic)
{
    char szClass[16] = {};
    if (!hStatic || !::GetClassNameA(hStatic, szClass, sizeof szClass) || ::lstrcmpiA(szClass, "Static") != 0)
        return false;
    if (!CSubclassWindow::Attach(hStatic))
        return false;

    const int nTextLength = ::GetWindowTextLengthA(hStatic);
    if (m_strUrl.empty() && nTextLength > 0) {
        std::vector<char> text(static_cast<size_t>(nTextLength) + 1, '\0');
        ::GetWindowTextA(hStatic, text.data(), nTextLength + 1);
        m_strUrl = text.data();
    } else if (nTextLength == 0 && !m_strUrl.empty()) {
        ::SetWindowTextA(hStatic, m_strUrl.c_str());
    }

    SetLinkFont(reinterpret_cast<HFONT>(CallOriginal(WM_GETFONT, 0, 0)));
    if (m_nFlags & kAutoSize)
        FitToText();
    // Loads it now, so the first hover does not wait for the file.
    if (!(m_nFlags & kNoHandCursor))
        HandCursor();
    UpdateToolTip();
    Redraw();
    return true;
}

void CHyperLink::SetLinkFont(HFONT hBase)
{
    m_hBaseFont = hBase;
    if (!hBase || ::GetObjectA(hBase, sizeof m_baseLogFont, &m_baseLogFont) != sizeof m_baseLogFont)
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof m_baseLogFont, &m_baseLogFont);
    LOGFONTA logFont = m_baseLogFont;
    logFont.lfUnderline = (m_nFlags & kUnderline) ? TRUE : FALSE;
    CFontHandle font(::CreateFontIndirectA(&logFont));
    if (!font)
        return;
    CallOriginal(WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    // The control has let go of the previous link font only now.
    m_linkFont = std::move(font);
}

void CHyperLink::FitToText()
{
    const HWND hWnd = GetHwnd();
    if (!hWnd)
        return;
    SIZE size = {};
    {
        CWindowDC dc(hWnd);
        if (!dc)
            return;
        CSelectObject select(dc.Get(), m_linkFont ? m_linkFont.Get() : ::GetStockObject(DEFAULT_GUI_FONT));
        // The window is a Unicode one on the NT family (SubclassWindow.h):
        // measure the text the control draws, whatever the code page.
        const int nLength = ::IsWindowUnicode(hWnd) ? ::GetWindowTextLengthW(hWnd) : ::GetWindowTextLengthA(hWnd);
        if (::IsWindowUnicode(hWnd)) {
            std::vector<wchar_t> text(static_cast<size_t>(nLength) + 1, L'\0');
            ::GetWindowTextW(hWnd, text.data(), nLength + 1);
            ::GetTextExtentPoint32W(dc.Get(), text.data(), lstrlenW(text.data()), &size);
        } else {
            std::vector<char> text(static_cast<size_t>(nLength) + 1, '\0');
            ::GetWindowTextA(hWnd, text.data(), nLength + 1);
            ::GetTextExtentPoint32A(dc.Get(), text.data(), lstrlenA(text.data()), &size);
        }
    }
    if (size.cx <= 0 || size.cy <= 0)
        return;

    RECT rect = {};
    ::GetWindowRect(hWnd, &rect);
    const HWND hParent = ::GetParent(hWnd);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rect), 2);
    // Keep the text where the template's alignment put it.
    const LONG nAlign = ::GetWindowLongA(hWnd, GWL_STYLE) & kStaticAlignMask;
    int x = rect.left;
    if (nAlign == SS_CENTER)
        x = rect.left + ((rect.right - rect.left) - size.cx) / 2;
    else if (nAlign == SS_RIGHT)
        x = rect.right - size.cx;
    ::SetWindowPos(hWnd, nullptr, x, rect.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The area the larger control covered shows the dialog again.
    if (hParent)
        ::RedrawWindow(hParent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CHyperLink::UpdateToolTip()
{
    const HWND hWnd = GetHwnd();
    if (!hWnd)
        return;
    if (!m_toolTip.GetHwnd() && !m_toolTip.Create(::GetParent(hWnd)))
        return;
    const bool bOwnText = !m_strToolTip.empty();
    const std::string& strText = bOwnText ? m_strToolTip : m_strUrl;
    const UINT codePage = bOwnText ? m_nToolTipCodePage : CP_ACP;
    if (m_toolTip.HasTool(hWnd))
        m_toolTip.UpdateText(hWnd, strText, codePage);
    else
        m_toolTip.AddTool(hWnd, strText, codePage);
}

bool CHyperLink::HideForChange()
{
    const HWND hWnd = GetHwnd();
    const bool bVisible = hWnd && ::IsWindowVisible(hWnd);
    if (bVisible)
        ::ShowWindow(hWnd, SW_HIDE);
    return bVisible;
}

void CHyperLink::ShowAfterChange(bool bWasVisible)
{
    if (!GetHwnd())
        return;
    if (m_nFlags & kAutoSize)
        FitToText();
    UpdateToolTip();
    if (bWasVisible)
        ::ShowWindow(GetHwnd(), SW_SHOW);
}

void CHyperLink::SetUrl(const std::string& strUrl)
{
    const HWND hWnd = GetHwnd();
    if (!hWnd) {
        m_strUrl = strUrl;
        return;
    }
    const bool bVisible = HideForChange();
    // A control that shows its address keeps showing it.
    const int nTextLength = ::GetWindowTextLengthA(hWnd);
    std::vector<char> text(static_cast<size_t>(nTextLength) + 1, '\0');
    ::GetWindowTextA(hWnd, text.data(), nTextLength + 1);
    if (text[0] == '\0' || m_strUrl == text.data())
        ::SetWindowTextA(hWnd, strUrl.c_str());
    m_strUrl = strUrl;
    ShowAfterChange(bVisible);
}

void CHyperLink::SetText(const std::string& strText)
{
    if (!GetHwnd())
        return;
    const bool bVisible = HideForChange();
    ::SetWindowTextA(GetHwnd(), strText.c_str());
    ShowAfterChange(bVisible);
}

void CHyperLink::SetToolTipText(const std::string& strText, UINT codePage)
{
    m_strToolTip = strText;
    m_nToolTipCodePage = codePage;
    UpdateToolTip();
}

void CHyperLink::SetToolTipFont(HFONT hFont)
{
    m_toolTip.SetFont(hFont);
}

void CHyperLink::SetFlags(unsigned nFlags)
{
    m_nFlags = nFlags;
    if (!GetHwnd())
        return;
    if (m_hBaseFont)
        SetLinkFont(m_hBaseFont);
    if (m_nFlags & kAutoSize)
        FitToText();
    Redraw();
}

void CHyperLink::SetVisited(bool bVisited)
{
    m_bVisited = bVisited;
    Redraw();
}

COLORREF CHyperLink::GetColour() const
{
    return HyperLinkColour(m_bHovering, m_bPressed, m_bVisited, m_nFlags);
}

void CHyperLink::Redraw()
{
    const HWND hWnd = GetHwnd();
    if (!hWnd)
        return;
    // The text is drawn without a background: what lies under it is the
    // parent's to paint, or the old colour would show through the new.
    const HWND hParent = ::GetParent(hWnd);
    if (!hParent) {
        ::InvalidateRect(hWnd, nullptr, TRUE);
        return;
    }
    RECT rect = {};
    ::GetWindowRect(hWnd, &rect);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rect), 2);
    ::RedrawWindow(hParent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CHyperLink::EndHover()
{
    m_bHovering = false;
    const HWND hWnd = GetHwnd();
    if (hWnd && ::GetCapture() == hWnd)
        ::ReleaseCapture();
    Redraw();
}

bool CHyperLink::Open()
{
    if (m_bHovering)
        EndHover();
    const int nResult = OpenWebPage(m_strUrl);
    if (nResult <= 32) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        const std::string strText =
            GetMessage(IDS_ERROR_HYPERLINK_CAN_NOT_OPEN_LINK) + "\r\n" + OpenFailureReason(nResult);
        const HWND hOwner = GetHwnd() ? ::GetParent(GetHwnd()) : nullptr;
        ShowMessageBox(strText, std::string(), MB_OK | MB_ICONEXCLAMATION, hOwner);
        return false;
    }
    SetVisited(true);
    return true;
}

bool CHyperLink::OnReflectedMessage(UINT uMsg, WPARAM wParam, LPARAM, LRESULT& lResult)
{
    if (uMsg != WM_CTLCOLORSTATIC)
        return false;
    const HDC hDC = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(hDC, GetColour());
    ::SetBkMode(hDC, TRANSPARENT);
    lResult = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    return true;
}

LRESULT CHyperLink::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const HWND hWnd = GetHwnd();
    switch (uMsg) {
    case WM_NCHITTEST:
        // A static without SS_NOTIFY answers "transparent" and the mouse
        // would go to the dialog underneath.
        return HTCLIENT;

    case WM_SETCURSOR:
        if (!(m_nFlags & kNoHandCursor) && HandCursor()) {
            ::SetCursor(HandCursor());
            return TRUE;
        }
        break;

    case WM_MOUSEMOVE: {
        const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client = {};
        ::GetClientRect(hWnd, &client);
        const bool bInside = ::PtInRect(&client, point) != FALSE;
        if (!m_bHovering && bInside) {
            m_bHovering = true;
            // Captured, the link learns when the mouse leaves it.
            ::SetCapture(hWnd);
            Redraw();
        } else if (m_bHovering && !bInside) {
            EndHover();
        }
        // No WM_SETCURSOR reaches a window while it holds the capture.
        if (m_bHovering && !(m_nFlags & kNoHandCursor) && HandCursor())
            ::SetCursor(HandCursor());
        break;
    }

    case WM_CAPTURECHANGED:
        // Another window took the mouse (a menu, a message box): the hover is over.
        if (m_bHovering && reinterpret_cast<HWND>(lParam) != hWnd) {
            m_bHovering = false;
            Redraw();
        }
        break;

    case WM_LBUTTONDOWN:
        if (m_nFlags & kGetFocusOnClick)
            ::SetFocus(hWnd);
        if (m_nFlags & kDownClick)
            Open();
        m_bPressed = true;
        Redraw();
        return 0;

    case WM_LBUTTONUP:
        if (m_bPressed && !(m_nFlags & kDownClick))
            Open();
        return 0;

    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            Open();
            return 0;
        }
        break;

    case WM_SETFOCUS:
        m_bPressed = true;
        Redraw();
        break;

    case WM_KILLFOCUS:
        m_bPressed = false;
        if (m_bHovering)
            EndHover();
        else
            Redraw();
        break;

    case WM_SETFONT:
        // A new interface font (CDialog::ApplyCharsetFont) becomes the base
        // of the link font rather than replacing it.
        SetLinkFont(reinterpret_cast<HFONT>(wParam));
        if (m_nFlags & kAutoSize)
            FitToText();
        return 0;

    default:
        break;
    }
    return CallOriginal(uMsg, wParam, lParam);
}

void CHyperLink::OnWindowDestroyed()
{
    m_toolTip.Destroy();
    m_linkFont.Reset();
    m_hBaseFont = nullptr;
    m_bHovering = false;
    m_bPressed = false;
}
