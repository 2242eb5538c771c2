// A C++ object that takes over the window procedure of an existing child
// window (usually a control created by a dialog template) without owning it.
//
// The window stays the dialog's: it is destroyed with its parent, and the
// object only watches. Whichever goes first is handled:
//  - the window is destroyed: the object is detached on WM_NCDESTROY;
//  - the object is destroyed: the original procedure is put back, or, when
//    something else subclassed the window after us, the window keeps calling
//    our procedure, which then forwards straight to the original one.
//
// A CDialog hands the notifications a control sends to its parent (WM_COMMAND,
// WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*) back to the control's object through
// OnReflectedMessage when the dialog's own handlers leave them, so owner-drawn
// and self-acting controls keep their logic in one class.
#pragma once

#include <windows.h>

class CSubclassWindow {
public:
    CSubclassWindow() = default;
    virtual ~CSubclassWindow();
    CSubclassWindow(const CSubclassWindow&) = delete;
    CSubclassWindow& operator=(const CSubclassWindow&) = delete;

    // Takes over `hWnd`. Fails on a null or dead window, when this object is
    // already attached, or when another object already holds the window.
    bool Attach(HWND hWnd);
    // Gives the window back (see above); the window itself lives on.
    void Detach();

    HWND GetHwnd() const { return m_hWnd; }

    // The object attached to `hWnd`, or null.
    static CSubclassWindow* FromHandle(HWND hWnd);

    // Parent notifications handed back by the dialog (see above). Return true
    // and set `lResult` when handled; the dialog then stops there.
    virtual bool OnReflectedMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

protected:
    // Every message of the window; the default calls the original procedure.
    virtual LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT CallOriginal(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone (after WM_NCDESTROY); the object is detached by then.
    virtual void OnWindowDestroyed() {}

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
};
