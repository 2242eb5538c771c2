// A dialog template built in memory, in the same DLGTEMPLATE form windres
// writes for a DIALOG resource, for dialogs whose layout is made by code and
// for tests that run real dialogs without a resource script.
//
//   CDialogTemplate dlg("Title", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 200, 80);
//   dlg.AddControl(CDialogTemplate::kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 140, 60, 50, 14);
//   CMyDialog d(dlg);   // CDialog copies the template
//
// Positions and sizes are dialog units. Texts are multibyte strings in the code
// page given at construction (CP_ACP by default).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CDialogTemplate {
public:
    // The predefined control classes, written as their atoms.
    enum EClass : WORD { kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082, kListBox = 0x0083,
                         kScrollBar = 0x0084, kComboBox = 0x0085 };

    // DS_SETFONT is added when `faceName` is not empty. The dialog is not
    // visible unless `style` holds WS_VISIBLE (modal runs show it anyway).
    CDialogTemplate(const std::string& caption, DWORD style, short x, short y, short cx, short cy,
                    const std::string& faceName = "MS Shell Dlg", WORD pointSize = 8,
                    UINT codePage = CP_ACP);

    // Runs the dialog in a window class of the program's own (registered with
    // cbWndExtra = DLGWINDOWEXTRA) instead of the system's dialog class.
    void SetWindowClass(const std::string& className);

    // Adds a child control; WS_CHILD and WS_VISIBLE are always added to `style`.
    // Fails (false) past 65,535 controls.
    bool AddControl(EClass controlClass, const std::string& text, WORD id, DWORD style,
                    short x, short y, short cx, short cy, DWORD exStyle = 0);
    // The same with a registered class name ("msctls_progress32", "SysListView32" ...).
    bool AddControl(const std::string& className, const std::string& text, WORD id, DWORD style,
                    short x, short y, short cx, short cy, DWORD exStyle = 0);

    int GetControlCount() const { return static_cast<int>(m_arrControls.size()); }

    // The whole template, DWORD-aligned as the dialog functions need it.
    std::vector<DWORD> Build() const;

private:
    struct CControl {
        DWORD style, exStyle;
        short x, y, cx, cy;
        WORD id;
        WORD atom;  // 0 when className is used
        std::wstring className, text;
    };

    std::wstring ToWide(const std::string& text) const;

    DWORD m_dwStyle;
    short m_x, m_y, m_cx, m_cy;
    std::wstring m_strCaption, m_strFace, m_strClass;
    WORD m_nPointSize;
    UINT m_nCodePage;
    std::vector<CControl> m_arrControls;
};
