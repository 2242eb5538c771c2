#include "LumbraWindow.h"

#include "CatalogueFile.h"
#include "LumbraResource.h"
#include "ScopedFlag.h"
#include "WordAdjustmentDlg.h"

#include <string>

namespace {

constexpr char kTitle[] = "Lumbra";
constexpr char kNoInstallation[] =
    "No Lumbra installation was found.\n\nStart lumbra.exe with the installation folder as its argument, "
    "place it in the installation folder, or choose the Lumbra folder in KIVO's settings.";

}  // namespace

bool CLumbraWindow::Create(HINSTANCE hInstance, int nShow)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &CLumbraWindow::WindowProc;
    windowClass.hInstance = hInstance;
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassA(&windowClass))
        return false;
    // The menu belongs to the window from here on and goes with it.
    const HMENU hMenu = ::LoadMenuA(hInstance, MAKEINTRESOURCEA(IDR_LUMBRA_MENU));
    if (!::CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 520, 200,
                           nullptr, hMenu, hInstance, this)) {
        if (hMenu)
            ::DestroyMenu(hMenu);
        return false;
    }
    ::ShowWindow(m_hWnd, nShow);
    ::UpdateWindow(m_hWnd);
    return true;
}

LRESULT CALLBACK CLumbraWindow::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE) {
        auto* pWindow = static_cast<CLumbraWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        pWindow->m_hWnd = hWnd;
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pWindow));
    }
    auto* pWindow = reinterpret_cast<CLumbraWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (!pWindow)
        return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
    return pWindow->HandleMessage(uMsg, wParam, lParam);
}

LRESULT CLumbraWindow::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_WORD_ADJUSTMENT) {
            OpenWordAdjustment();
            return 0;
        }
        if (LOWORD(wParam) == IDM_EXIT) {
            ::DestroyWindow(m_hWnd);
            return 0;
        }
        break;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DESTROY:
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(m_hWnd, uMsg, wParam, lParam);
}

void CLumbraWindow::OpenWordAdjustment()
{
    if (m_bBusy) {
        if (m_pDialog && m_pDialog->GetHwnd())
            ::SetForegroundWindow(m_pDialog->GetHwnd());
        return;
    }
    CScopedFlag busy(m_bBusy);
    if (m_folder.m_strRoot.empty()) {
        ::MessageBoxA(m_hWnd, kNoInstallation, kTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Read afresh each time: another program may have changed the files.
    CWACatalogue g2b(EWADirection::G2B), b2g(EWADirection::B2G);
    for (CWACatalogue* pCatalogue : {&g2b, &b2g}) {
        std::string strError;
        if (!LoadCatalogueFile(CataloguePath(m_folder.ConfigFolder(), *pCatalogue), *pCatalogue, strError)) {
            ::MessageBoxA(m_hWnd, strError.c_str(), kTitle, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    CWordAdjustmentDlg dialog(m_folder, g2b, b2g);
    m_pDialog = &dialog;
    dialog.DoModal(m_hWnd);
    m_pDialog = nullptr;
}

void CLumbraWindow::Paint()
{
    PAINTSTRUCT paint;
    const HDC hDC = ::BeginPaint(m_hWnd, &paint);
    const HGDIOBJ hOldFont = ::SelectObject(hDC, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(hDC, TRANSPARENT);
    const std::string strText =
        "Lumbra word adjustment: Tools > Word Adjustment...\n\nInstallation: " +
        (m_folder.m_strRoot.empty() ? std::string("(none)") : m_folder.m_strRoot) + "\n(" +
        DescribeSource(m_folder.m_source) + ")";
    RECT bounds;
    ::GetClientRect(m_hWnd, &bounds);
    ::InflateRect(&bounds, -12, -12);
    ::DrawTextA(hDC, strText.c_str(), -1, &bounds, DT_LEFT | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    ::SelectObject(hDC, hOldFont);
    ::EndPaint(m_hWnd, &paint);
}
