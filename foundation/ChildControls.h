// Thin, non-owning wrappers over the child controls of a dialog: each method is
// one or two messages to the control. A wrapper is a borrowed HWND and may be
// made and dropped freely; the control belongs to its dialog.
//
// Texts are multibyte strings. With the code page CP_ACP they go through the
// ANSI functions unchanged (the system widens them with its own code page for
// a Unicode window). With another code page (936 for GBK, 950 for Big5) they
// are converted to UTF-16 and go through the wide functions, so Chinese
// interface texts show whatever the system's ANSI code page is: the windows
// of the programs are Unicode ones (Dialog.h), which keep a text as it came.
// On Windows 9x, which has no wide window functions, the bytes are passed as
// they are and show correctly once the control has a font of the matching
// character set (CharsetFont.h).
#pragma once

#include <windows.h>

#include <string>

// Whether the programs make Unicode windows: everywhere but on Windows 95, 98
// and Me, which lack the W window functions.
bool HasUnicodeWindows();
// Whether texts of `codePage` go through the wide window functions (above).
bool NeedsWideWindowText(UINT codePage);
// `text` of `codePage` as UTF-16. False when the code page is not installed.
bool MultiByteToWideString(const std::string& text, UINT codePage, std::wstring& wide);

// The window's text in `codePage`; empty for a null window.
std::string GetWindowTextString(HWND hWnd, UINT codePage = CP_ACP);
// Sets the window's text from `text` in `codePage`. False when the window
// refused it or the code page is not installed; bytes that are not valid in
// the code page show as the platform's replacement character.
bool SetWindowTextString(HWND hWnd, const std::string& text, UINT codePage = CP_ACP);

class CControlRef {
public:
    explicit CControlRef(HWND hWnd = nullptr) : m_hWnd(hWnd) {}

    HWND GetHwnd() const { return m_hWnd; }
    bool IsWindow() const;
    int GetId() const;

    std::string GetText(UINT codePage = CP_ACP) const;
    bool SetText(const std::string& text, UINT codePage = CP_ACP) const;
    void Enable(bool bEnable) const;
    bool IsEnabled() const;
    void Show(bool bShow) const;
    bool IsVisible() const;
    void SetFont(HFONT hFont, bool bRedraw = true) const;
    HFONT GetFont() const;
    void Focus() const;
    LRESULT Send(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) const;

protected:
    HWND m_hWnd;
};

// Push buttons, check boxes and radio buttons.
class CButtonRef : public CControlRef {
public:
    using CControlRef::CControlRef;

    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int nState) const;
    bool IsChecked() const;
    void SetChecked(bool bChecked) const;
    // Clicks the button as the user would (BM_CLICK): the parent gets BN_CLICKED.
    void Click() const;
};

class CEditRef : public CControlRef {
public:
    using CControlRef::CControlRef;

    // The most characters (bytes for ANSI edits) the user may type in; 0 = the system's maximum.
    void LimitText(int nMaxChars) const;
    int GetLimitText() const;
    void SetSel(int nStart, int nEnd) const;
    void GetSel(int& nStart, int& nEnd) const;
    void ReplaceSel(const std::string& text, UINT codePage = CP_ACP, bool bCanUndo = true) const;
    void SetReadOnly(bool bReadOnly) const;
};

// Keeps an edit's caret and selection across work that may move them (a
// refresh that re-enables or rewrites controls while the user types): read
// when made, put back and scrolled into view when it goes.
class CKeptEditSelection {
public:
    explicit CKeptEditSelection(CEditRef edit);
    ~CKeptEditSelection();
    CKeptEditSelection(const CKeptEditSelection&) = delete;
    CKeptEditSelection& operator=(const CKeptEditSelection&) = delete;

private:
    CEditRef m_edit;
    int m_nStart = 0;
    int m_nEnd = 0;
};

// Combo boxes and list boxes answer the same questions with different
// messages; the shared part is here, the message numbers come from the class.
class CListControlRef : public CControlRef {
public:
    // Index of the new entry, or -1 when the control refused it.
    int AddString(const std::string& text, UINT codePage = CP_ACP) const;
    int InsertString(int nIndex, const std::string& text, UINT codePage = CP_ACP) const;
    bool DeleteString(int nIndex) const;
    void ResetContent() const;
    int GetCount() const;
    // -1 when nothing is selected.
    int GetCurSel() const;
    // Selects entry `nIndex`, or clears the selection with -1. False when the index does not exist.
    bool SetCurSel(int nIndex) const;
    // Text of entry `nIndex`; empty when there is none.
    std::string GetItemText(int nIndex, UINT codePage = CP_ACP) const;
    // Index of the entry whose text equals `text` (case-insensitive, as the control compares), or -1.
    int FindStringExact(const std::string& text, UINT codePage = CP_ACP) const;
    bool SetItemData(int nIndex, LPARAM data) const;
    LPARAM GetItemData(int nIndex) const;

protected:
    struct CMessages {
        UINT add, insert, remove, reset, count, getSel, setSel, textLen, text, findExact, setData, getData;
        LRESULT error;
    };
    CListControlRef(HWND hWnd, const CMessages& messages) : CControlRef(hWnd), m_pMessages(&messages) {}

private:
    const CMessages* m_pMessages;
};

class CComboBoxRef : public CListControlRef {
public:
    explicit CComboBoxRef(HWND hWnd = nullptr);
    // Sets the combo box's edit text limit (drop-down combo boxes only).
    void LimitText(int nMaxChars) const;
    void ShowDropDown(bool bShow) const;

private:
    static const CMessages& Messages();
};

class CListBoxRef : public CListControlRef {
public:
    explicit CListBoxRef(HWND hWnd = nullptr);

private:
    static const CMessages& Messages();
};
