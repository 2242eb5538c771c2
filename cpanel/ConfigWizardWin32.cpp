#include "ConfigWizard.h"

#include "KIVOCPApp.h"

CConfigWizard::CConfigWizard(CKIVOCPApp& app)
    : m_sheet(app.m_texts.m_strWizardTitle, app.m_nCodePage, PSH_WIZARD | PSH_NOAPPLYNOW),
      m_welcomePage(app),
      m_registrationPage(app),
      m_lumbraPage(app),
      m_wordAdjustmentPage(app),
      m_summaryPage(app)
{
    const CControlPanelTexts& texts = app.m_texts;
    m_sheet.AddPage(m_welcomePage, texts.m_strWizardTitle, app.m_nCodePage);
    m_sheet.AddPage(m_registrationPage, texts.m_strWizardOcxTitle, app.m_nCodePage);
    m_sheet.AddPage(m_lumbraPage, texts.m_strWizardLumbraTitle, app.m_nCodePage);
    m_sheet.AddPage(m_wordAdjustmentPage, texts.m_strWizardWATitle, app.m_nCodePage);
    m_sheet.AddPage(m_summaryPage, texts.m_strWizardSummaryTitle, app.m_nCodePage);
}

INT_PTR CConfigWizard::DoModal(HWND hOwner)
{
    const INT_PTR nResult = m_sheet.DoModal(hOwner);
    // The paths go to the configuration when the user finishes, never on Cancel.
    if (nResult == ID_WIZFINISH)
        m_lumbraPage.ApplyPaths();
    return nResult;
}
