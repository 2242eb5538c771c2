// The two pages on the action template: the control's registration and the
// hand-over to Lumbra for word adjustment.
#include "WizardPages.h"

#include "ControlRegistration.h"
#include "KIVOCPApp.h"
#include "SystemInfo.h"

namespace {

// The status line's font: the page's own, bold.
CFontHandle BoldFontLike(HFONT hFont)
{
    LOGFONTA font = {};
    if (!hFont || ::GetObjectA(hFont, sizeof font, &font) == 0)
        return CFontHandle();
    font.lfWeight = FW_BOLD;
    return CFontHandle(::CreateFontIndirectA(&font));
}

} // namespace

// ---- CWizardRegistrationPage

bool CWizardRegistrationPage::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    m_fontStatus = BoldFontLike(GetCharsetFont());
    if (m_fontStatus)
        Item(IDC_WIZ_STATUS).SetFont(m_fontStatus.Get());
    SetText(IDC_WIZ_TEXT, Texts().m_strWizardOcxRegister);
    SetText(IDC_WIZ_ACTION, Texts().m_strRegisterButton);
    RefreshStatus(true);
    SetTimer(kTimerStatus, 1000);
    return true;
}

bool CWizardRegistrationPage::OnSetActive()
{
    // The page is not on show yet when it is told it will be; without force
    // the buttons of the page before would stay until the first tick.
    RefreshStatus(true);
    return true;
}

LRESULT CWizardRegistrationPage::OnWizardNext()
{
    // The buttons follow the registry once a second; the registry decides.
    return IsControlRegistered() ? 0 : -1;
}

bool CWizardRegistrationPage::OnCommand(int nId, int nCode, HWND hCtl)
{
    if (nCode != BN_CLICKED || (nId != IDC_WIZ_ACTION && nId != IDC_WIZ_ACTION2))
        return CWizardPage::OnCommand(nId, nCode, hCtl);
    if (ChooseAndStartControlRegistration(GetHwnd(), nId == IDC_WIZ_ACTION2, Texts().m_strOcxFilter, CodePage(),
                                          m_app.m_strMainPath))
        RefreshStatus(true);
    return true;
}

void CWizardRegistrationPage::OnTimer(UINT_PTR nIdEvent)
{
    if (nIdEvent == kTimerStatus)
        RefreshStatus(false);
}

void CWizardRegistrationPage::RefreshStatus(bool bForce)
{
    if (!bForce && !::IsWindowVisible(GetHwnd()))
        return;
    const CControlPanelTexts& texts = Texts();
    const bool bRegistered = IsControlRegistered();
    SetTextIfChanged(IDC_WIZ_STATUS, texts.m_arrStatusTexts[bRegistered ? kStatusRegistered : kStatusNotRegistered]);
    SetTextIfChanged(IDC_WIZ_TEXT, bRegistered ? texts.m_strWizardOcxRegistered : texts.m_strWizardOcxRegister);
    EnableItem(IDC_WIZ_ACTION, !bRegistered);
    SetWizardButtons(bRegistered ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
}

// ---- CWizardWordAdjustmentPage

bool CWizardWordAdjustmentPage::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    m_pHandOff.reset(new CLumbraHandOff(GetHwnd()));
    const CControlPanelTexts& texts = Texts();
    SetText(IDC_WIZ_TEXT, texts.m_strWizardWAInfo);
    SetText(IDC_WIZ_STATUS, IsWindows98() ? texts.m_strWANote98 : texts.m_strWANote);
    SetText(IDC_WIZ_ACTION, texts.m_arrMcpStrings[kMcpLineOpenLumbra]);
    return true;
}

bool CWizardWordAdjustmentPage::OnSetActive()
{
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return true;
}

bool CWizardWordAdjustmentPage::OnCommand(int nId, int nCode, HWND hCtl)
{
    if (nCode != BN_CLICKED || nId != IDC_WIZ_ACTION)
        return CWizardPage::OnCommand(nId, nCode, hCtl);
    m_pHandOff->Start(m_app.m_strWorkingLumbraExe);
    return true;
}

void CWizardWordAdjustmentPage::OnTimer(UINT_PTR nIdEvent)
{
    // Timer 1 dies with the page's window: closing the wizard ends the wait.
    if (nIdEvent == CLumbraHandOff::kTimerId)
        m_pHandOff->OnTimer();
}
