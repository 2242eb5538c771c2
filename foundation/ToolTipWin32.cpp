#include "ToolTip.h"

#include "ChildControls.h"

#include <commctrl.h>

namespace {

void EnsureCommonControls()
{
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
        return ::InitCommonControlsEx(&init) != FALSE;
    }();
    (void)initialised;
}

// The sizes every comctl32 from 4.70 up accepts; the larger structure of
// version 6 would be refused by older ones.
template <typename T>
T MakeToolInfo(HWND hWindow, UINT_PTR id, UINT flags)
{
    T info = {};
    info.cbSize = sizeof(T) < TTTOOLINFOA_V2_SIZE ? sizeof(T) : TTTOOLINFOA_V2_SIZE;
    info.uFlags = flags;
    info.hwnd = hWindow;
    info.uId = id;
    return info;
}

} // namespace

CToolTip::~CToolTip()
{
    Destroy();
}

bool CToolTip::Create(HWND hOwner)
{
    if (m_hWnd || !hOwner || !::IsWindow(hOwner))
        return false;
    EnsureCommonControls();
    const DWORD style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;
    const HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(hOwner, GWLP_HINSTANCE));
    // A Unicode tooltip keeps a tip widened from its own code page as it is
    // (ChildControls.h); an ANSI one would narrow it to the system's.
    if (HasUnicodeWindows())
        m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, hOwner, nullptr, hInstance, nullptr);
    else
        m_hWnd = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, hOwner, nullptr, hInstance, nullptr);
    if (!m_hWnd)
        return false;
    m_hOwner = hOwner;
    return true;
}

void CToolTip::Destroy()
{
    if (!m_hWnd)
        return;
    // When the owner went first it took the tooltip with it; the handle may
    // then name some newer window, which is not ours to destroy.
    if (::IsWindow(m_hWnd) && ::GetWindow(m_hWnd, GW_OWNER) == m_hOwner)
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    m_hOwner = nullptr;
}

bool CToolTip::SendTool(UINT msgA, UINT msgW, HWND hWindow, UINT_PTR id, UINT flags, const RECT* rect,
                        const std::string& text, UINT codePage)
{
    if (!m_hWnd || !hWindow)
        return false;
    if (NeedsWideWindowText(codePage)) {
        std::wstring wide;
        if (!MultiByteToWideString(text, codePage, wide))
            return false;
        TTTOOLINFOW info = MakeToolInfo<TTTOOLINFOW>(hWindow, id, flags);
        if (rect)
            info.rect = *rect;
        info.lpszText = const_cast<wchar_t*>(wide.c_str());
        return ::SendMessageW(m_hWnd, msgW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE || msgW != TTM_ADDTOOLW;
    }
    TTTOOLINFOA info = MakeToolInfo<TTTOOLINFOA>(hWindow, id, flags);
    if (rect)
        info.rect = *rect;
    info.lpszText = const_cast<char*>(text.c_str());
    return ::SendMessageA(m_hWnd, msgA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE || msgA != TTM_ADDTOOLA;
}

bool CToolTip::AddTool(HWND hTool, const std::string& text, UINT codePage)
{
    if (!hTool || !::IsWindow(hTool))
        return false;
    if (HasTool(hTool))
        return UpdateText(hTool, text, codePage);
    // The tooltip subclasses the tool to see its mouse messages itself.
    return SendTool(TTM_ADDTOOLA, TTM_ADDTOOLW, ::GetParent(hTool), reinterpret_cast<UINT_PTR>(hTool),
                    TTF_IDISHWND | TTF_SUBCLASS, nullptr, text, codePage);
}

bool CToolTip::AddRectTool(HWND hWindow, UINT nId, const RECT& rect, const std::string& text, UINT codePage)
{
    if (!hWindow || !::IsWindow(hWindow))
        return false;
    return SendTool(TTM_ADDTOOLA, TTM_ADDTOOLW, hWindow, nId, TTF_SUBCLASS, &rect, text, codePage);
}

bool CToolTip::SetToolRect(HWND hWindow, UINT nId, const RECT& rect)
{
    if (!m_hWnd || !hWindow)
        return false;
    TTTOOLINFOA info = MakeToolInfo<TTTOOLINFOA>(hWindow, nId, 0);
    info.rect = rect;
    ::SendMessageA(m_hWnd, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
    return true;
}

bool CToolTip::UpdateText(HWND hTool, const std::string& text, UINT codePage)
{
    // TTM_UPDATETIPTEXT answers nothing, so look first.
    if (!HasTool(hTool))
        return false;
    return SendTool(TTM_UPDATETIPTEXTA, TTM_UPDATETIPTEXTW, ::GetParent(hTool), reinterpret_cast<UINT_PTR>(hTool),
                    TTF_IDISHWND, nullptr, text, codePage);
}

bool CToolTip::UpdateRectText(HWND hWindow, UINT nId, const std::string& text, UINT codePage)
{
    if (!m_hWnd || !hWindow)
        return false;
    TTTOOLINFOA probe = MakeToolInfo<TTTOOLINFOA>(hWindow, nId, 0);
    if (!::SendMessageA(m_hWnd, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&probe)))
        return false;
    return SendTool(TTM_UPDATETIPTEXTA, TTM_UPDATETIPTEXTW, hWindow, nId, 0, nullptr, text, codePage);
}

void CToolTip::RemoveTool(HWND hTool)
{
    if (!m_hWnd || !hTool)
        return;
    TTTOOLINFOA info = MakeToolInfo<TTTOOLINFOA>(::GetParent(hTool), reinterpret_cast<UINT_PTR>(hTool), TTF_IDISHWND);
    ::SendMessageA(m_hWnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

bool CToolTip::HasTool(HWND hTool) const
{
    if (!m_hWnd || !hTool)
        return false;
    // lpszText stays null: the control would copy the text into it, with no
    // way to tell it the size of a buffer.
    TTTOOLINFOA info = MakeToolInfo<TTTOOLINFOA>(::GetParent(hTool), reinterpret_cast<UINT_PTR>(hTool), TTF_IDISHWND);
    return ::SendMessageA(m_hWnd, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

int CToolTip::GetToolCount() const
{
    return m_hWnd ? static_cast<int>(::SendMessageA(m_hWnd, TTM_GETTOOLCOUNT, 0, 0)) : 0;
}

void CToolTip::SetFont(HFONT hFont)
{
    if (m_hWnd)
        ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
}

void CToolTip::Activate(bool bActive)
{
    if (m_hWnd)
        ::SendMessageA(m_hWnd, TTM_ACTIVATE, bActive ? TRUE : FALSE, 0);
}

void CToolTip::SetMaxTipWidth(int nPixels)
{
    if (m_hWnd)
        ::SendMessageA(m_hWnd, TTM_SETMAXTIPWIDTH, 0, nPixels);
}

void CToolTip::RelayEvent(const MSG& msg)
{
    if (!m_hWnd)
        return;
    if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) || msg.message == WM_NCMOUSEMOVE) {
        MSG copy = msg;
        ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
    }
}
