// The dialog class every window of the programs is built on: a C++ object
// bound to a dialog made by DialogBoxParam (modal) or CreateDialogParam
// (modeless) from a template resource or a template built in memory.
//
// How it works. The object passes itself as the creation parameter; on
// WM_INITDIALOG it is recorded on the window, and from then on every message
// of the window comes to the object, which turns the common ones into typed
// virtual handlers and hands the rest to OnMessage. Handlers return whether
// they handled the message; unhandled messages get the dialog manager's
// default treatment.
//
//   class CAboutDlg : public CDialog {
//   public:
//       enum { IDD = 300 };
//       CAboutDlg() : CDialog(IDD) {}
//   protected:
//       bool OnInitDialog() override { SetItemText(1001, "KIVO 1.5"); return true; }
//       bool OnCommand(int nId, int nCode, HWND hCtl) override
//       {
//           if (nId == 1002) { ...; return true; }
//           return CDialog::OnCommand(nId, nCode, hCtl);   // IDOK, IDCANCEL
//       }
//   };
//   CAboutDlg().DoModal(hParent);
//
// Ownership. The object owns its window: a modeless dialog still open when the
// object is destroyed is destroyed with it (the handlers of a derived class no
// longer run by then, so end modeless dialogs with EndDialog first when their
// OnDestroy matters). The window never owns the object; OnFinalMessage is the
// place for a modeless dialog that deletes itself. Child controls belong to
// the window; the wrappers of ChildControls.h only borrow them.
//
// Windows. On the NT family the dialog and its controls are Unicode windows
// (made by the W functions), so a text widened from its own code page shows
// whatever the system's code page is (ChildControls.h); Windows 9x has only
// the ANSI ones.
//
// Message loops. A modal run has the dialog manager's own loop. For a
// modeless dialog the host's loop must offer each message to
// RouteDialogMessage before translating and dispatching it, or Tab, Enter and
// Escape do nothing; it takes the messages with the W functions
// (PeekMessageW, DispatchMessageW) wherever the windows are Unicode ones, so
// that a typed character reaches them whole. Either way PreTranslateMessage sees the messages of the
// dialog and of its children first (accelerators, tooltip relaying); it rides
// on the message-filter hook that IsDialogMessage calls.
//
// Exceptions never leave the window procedure: a handler that throws counts
// as not having handled the message, and one thrown by OnInitDialog ends the
// dialog with -1.
#pragma once

#include "ChildControls.h"
#include "DialogTemplate.h"
#include "ScopedHandles.h"

#include <windows.h>

#include <string>
#include <vector>

class CDialog {
public:
    // A dialog from the template resource `nIDTemplate` in `hResources`; when
    // that is null, the module this code is linked into (the control or the
    // program), not necessarily the process's executable.
    explicit CDialog(UINT nIDTemplate, HINSTANCE hResources = nullptr);
    // A dialog from a template built in memory; the template is copied.
    explicit CDialog(const CDialogTemplate& dialogTemplate);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // ---- Running
    // Runs the dialog modally and returns the value given to EndDialog, or -1
    // when it could not be created (no such template, a control class that is
    // not registered) or this object's window is already open.
    INT_PTR DoModal(HWND hParent = nullptr);
    // Creates the dialog modeless; true when its window exists afterwards. It
    // shows itself when the template has WS_VISIBLE.
    bool Create(HWND hParent = nullptr);
    // Ends the dialog with `nResult`: a modal run returns it, a modeless
    // window is destroyed and keeps it for GetResult. Safe to call from any
    // handler, OnInitDialog included; does nothing when the dialog is not open.
    void EndDialog(INT_PTR nResult);

    HWND GetHwnd() const { return m_hWnd; }
    bool IsOpen() const { return m_hWnd != nullptr; }
    bool IsModal() const { return m_bModal; }
    // The value of the last EndDialog; -1 before any.
    INT_PTR GetResult() const { return m_nResult; }

    // The CDialog whose window `hWnd` is, or null.
    static CDialog* FromHandle(HWND hWnd);
    // Offers a message of the host's loop to the modeless CDialog it belongs
    // to. True when the dialog took it: do not translate or dispatch it then.
    static bool RouteDialogMessage(MSG& msg);

