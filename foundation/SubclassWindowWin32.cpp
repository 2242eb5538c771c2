#include "SubclassWindow.h"

#include "ChildControls.h"

namespace {

// Window properties rather than GWLP_USERDATA, which the control's own code or
// another library may use. The original procedure is kept on the window itself
// so that it can still be reached after the object is gone.
const char kObjectProperty[] = "KIVO.SubclassObject";
const char kOriginalProperty[] = "KIVO.SubclassOriginal";

WNDPROC OriginalProc(HWND hWnd)
{
    return reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kOriginalProperty));
}

// The subclass works through the wide functions wherever they exist (the NT
// family), which makes the window a Unicode one. Replacing the procedure
// through the ANSI functions would make it an ANSI window instead, and every
// wide text sent to it (a Chinese caption on a Western system) would then be
// narrowed to the system's code page on the way in. ANSI messages still reach
// a Unicode window intact: they are widened with the system's code page.
bool Wide()
{
    return HasUnicodeWindows();
}

LONG_PTR GetProc(HWND hWnd)
{
    return Wide() ? ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) : ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
}

void SetProc(HWND hWnd, LONG_PTR proc)
{
    if (Wide())
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, proc);
    else
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, proc);
}

LRESULT CallProc(WNDPROC proc, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (!proc)
        return Wide() ? ::DefWindowProcW(hWnd, uMsg, wParam, lParam) : ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
    return Wide() ? ::CallWindowProcW(proc, hWnd, uMsg, wParam, lParam)
                  : ::CallWindowProcA(proc, hWnd, uMsg, wParam, lParam);
}

} // namespace

CSubclassWindow::~CSubclassWindow()
{
    Detach();
}

bool CSubclassWindow::Attach(HWND hWnd)
{
    if (m_hWnd || !hWnd || !::IsWindow(hWnd))
        return false;
    if (::GetPropA(hWnd, kObjectProperty))
        return false;
    // A window we subclassed before, given back while someone else sat on top
    // of us, still runs our procedure: just take it up again.
    const bool ourProcStillInstalled = ::GetPropA(hWnd, kOriginalProperty) != nullptr;
    if (!::SetPropA(hWnd, kObjectProperty, this))
        return false;
    if (!ourProcStillInstalled) {
        const LONG_PTR original = GetProc(hWnd);
        if (!original || !::SetPropA(hWnd, kOriginalProperty, reinterpret_cast<HANDLE>(original))) {
            ::RemovePropA(hWnd, kObjectProperty);
            return false;
        }
        SetProc(hWnd, reinterpret_cast<LONG_PTR>(&CSubclassWindow::SubclassProc));
    }
    m_hWnd = hWnd;
    return true;
}

void CSubclassWindow::Detach()
{
    if (!m_hWnd)
        return;
    const HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    ::RemovePropA(hWnd, kObjectProperty);
    const WNDPROC original = OriginalProc(hWnd);
    if (original && GetProc(hWnd) == reinterpret_cast<LONG_PTR>(&CSubclassWindow::SubclassProc)) {
        SetProc(hWnd, reinterpret_cast<LONG_PTR>(original));
        ::RemovePropA(hWnd, kOriginalProperty);
    }
    // Otherwise another subclass sits on top and calls us; the original stays
    // recorded and SubclassProc forwards to it.
}

CSubclassWindow* CSubclassWindow::FromHandle(HWND hWnd)
{
    return hWnd ? static_cast<CSubclassWindow*>(::GetPropA(hWnd, kObjectProperty)) : nullptr;
}

bool CSubclassWindow::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CSubclassWindow::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return CallOriginal(uMsg, wParam, lParam);
}

LRESULT CSubclassWindow::CallOriginal(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const HWND hWnd = m_hWnd;
    return hWnd ? CallProc(OriginalProc(hWnd), hWnd, uMsg, wParam, lParam) : 0;
}

LRESULT CALLBACK CSubclassWindow::SubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CSubclassWindow* object = FromHandle(hWnd);
    const WNDPROC original = OriginalProc(hWnd);
    if (uMsg == WM_NCDESTROY) {
        // Give the window back first, so nothing of ours runs on a dead window.
        ::RemovePropA(hWnd, kObjectProperty);
        ::RemovePropA(hWnd, kOriginalProperty);
        if (original)
            SetProc(hWnd, reinterpret_cast<LONG_PTR>(original));
        const LRESULT result = CallProc(original, hWnd, uMsg, wParam, lParam);
        if (object) {
            object->m_hWnd = nullptr;
            try {
                object->OnWindowDestroyed();
            } catch (...) {
            }
        }
        return result;
    }
    if (!object || object->m_hWnd != hWnd)
        return CallProc(original, hWnd, uMsg, wParam, lParam);
    // No exception leaves a window procedure: a failing handler leaves the
    // message to the control's own procedure.
    try {
        return object->WindowProc(uMsg, wParam, lParam);
    } catch (...) {
        return CallProc(original, hWnd, uMsg, wParam, lParam);
    }
}
