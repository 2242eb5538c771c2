// The control panel window, the program's main window: the interface
// language, the control's registration with Windows, the three paths (the
// product's folder, Lumbra's folder and Lumbra's program), the hand-over to
// Lumbra for word adjustment, and the way to help and the About box. Its
// status line and buttons follow the machine every second.
#pragma once

#include "ControlPanelMenu.h"
#include "ControlPanelResource.h"
#include "Dialog.h"
#include "ImageButton.h"
#include "LumbraHandOff.h"
#include "ToolTip.h"

#include <memory>
#include <string>

class CKIVOCPApp;

class CControlPanelDlg : public CDialog {
public:
    enum { IDD = IDD_CONTROL_PANEL };
    // Timers of the window: the wait for Lumbra, the status refresh, and the
    // one tick after opening.
    static constexpr UINT_PTR kTimerLumbraWait = CLumbraHandOff::kTimerId;
    static constexpr UINT_PTR kTimerStatus = 2;
    static constexpr UINT_PTR kTimerOpened = 3;

    explicit CControlPanelDlg(CKIVOCPApp& app);
    ~CControlPanelDlg() override;

    // Stores the two Lumbra fields when Lumbra's data is complete there;
    // otherwise changes nothing and gives the integration message.
    bool ApplyPaths(std::string& strMessage);
    // Says what is not in order, or (unless silent) that everything is.
    bool Validate(bool bSilent);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnOK() override;
    void OnTimer(UINT_PTR nIdEvent) override;
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void SetUpButtons();
    // Every text, font, tooltip and the menu in the current language.
    void ApplyTexts();
    void FillLanguages();
    CMenuState MenuState() const;
    void RefreshStatus();
    // The refresh after an edit of a path field, which keeps its caret and selection.
    void RefreshStatusAfterEdit(int nEditId);
    void SetTextIfChanged(int nId, const std::string& strText);
    // Enables or disables a button; one that has the keyboard focus hands it
    // on first, since a dialog whose focus was disabled away takes no keys.
    void EnableKeepingKeyboard(int nId, bool bEnable);

    void OnLanguageChosen(int nIndex);
    void OnBrowseFolder(int nEditId, const char* pszLastFolderValue);
    void OnBrowseExecutable();
    void OnRegister(bool bUnregister);
    void OnWizard();
    void OnHandOff();

    std::string FieldText(int nId) const;
    // A Lumbra field as the commands take it: trimmed, the configured path
    // when empty, a folder without trailing "\".
    std::string LumbraFolderField() const;
    std::string LumbraExeField() const;

    CKIVOCPApp& m_app;
    CToolTip m_toolTip;
    std::unique_ptr<CImageButton[]> m_pButtons;
    std::unique_ptr<CLumbraHandOff> m_pHandOff;
    int m_nLanguage = -1;
    bool m_bRegistered = false;
    bool m_bLumbraFolderValid = false;
    bool m_bLumbraExeValid = false;
};
