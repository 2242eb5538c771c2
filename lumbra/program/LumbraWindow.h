// Lumbra's main window, of the class KIVO's control panel looks for. It
// opens the word-adjustment dialog from its menu and when the control panel
// posts it command 32890; a command that arrives while the dialog is open
// brings the dialog to the front instead of opening a second one.
#pragma once

#include "LumbraFolder.h"

#include <windows.h>

class CWordAdjustmentDlg;

class CLumbraWindow {
public:
    static constexpr char kClassName[] = "Perdix_Lumbra";

    explicit CLumbraWindow(const CLumbraFolder& folder) : m_folder(folder) {}
    CLumbraWindow(const CLumbraWindow&) = delete;
    CLumbraWindow& operator=(const CLumbraWindow&) = delete;

    // Registers the class and shows the window; false when either fails.
    bool Create(HINSTANCE hInstance, int nShow);

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    void OpenWordAdjustment();
    void Paint();

    CLumbraFolder m_folder;
    HWND m_hWnd = nullptr;
    bool m_bBusy = false;  // the dialog, or a message about it, is showing
    CWordAdjustmentDlg* m_pDialog = nullptr;
};
