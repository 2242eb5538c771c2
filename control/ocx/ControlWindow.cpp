#include "ControlWindow.h"

#include "ScopedHandles.h"
#include "ServerModule.h"

#include <olectl.h>

namespace {

const wchar_t kWindowClass[] = L"KIVOControlWindow";
const wchar_t kProductName[] = L"KIVO";

COLORREF Translate(OLE_COLOR color)
{
    COLORREF rgb = 0;
    return SUCCEEDED(OleTranslateColor(color, nullptr, &rgb)) ? rgb : GetSysColor(COLOR_WINDOW);
}

bool EnsureClass(WNDPROC WindowProcedure)
{
    HINSTANCE hInstance = kivoserver::ModuleHandle();
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(hInstance, kWindowClass, &existing))
        return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = hInstance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

} // namespace

void DrawControlFace(HDC hDC, const RECT& bounds, OLE_COLOR backColor, OLE_COLOR foreColor)
{
    CBrushHandle brush(CreateSolidBrush(Translate(backColor)));
    if (brush)
        FillRect(hDC, &bounds, brush.Get());
    const int oldMode = SetBkMode(hDC, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hDC, Translate(foreColor));
    CSelectObject font(hDC, GetStockObject(DEFAULT_GUI_FONT));
    TextOutW(hDC, bounds.left, bounds.top, kProductName, static_cast<int>(wcslen(kProductName)));
    SetTextColor(hDC, oldColor);
    SetBkMode(hDC, oldMode);
}

bool CControlWindow::Create(HWND hParent, const RECT& position)
{
    if (m_hWnd)
        return true;
    if (!IsWindow(hParent) || !EnsureClass(&CControlWindow::WindowProc))
        return false;
    m_hWnd = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPSIBLINGS, position.left, position.top,
                             position.right - position.left, position.bottom - position.top, hParent, nullptr,
                             kivoserver::ModuleHandle(), this);
    if (!m_hWnd)
        return false;
    ShowWindow(m_hWnd, SW_SHOWNA);
    return true;
}

void CControlWindow::Destroy()
{
    if (!m_hWnd)
        return;
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    DestroyWindow(hWnd);
}

void CControlWindow::Move(const RECT& position) const
{
    if (m_hWnd)
        MoveWindow(m_hWnd, position.left, position.top, position.right - position.left,
                   position.bottom - position.top, TRUE);
}

void CControlWindow::Show(bool bShow) const
{
    if (m_hWnd)
        ShowWindow(m_hWnd, bShow ? SW_SHOWNA : SW_HIDE);
}

void CControlWindow::Invalidate() const
{
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CControlWindow::UnregisterClass()
{
    ::UnregisterClassW(kWindowClass, kivoserver::ModuleHandle());
}

LRESULT CALLBACK CControlWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pWindow = reinterpret_cast<CControlWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        const auto* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
    case WM_ERASEBKGND:
        return 1;  // the face fills the whole window
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC hDC = BeginPaint(hWnd, &paint);
        RECT client;
        GetClientRect(hWnd, &client);
        if (hDC && pWindow && pWindow->m_paint)
            pWindow->m_paint(hDC, client);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hWnd, &client);
        if (pWindow && pWindow->m_paint)
            pWindow->m_paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    default:
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}
