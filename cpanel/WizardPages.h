// The five pages of the configuration wizard, in the order the user meets
// them: welcome (what is done and what is missing), registration of the
// control, Lumbra's folder and program, word adjustment in Lumbra
// (optional), and the summary. Each page knows its number in the wizard;
// its title comes from the wizard.
#pragma once

#include "ControlPanelResource.h"
#include "ImageButton.h"
#include "LumbraHandOff.h"
#include "PropertySheet.h"
#include "ScopedHandles.h"
#include "ToolTip.h"

#include <memory>
#include <string>

class CKIVOCPApp;
struct CControlPanelTexts;

// What every page shares: the interface language's font and texts, help
// topic 22 on F1, and its number.
class CWizardPage : public CPropertyPage {
public:
    static constexpr unsigned kHelpTopic = 22;

    CWizardPage(CKIVOCPApp& app, UINT nTemplate, int nNumber);
    int GetNumber() const { return m_nNumber; }

protected:
    bool OnInitDialog() override;
    void OnHelp() override;

    const CControlPanelTexts& Texts() const;
    UINT CodePage() const;
    bool SetText(int nId, const std::string& strText) const;
    // Rewrites a control's text only when it differs, so that a refresh
    // every second does not make it flicker.
    void SetTextIfChanged(int nId, const std::string& strText) const;
    // The page's title on the sheet, again.
    void ShowTitle(const std::string& strTitle) const;

    CKIVOCPApp& m_app;

private:
    const int m_nNumber;
};

// Page 0: the steps, and under them how the machine stands on the first three.
class CWizardWelcomePage : public CWizardPage {
public:
    explicit CWizardWelcomePage(CKIVOCPApp& app) : CWizardPage(app, IDD_WIZARD_INFO, 0) {}

protected:
    bool OnSetActive() override;
};

// Page 1: the control registered with Windows; Next only once it is. The
// page looks again every second, so a registration made elsewhere counts.
class CWizardRegistrationPage : public CWizardPage {
public:
    static constexpr UINT_PTR kTimerStatus = 2;

    explicit CWizardRegistrationPage(CKIVOCPApp& app) : CWizardPage(app, IDD_WIZARD_ACTION, 1) {}

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    LRESULT OnWizardNext() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnTimer(UINT_PTR nIdEvent) override;

private:
    // Does nothing while the page is hidden, unless forced.
    void RefreshStatus(bool bForce);

    CFontHandle m_fontStatus;
};

// Page 2: Lumbra's installation folder and program; Next only while both
// pass their checks and Lumbra's data is complete in the folder (else the
// integration message, and the page stays). The paths go to the
// configuration when the wizard ends with Finish.
class CWizardLumbraPage : public CWizardPage {
public:
    explicit CWizardLumbraPage(CKIVOCPApp& app);
    ~CWizardLumbraPage() override;

    // Stores the working paths as the configured ones when they were edited
    // or differ from the stored ones, and the integration check passes.
    void ApplyPaths();

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    LRESULT OnWizardNext() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    // Judges both fields and sets the working paths; does nothing while the
    // page is hidden, unless forced. True when both pass.
    bool Validate(bool bForce);
    void ValidateAfterEdit(int nEditId);
    void OnBrowseFolder();
    void OnBrowseExecutable();

    CToolTip m_toolTip;
    std::unique_ptr<CImageButton[]> m_pButtons;
    bool m_bPathsChanged = false;
    bool m_bFilling = false;
};

// Page 3: Lumbra opened on its word-adjustment dialog, if the user wishes.
class CWizardWordAdjustmentPage : public CWizardPage {
public:
    explicit CWizardWordAdjustmentPage(CKIVOCPApp& app) : CWizardPage(app, IDD_WIZARD_ACTION, 3) {}

protected:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnTimer(UINT_PTR nIdEvent) override;

private:
    std::unique_ptr<CLumbraHandOff> m_pHandOff;
};

// Page 4: done; Back or Finish.
class CWizardSummaryPage : public CWizardPage {
public:
    explicit CWizardSummaryPage(CKIVOCPApp& app) : CWizardPage(app, IDD_WIZARD_INFO, 4) {}

protected:
    bool OnSetActive() override;
};
