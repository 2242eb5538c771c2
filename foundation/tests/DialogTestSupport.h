// Shared pieces of the dialog-layer tests: the in-memory test dialog, a
// message pump with a deadline, and 32-bit drawing surfaces whose pixels can
// be read back exactly.
#pragma once

#include "DialogHandles.h"
#include "DialogTemplate.h"
#include "DialogTestIds.h"
#include "ScopedHandles.h"

#include "Dialog.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace dialogtest {

// Every kind of control the helpers serve, and four buttons for image buttons.
inline CDialogTemplate MakeTestTemplate(bool bVisible = false, const std::string& caption = "Dialog test")
{
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    if (bVisible)
        style |= WS_VISIBLE;
    CDialogTemplate dlg(caption, style, 10, 10, 240, 130);
    dlg.AddControl(CDialogTemplate::kEdit, "", IDC_TEST_EDIT, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 5, 5, 100, 12);
    dlg.AddControl(CDialogTemplate::kButton, "Press", IDC_TEST_BUTTON, BS_PUSHBUTTON | WS_TABSTOP, 110, 5, 50, 14);
    dlg.AddControl(CDialogTemplate::kButton, "Check", IDC_TEST_CHECK, BS_AUTOCHECKBOX | WS_TABSTOP, 5, 22, 60, 10);
    dlg.AddControl(CDialogTemplate::kComboBox, "", IDC_TEST_COMBO, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 5, 36,
                   80, 60);
    dlg.AddControl(CDialogTemplate::kListBox, "", IDC_TEST_LIST, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 90,
                   36, 60, 40);
    dlg.AddControl(CDialogTemplate::kStatic, "Static", IDC_TEST_STATIC, SS_LEFT, 5, 82, 150, 10);
    dlg.AddControl(CDialogTemplate::kButton, "Image", IDC_TEST_IMAGE, BS_PUSHBUTTON, 165, 22, 20, 20);
    dlg.AddControl(CDialogTemplate::kButton, "One", IDC_TEST_IMAGE_SINGLE, BS_PUSHBUTTON, 190, 22, 20, 20);
    dlg.AddControl(CDialogTemplate::kButton, "Menu", IDC_TEST_IMAGE_MENU, BS_PUSHBUTTON, 165, 50, 20, 20);
    dlg.AddControl(CDialogTemplate::kButton, "Link", IDC_TEST_IMAGE_LINK, BS_PUSHBUTTON, 190, 50, 20, 20);
    dlg.AddControl(CDialogTemplate::kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 125, 110, 50, 14);
    dlg.AddControl(CDialogTemplate::kButton, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 180, 110, 50, 14);
    return dlg;
}

// Runs the thread's messages as a host loop with modeless dialogs would,
// until `done` holds or `timeoutMs` pass. True when `done` held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CDialog::RouteDialogMessage(msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (done())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

// A 32-bit bitmap whose left half is magenta and whose right half is `colour`.
inline CBitmapHandle MakeHalfMagentaBitmap(int cx, int cy, COLORREF colour)
{
    BITMAPINFO info = TopDown32(cx, cy);
    void* bits = nullptr;
    CBitmapHandle bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return CBitmapHandle();
    const DWORD right = (DWORD(GetRValue(colour)) << 16) | (DWORD(GetGValue(colour)) << 8) | GetBValue(colour);
    DWORD* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            pixels[y * cx + x] = x < cx / 2 ? 0x00FF00FF : right;
    return bitmap;
}

// A 32-bit memory surface filled with one colour; GetPixel reads it exactly.
class CCanvas {
public:
    CCanvas(int cx, int cy, COLORREF fill) : m_dc(nullptr)
    {
        BITMAPINFO info = TopDown32(cx, cy);
        void* bits = nullptr;
        m_bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_select = std::make_unique<CSelectObject>(m_dc.Get(), m_bitmap.Get());
        CBrushHandle brush(::CreateSolidBrush(fill));
        const RECT all = {0, 0, cx, cy};
        ::FillRect(m_dc.Get(), &all, brush.Get());
    }

    HDC Get() const { return m_dc.Get(); }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc.Get(), x, y) & 0xFFFFFF; }

private:
    // In this order, so that the bitmap is selected out before either goes.
    CMemoryDC m_dc;
    CBitmapHandle m_bitmap;
    std::unique_ptr<CSelectObject> m_select;
};

} // namespace dialogtest
