// Property sheets and wizards whose pages are CDialogs.
//
// A page is a CDialog made by the sheet from its template when the page is
// first shown; everything of Dialog.h holds for it (handlers, child controls,
// timers, fonts). The sheet's notifications come to typed handlers:
//
//   class CWelcomePage : public CPropertyPage {
//   public:
//       CWelcomePage() : CPropertyPage(IDD_WELCOME) {}
//   protected:
//       bool OnSetActive() override { SetWizardButtons(PSWIZB_NEXT); return true; }
//   };
//   CPropertySheet sheet("Setup", CP_ACP, PSH_WIZARD | PSH_NOAPPLYNOW);
//   sheet.AddPage(welcome, "Welcome");
//   if (sheet.DoModal(hOwner) == ID_WIZFINISH) ...
//
// Texts (caption, page titles) are multibyte strings in a code page as in
// ChildControls.h, and reach the sheet as Unicode, so Chinese titles show
// whatever the system's code page. In a wizard the sheet's caption is the
// title of the page on show.
//
// F1 anywhere in the sheet (a page's control or the sheet's own buttons)
// comes to the page on show as OnHelp, as does WM_HELP.
//
// The sheet and its pages are objects of the caller, which must outlive the
// modal run; a page belongs to one sheet.
#pragma once

#include "Dialog.h"

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

// The Finish button's id, which a wizard's run answers when it ended with it.
#ifndef ID_WIZFINISH
#define ID_WIZFINISH 0x3025
#endif

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate, HINSTANCE hResources = nullptr);

    // The sheet the page is in; null before AddPage.
    CPropertySheet* GetSheet() const { return m_pSheet; }
    // The sheet's window; null while the sheet has none.
    HWND GetSheetHwnd() const;
    // Which wizard buttons are enabled: PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH.
    void SetWizardButtons(DWORD dwFlags) const;
    // True while the page is the one on show.
    bool IsActive() const;

protected:
    // The page is about to show; false refuses it.
    virtual bool OnSetActive();
    // The page is about to be left; false keeps the user on it.
    virtual bool OnKillActive();
    // Next or Back in a wizard: 0 goes on, -1 stays, a template id goes there.
    virtual LRESULT OnWizardNext();
    virtual LRESULT OnWizardBack();
    // Finish: false keeps the wizard open.
    virtual bool OnWizardFinish();
    // The sheet ends with Cancel (or the Close box).
    virtual void OnReset();
    virtual void OnHelp();

    bool OnNotify(int nId, NMHDR& header, LRESULT& lResult) override;
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK PageProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void SettleFocus() const;

    UINT m_nTemplate;
    HINSTANCE m_hResources;
    CPropertySheet* m_pSheet = nullptr;
    std::wstring m_wstrTitle;
};

class CPropertySheet {
public:
    // `dwFlags`: PSH_WIZARD, PSH_NOAPPLYNOW ...
    CPropertySheet(const std::string& strCaption, UINT nCodePage, DWORD dwFlags);
    ~CPropertySheet();
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    // Pages in order of their numbers, from 0; the title is the page's tab
    // (and in a wizard its caption); empty keeps the template's caption.
    void AddPage(CPropertyPage& page, const std::string& strTitle = std::string(), UINT nCodePage = CP_ACP);

    // Runs the sheet modally. A wizard answers ID_WIZFINISH when it ended with
    // Finish; any sheet answers IDOK for OK, IDCANCEL for Cancel, and -1 when
    // it could not be made (or is open already).
    INT_PTR DoModal(HWND hOwner);

    HWND GetHwnd() const { return m_hWnd; }
    bool IsWizard() const { return (m_dwFlags & (PSH_WIZARD | PSH_WIZARD97 | PSH_WIZARD_LITE)) != 0; }
    int GetPageCount() const { return static_cast<int>(m_arrPages.size()); }
    // The number of the page on show; -1 when none.
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;

    // The title of page `nIndex`; shown at once when it is the page on show.
    bool SetPageTitle(int nIndex, const std::string& strTitle, UINT nCodePage = CP_ACP);

private:
    friend class CPropertyPage;
    static LRESULT CALLBACK MessageFilterProc(int nCode, WPARAM wParam, LPARAM lParam);
    // A page's window is made: the sheet's window is its parent.
    void OnPageCreated(HWND hPage);
    void OnPageActivated(CPropertyPage& page);
    bool OwnsWindow(HWND hWnd) const;

    std::wstring m_wstrCaption;
    DWORD m_dwFlags;
    std::vector<CPropertyPage*> m_arrPages;
    HWND m_hWnd = nullptr;
    HHOOK m_hHook = nullptr;
    CPropertySheet* m_pOuterSheet = nullptr;  // the sheet running when this one started
};
