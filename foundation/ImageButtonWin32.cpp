#include "ImageButton.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// The low four bits of a button's style hold its kind.
constexpr LONG kButtonTypeMask = 0x0F;

// Larger bitmaps are no button images; the bound keeps the pixel buffers small.
constexpr int kMaxImageSide = 1024;

// A 32-bit top-down DIB section holding `pixels` (0x00RRGGBB each).
CBitmapHandle MakeColourBitmap(int cx, int cy, const std::vector<DWORD>& pixels)
{
    BITMAPINFO info = TopDown32(cx, cy);
    void* bits = nullptr;
    CBitmapHandle bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
        ::GdiFlush();
        std::copy(pixels.begin(), pixels.end(), static_cast<DWORD*>(bits));
    } else {
        bitmap.Reset();
    }
    return bitmap;
}

} // namespace

CImageButton::~CImageButton()
{
    // Let go of the window before the members go: nothing may reach this
    // object's handlers while it is half destroyed.
    Detach();
}

bool CImageButton::Attach(HWND hButton)
{
    char className[16] = {};
    if (!hButton || !::GetClassNameA(hButton, className, sizeof(className)) || ::lstrcmpiA(className, "Button") != 0)
        return false;
    if (!CSubclassWindow::Attach(hButton))
        return false;
    const LONG style = ::GetWindowLongA(hButton, GWL_STYLE);
    ::SetWindowLongA(hButton, GWL_STYLE, (style & ~kButtonTypeMask) | BS_OWNERDRAW);
    ::InvalidateRect(hButton, nullptr, TRUE);
    return true;
}

