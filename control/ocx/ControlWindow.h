// The window a KIVO control shows while it is active in place in a
// container, and the control's face, drawn the same way into that window and
// into any device context a container hands to IViewObject::Draw.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <functional>

// Fills `bounds` with `backColor` and writes the product name at its
// top-left corner in `foreColor` on a transparent background.
void DrawControlFace(HDC hDC, const RECT& bounds, OLE_COLOR backColor, OLE_COLOR foreColor);

class CControlWindow {
public:
    using PaintFunction = std::function<void(HDC, const RECT&)>;

    explicit CControlWindow(PaintFunction paint) : m_paint(std::move(paint)) {}
    ~CControlWindow() { Destroy(); }
    CControlWindow(const CControlWindow&) = delete;
    CControlWindow& operator=(const CControlWindow&) = delete;

    // A visible child of `hParent` at `position` (parent coordinates).
    bool Create(HWND hParent, const RECT& position);
    void Destroy();
    void Move(const RECT& position) const;
    void Show(bool bShow) const;
    void Invalidate() const;
    HWND Get() const { return m_hWnd; }

    // Removes the window class when the module may be unloaded (no window of
    // it is left then); the next Create registers it again.
    static void UnregisterClass();

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    PaintFunction m_paint;
    HWND m_hWnd = nullptr;
};
