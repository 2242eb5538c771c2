// The control panel window's menu bar, made from the menu labels of the
// interface language: made anew when the language changes, and each of its
// menus filled anew when it opens, so that it always says what can be done.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What the menu items depend on when a menu opens.
struct CMenuState {
    bool bWizard = false;     // the configuration wizard can be run
    bool bEditor = false;     // the sample text editor can be run
    bool bRunLumbra = false;  // the executable field names an existing file
    int nLanguage = 0;        // index of the current language: 0 English, 1 Simplified, 2 Traditional
    bool bSimplifiedOnly = false;
};

class CControlPanelMenu {
public:
    // A new menu bar from `arrLabels` (the menu message's lines, "#1"
    // filled) in `nCodePage`, put on `hWindow`; the previous bar is freed.
    static bool Install(HWND hWindow, const std::vector<std::string>& arrLabels, UINT nCodePage,
                        const CMenuState& state);
    // Fills `hPopup` again if it is one of the bar's menus (WM_INITMENUPOPUP).
    static void Refill(HWND hWindow, HMENU hPopup, const std::vector<std::string>& arrLabels, UINT nCodePage,
                       const CMenuState& state);
};