bool CImageButton::LoadImages(UINT nIdNormal, UINT nIdHot, HINSTANCE hResources, COLORREF transparent)
{
    if (!hResources)
        hResources = reinterpret_cast<HINSTANCE>(&__ImageBase);
    auto load = [hResources](UINT nId) {
        return CBitmapHandle(static_cast<HBITMAP>(
            ::LoadImageA(hResources, MAKEINTRESOURCEA(nId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    };
    CBitmapHandle normal = load(nIdNormal);
    if (!normal)
        return false;
    CBitmapHandle hot;
    if (nIdHot) {
        hot = load(nIdHot);
        if (!hot)
            return false;
    }
    return SetImages(std::move(normal), std::move(hot), transparent);
}

bool CImageButton::SetImages(CBitmapHandle normal, CBitmapHandle hot, COLORREF transparent)
{
    CImage newNormal, newHot, newDisabled;
    if (!normal || !PrepareImage(normal.Get(), transparent, newNormal, &newDisabled))
        return false;
    if (hot && !PrepareImage(hot.Get(), transparent, newHot, nullptr))
        return false;
    m_normal = std::move(newNormal);
    m_hot = std::move(newHot);
    m_disabled = std::move(newDisabled);
    if (GetHwnd())
        ::InvalidateRect(GetHwnd(), nullptr, FALSE);
    return true;
}

bool CImageButton::PrepareImage(HBITMAP hSource, COLORREF transparent, CImage& image, CImage* greyed)
{
    BITMAP info = {};
    if (::GetObjectA(hSource, sizeof(info), &info) != sizeof(info))
        return false;
    const int cx = info.bmWidth;
    const int cy = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (cx <= 0 || cy <= 0 || cx > kMaxImageSide || cy > kMaxImageSide)
        return false;

    // Read the pixels in one known format, whatever the bitmap's own is.
    std::vector<DWORD> pixels(static_cast<size_t>(cx) * cy);
    BITMAPINFO format = TopDown32(cx, cy);
    {
        CWindowDC screen(nullptr);
        if (::GetDIBits(screen.Get(), hSource, 0, static_cast<UINT>(cy), pixels.data(), &format, DIB_RGB_COLORS) != cy)
            return false;
    }

    const DWORD key = (static_cast<DWORD>(GetRValue(transparent)) << 16) |
                      (static_cast<DWORD>(GetGValue(transparent)) << 8) | GetBValue(transparent);
    // Monochrome rows are padded to 16 bits; a set bit is a transparent pixel.
    const int maskStride = ((cx + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(maskStride) * cy, 0);
    std::vector<DWORD> grey(greyed ? pixels.size() : 0);
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            DWORD& pixel = pixels[static_cast<size_t>(y) * cx + x];
            pixel &= 0x00FFFFFF;
            if (pixel == key) {
                pixel = 0;
                maskBits[static_cast<size_t>(y) * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            } else if (greyed) {
                // Lighter grey of the pixel's brightness, as disabled controls look.
                const DWORD r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
                const DWORD level = 128 + ((r * 77 + g * 150 + b * 29) >> 9);
                grey[static_cast<size_t>(y) * cx + x] = (level << 16) | (level << 8) | level;
            }
        }
    }

    CImage result;
    result.cx = cx;
    result.cy = cy;
    result.image = MakeColourBitmap(cx, cy, pixels);
    result.mask.Reset(::CreateBitmap(cx, cy, 1, 1, maskBits.data()));
    if (!result.image || !result.mask)
        return false;
    if (greyed) {
        CImage disabled;
        disabled.cx = cx;
        disabled.cy = cy;
        disabled.image = MakeColourBitmap(cx, cy, grey);
        disabled.mask.Reset(::CreateBitmap(cx, cy, 1, 1, maskBits.data()));
        if (!disabled.image || !disabled.mask)
            return false;
        *greyed = std::move(disabled);
    }
    image = std::move(result);
    return true;
}

void CImageButton::DrawImage(HDC hDC, const CImage& image, int x, int y)
{
    CMemoryDC source(hDC);
    if (!source)
        return;
    // The mask clears the opaque pixels to black and keeps the rest (a
    // monochrome source paints its 1 bits in the background colour, white);
    // the image, black where transparent, is then ORed in.
    const COLORREF oldBack = ::SetBkColor(hDC, RGB(255, 255, 255));
    const COLORREF oldText = ::SetTextColor(hDC, RGB(0, 0, 0));
    {
        CSelectObject select(source.Get(), image.mask.Get());
        if (select.Succeeded())
            ::BitBlt(hDC, x, y, image.cx, image.cy, source.Get(), 0, 0, SRCAND);
    }
    {
        CSelectObject select(source.Get(), image.image.Get());
        if (select.Succeeded())
            ::BitBlt(hDC, x, y, image.cx, image.cy, source.Get(), 0, 0, SRCPAINT);
    }
    ::SetBkColor(hDC, oldBack);
    ::SetTextColor(hDC, oldText);
}

void CImageButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    if (width <= 0 || height <= 0 || !item.hDC)
        return;

    // Compose off screen and copy once, so the button does not flicker
    // between its background and its image.
    CMemoryDC buffer(item.hDC);
    CBitmapHandle canvas(::CreateCompatibleBitmap(item.hDC, width, height));
    std::optional<CSelectObject> selectCanvas;
    HDC hDC = item.hDC;
    int left = item.rcItem.left;
    int top = item.rcItem.top;
    if (buffer && canvas) {
        selectCanvas.emplace(buffer.Get(), canvas.Get());
        if (selectCanvas->Succeeded()) {
            hDC = buffer.Get();
            left = 0;
            top = 0;
        }
    }

    const HWND hButton = item.hwndItem;
    const HWND hParent = hButton ? ::GetParent(hButton) : nullptr;
    HBRUSH background = hParent ? reinterpret_cast<HBRUSH>(::SendMessageA(
                                      hParent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hDC),
                                      reinterpret_cast<LPARAM>(hButton)))
                                : nullptr;
    if (!background)
        background = ::GetSysColorBrush(COLOR_BTNFACE);
    const RECT area = {left, top, left + width, top + height};
    ::FillRect(hDC, &area, background);

    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const CImage* image = nullptr;
    if (disabled && m_disabled.image)
        image = &m_disabled;
    else if (!disabled && (m_bMouseOver || pressed) && m_hot.image)
        image = &m_hot;
    else if (m_normal.image)
        image = &m_normal;

    if (image) {
        DrawImage(hDC, *image, left + (width - image->cx) / 2, top + (height - image->cy) / 2);
    } else if (hButton) {
        // The caption in UTF-16 where the system has it, so a Chinese one survives.
        std::wstring caption(static_cast<size_t>(::GetWindowTextLengthW(hButton)) + 1, L'\0');
        caption.resize(static_cast<size_t>(::GetWindowTextW(hButton, &caption[0], static_cast<int>(caption.size()))));
        const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hButton, WM_GETFONT, 0, 0));
        CSelectObject selectFont(hDC, font);
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        RECT textArea = area;
        if (!caption.empty()) {
            ::DrawTextW(hDC, caption.c_str(), static_cast<int>(caption.size()), &textArea,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else {
            // Windows 9x has no wide window texts.
            char narrow[256] = {};
            const int length = ::GetWindowTextA(hButton, narrow, sizeof(narrow));
            ::DrawTextA(hDC, narrow, length, &textArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = {left + 1, top + 1, left + width - 1, top + height - 1};
        ::DrawFocusRect(hDC, &focus);
    }

    if (hDC != item.hDC)
        ::BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, hDC, 0, 0, SRCCOPY);
}

void CImageButton::SetPopupMenu(CMenuHandle menu)
{
    m_menu = std::move(menu);
}

bool CImageButton::SetToolTip(const std::string& text, UINT codePage, CToolTip* tooltip)
{
    const HWND hButton = GetHwnd();
    if (!hButton)
        return false;
    if (!tooltip) {
        if (!m_pOwnToolTip) {
            auto own = std::make_unique<CToolTip>();
            if (!own->Create(::GetParent(hButton)))
                return false;
            m_pOwnToolTip = std::move(own);
        }
        tooltip = m_pOwnToolTip.get();
    }
    return tooltip->AddTool(hButton, text, codePage);
}

bool CImageButton::OnReflectedMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    switch (uMsg) {
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        lResult = TRUE;
        return true;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return false;
        if (m_menu) {
            ShowPopupMenu();
            return true;
        }
        if (!m_strWebAddress.empty()) {
            OpenWebAddress(m_strWebAddress);
            return true;
        }
        return false;
    default:
        return false;
    }
}

LRESULT CImageButton::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_MOUSEMOVE:
        if (!m_bMouseOver) {
            // Ask for WM_MOUSELEAVE; comctl32's version works on every system.
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, GetHwnd(), 0};
            if (::_TrackMouseEvent(&track))
                SetMouseOver(true);
        }
        break;
    case WM_MOUSELEAVE:
        SetMouseOver(false);
        break;
    case BM_SETSTYLE:
        // The dialog manager moves the default-button look around with
        // BM_SETSTYLE; that must not turn the button back into a plain one.
        wParam = (wParam & ~static_cast<WPARAM>(kButtonTypeMask)) | BS_OWNERDRAW;
        break;
    case WM_ERASEBKGND:
        // DrawItem paints every pixel.
        return TRUE;
    default:
        break;
    }
    return CallOriginal(uMsg, wParam, lParam);
}

void CImageButton::OnWindowDestroyed()
{
    m_bMouseOver = false;
    m_pOwnToolTip.reset();
}

bool CImageButton::OpenWebAddress(const std::string& url)
{
    const HWND hOwner = GetHwnd() ? ::GetParent(GetHwnd()) : nullptr;
    const HINSTANCE result = ::ShellExecuteA(hOwner, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void CImageButton::ShowPopupMenu()
{
    const HWND hButton = GetHwnd();
    if (!hButton || !m_menu)
        return;
    RECT bounds = {};
    ::GetWindowRect(hButton, &bounds);
    ::TrackPopupMenu(m_menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, bounds.left, bounds.bottom, 0,
                     ::GetParent(hButton), nullptr);
    // The menu had the mouse; the next move over the button makes it hot again.
    SetMouseOver(false);
}

void CImageButton::SetMouseOver(bool bOver)
{
    if (m_bMouseOver == bOver)
        return;
    m_bMouseOver = bOver;
    if (GetHwnd())
        ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}
