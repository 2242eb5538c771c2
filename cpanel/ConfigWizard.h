// The configuration wizard: a sheet in wizard mode, without Apply, that
// leads the user from an unregistered control to a located Lumbra. It is
// run through CKIVOCPApp::RunWizard, which sets up and restores the working
// Lumbra paths around it.
#pragma once

#include "PropertySheet.h"
#include "WizardPages.h"

class CKIVOCPApp;

class CConfigWizard {
public:
    explicit CConfigWizard(CKIVOCPApp& app);

    // Runs the wizard modally over `hOwner` (may be null); ID_WIZFINISH when
    // it ended with Finish, after the Lumbra page has applied its paths.
    INT_PTR DoModal(HWND hOwner);

private:
    CPropertySheet m_sheet;
    CWizardWelcomePage m_welcomePage;
    CWizardRegistrationPage m_registrationPage;
    CWizardLumbraPage m_lumbraPage;
    CWizardWordAdjustmentPage m_wordAdjustmentPage;
    CWizardSummaryPage m_summaryPage;
};