    // ---- Child controls (null or empty results when the item does not exist)
    HWND GetItem(int nId) const;
    CControlRef Item(int nId) const { return CControlRef(GetItem(nId)); }
    CButtonRef Button(int nId) const { return CButtonRef(GetItem(nId)); }
    CEditRef Edit(int nId) const { return CEditRef(GetItem(nId)); }
    CComboBoxRef Combo(int nId) const { return CComboBoxRef(GetItem(nId)); }
    CListBoxRef List(int nId) const { return CListBoxRef(GetItem(nId)); }

    std::string GetItemText(int nId, UINT codePage = CP_ACP) const;
    bool SetItemText(int nId, const std::string& text, UINT codePage = CP_ACP) const;
    void EnableItem(int nId, bool bEnable) const;
    void ShowItem(int nId, bool bShow) const;
    int GetCheck(int nId) const;
    void SetCheck(int nId, int nState) const;
    std::string GetTitle(UINT codePage = CP_ACP) const;
    bool SetTitle(const std::string& text, UINT codePage = CP_ACP) const;

    // ---- Timers of this dialog's window; they die with it. OnTimer receives them.
    bool SetTimer(UINT_PTR nIdEvent, UINT nElapseMs) const;
    bool KillTimer(UINT_PTR nIdEvent) const;

    // ---- Interface font
    // Makes a font like the dialog's template font in `charset` (CharsetFont.h)
    // and sets it on every child control; the dialog keeps it until the next
    // call or its own end. Call again after creating further controls.
    bool ApplyCharsetFont(BYTE charset, const char* faceName = nullptr);
    // The font of the last ApplyCharsetFont, for tooltips and controls made
    // later; null before.
    HFONT GetCharsetFont() const { return m_fontCharset.Get(); }

protected:
    // ---- Handlers. Each base version is the default behaviour.
    // After the controls exist. Return true to let the dialog manager focus the
    // first tab stop, false when the handler set the focus itself.
    virtual bool OnInitDialog();
    // WM_COMMAND from a control (hCtl set), a menu (nCode 0) or an accelerator
    // (nCode 1). The base turns IDOK into OnOK and IDCANCEL (also Escape and
    // the Close box) into OnCancel.
    virtual bool OnCommand(int nId, int nCode, HWND hCtl);
    virtual void OnOK();      // EndDialog(IDOK)
    virtual void OnCancel();  // EndDialog(IDCANCEL)
    virtual void OnTimer(UINT_PTR nIdEvent);
    // The window is being destroyed; children still exist.
    virtual void OnDestroy();
    // WM_NOTIFY; set `lResult` for notifications that expect an answer.
    virtual bool OnNotify(int nId, NMHDR& header, LRESULT& lResult);
    // WM_CTLCOLOR*: `nCtlType` is CTLCOLOR_EDIT, CTLCOLOR_STATIC, CTLCOLOR_BTN,
    // CTLCOLOR_DLG ... Return a brush that outlives the call, or null for the default.
    virtual HBRUSH OnCtlColor(HDC hDC, HWND hCtl, UINT nCtlType);
    // WM_DRAWITEM of owner-drawn controls and menu items.
    virtual bool OnDrawItem(int nId, DRAWITEMSTRUCT& item);
    // Every other message.
    virtual bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    // A message for this dialog or one of its children before it is
    // dispatched; return true to swallow it.
    virtual bool PreTranslateMessage(MSG& msg);
    // After the window is gone; the object is no longer used by the layer.
    virtual void OnFinalMessage() {}

private:
    // Property pages are made by their sheet and enter through this procedure too.
    friend class CPropertyPage;
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MessageFilterProc(int nCode, WPARAM wParam, LPARAM lParam);
    static bool PreTranslateChain(MSG& msg);
    INT_PTR Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam);
    void Bind(HWND hWnd);
    void Unbind();

    UINT m_nIDTemplate = 0;
    HINSTANCE m_hResources = nullptr;
    std::vector<DWORD> m_arrTemplate;  // empty for a resource template

    HWND m_hWnd = nullptr;
    bool m_bModal = false;
    bool m_bInitialising = false;
    bool m_bEndPending = false;  // EndDialog of a modeless dialog during WM_INITDIALOG
    bool m_bReachedInit = false;
    INT_PTR m_nResult = -1;
    CFontHandle m_fontCharset;
};
