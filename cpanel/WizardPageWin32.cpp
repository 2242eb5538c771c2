#include "WizardPages.h"

#include "ControlRegistration.h"
#include "KIVOCPApp.h"
#include "LumbraPathCheck.h"
#include "TextFile.h"

namespace {

// The welcome text's placeholder for a step: the "done" line, or the "not
// yet" line marked so that it stands out.
std::string StepStatus(const std::vector<std::string>& arrStatus, bool bDone, int nNotDoneLine)
{
    return bDone ? arrStatus[static_cast<size_t>(nNotDoneLine + 1)]
                 : "***   " + arrStatus[static_cast<size_t>(nNotDoneLine)];
}

} // namespace

// ---- CWizardPage

CWizardPage::CWizardPage(CKIVOCPApp& app, UINT nTemplate, int nNumber)
    : CPropertyPage(nTemplate), m_app(app), m_nNumber(nNumber)
{
}

bool CWizardPage::OnInitDialog()
{
    ApplyCharsetFont(static_cast<BYTE>(m_app.m_nCharset));
    return true;
}

void CWizardPage::OnHelp()
{
    m_app.OpenHelp(kHelpTopic, GetSheetHwnd());
}

const CControlPanelTexts& CWizardPage::Texts() const
{
    return m_app.m_texts;
}

UINT CWizardPage::CodePage() const
{
    return m_app.m_nCodePage;
}

bool CWizardPage::SetText(int nId, const std::string& strText) const
{
    return SetItemText(nId, strText, CodePage());
}

void CWizardPage::SetTextIfChanged(int nId, const std::string& strText) const
{
    if (GetItemText(nId, CodePage()) != strText)
        SetText(nId, strText);
}

void CWizardPage::ShowTitle(const std::string& strTitle) const
{
    if (m_nNumber >= 0 && GetSheet())
        GetSheet()->SetPageTitle(m_nNumber, strTitle, CodePage());
}

// ---- CWizardWelcomePage

bool CWizardWelcomePage::OnSetActive()
{
    const CControlPanelTexts& texts = Texts();
    ShowTitle(texts.m_strWizardTitle);
    const bool bRegistered = IsControlRegistered();
    const bool bFolder =
        CheckLumbraPath(kLumbraPathFolder, m_app.m_strWorkingLumbraRoot, m_app.m_strLumbraRoot, m_app.m_strLumbraExe);
    const bool bExe = CheckLumbraPath(kLumbraPathExecutable, m_app.m_strWorkingLumbraExe, m_app.m_strLumbraRoot,
                                      m_app.m_strLumbraExe);
    std::string strText = texts.m_strWizardWelcome;
    strText = ReplacePlaceholder(strText, "#1", StepStatus(texts.m_arrStatusTexts, bRegistered, kStatusNotRegistered));
    strText = ReplacePlaceholder(strText, "#2", StepStatus(texts.m_arrStatusTexts, bFolder, kStatusNoLumbraFolder));
    strText = ReplacePlaceholder(strText, "#3", StepStatus(texts.m_arrStatusTexts, bExe, kStatusNoLumbraExe));
    SetText(IDC_WIZ_TEXT, strText);
    SetWizardButtons(PSWIZB_NEXT);
    return true;
}

// ---- CWizardSummaryPage

bool CWizardSummaryPage::OnSetActive()
{
    ShowTitle(Texts().m_strWizardSummaryTitle);
    SetText(IDC_WIZ_TEXT, Texts().m_strWizardSummaryInfo);
    SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return true;
}
