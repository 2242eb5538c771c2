// The Mini Control Panel: shown at start-up while Lumbra's folder is not
// known. It switches the interface language at once and takes Lumbra's
// folder, which OK accepts only after the integration check passed.
#pragma once

#include "Dialog.h"

class CKIVOApp;

class CMiniControlPanelDlg : public CDialog {
public:
    enum { IDD = 252 };
    explicit CMiniControlPanelDlg(CKIVOApp& app);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnOK() override;

private:
    // Every text of the dialog in the current language.
    void LoadTexts();
    void FillLanguages();
    void OnLanguageChosen();
    void OnLocate(int nEditId, const char* pszLastFolderValue);
    void UpdateOK();
    std::string LumbraFolderText() const;

    CKIVOApp& m_app;
    UINT m_nCodePage = CP_ACP;
};
