#include "WizardPages.h"

#include "ControlPanelSettings.h"
#include "KIVOCPApp.h"
#include "LumbraPathCheck.h"
#include "MessageBox.h"
#include "PathCommands.h"
#include "Registry.h"
#include "ScopedFlag.h"

namespace {

// The four image buttons: their images (the hot one follows at + 1) and tips.
struct CButtonRow {
    int nId;
    UINT nImage;
    const std::string CControlPanelTexts::*pTip;
};

const CButtonRow kButtons[] = {
    {IDC_WIZ_FOLDER_BROWSE, IDB_PATH, &CControlPanelTexts::m_strTipPath},
    {IDC_WIZ_FOLDER_VIEW, IDB_VIEW, &CControlPanelTexts::m_strTipView},
    {IDC_WIZ_EXE_BROWSE, IDB_PATH, &CControlPanelTexts::m_strTipPath},
    {IDC_WIZ_EXE_RUN, IDB_RUN, &CControlPanelTexts::m_strTipRun},
};
constexpr size_t kButtonCount = sizeof kButtons / sizeof kButtons[0];

} // namespace

CWizardLumbraPage::CWizardLumbraPage(CKIVOCPApp& app)
    : CWizardPage(app, IDD_WIZARD_LOCATE, 2), m_pButtons(new CImageButton[kButtonCount])
{
}

CWizardLumbraPage::~CWizardLumbraPage() = default;

bool CWizardLumbraPage::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    const CControlPanelTexts& texts = Texts();
    m_toolTip.Create(GetHwnd());
    m_toolTip.SetFont(GetCharsetFont());
    for (size_t i = 0; i < kButtonCount; ++i) {
        CImageButton& button = m_pButtons[i];
        button.Attach(GetItem(kButtons[i].nId));
        button.LoadImages(kButtons[i].nImage, kButtons[i].nImage + 1);
        button.SetToolTip(texts.*kButtons[i].pTip, CodePage(), &m_toolTip);
    }
    SetText(IDC_WIZ_FOLDER_LABEL, texts.m_arrMcpStrings[kMcpLineLumbraFolder]);
    SetText(IDC_WIZ_EXE_LABEL, texts.m_arrMcpStrings[kMcpLineLumbraExe]);
    SetText(IDC_WIZ_TEXT, texts.m_strWizardLumbraInfo);
    {
        // Filling the fields is no edit of the user's.
        const CScopedFlag filling(m_bFilling);
        SetItemText(IDC_WIZ_FOLDER, m_app.m_strLumbraRoot);
        SetItemText(IDC_WIZ_EXE, m_app.m_strLumbraExe);
    }
    Validate(true);
    return true;
}

bool CWizardLumbraPage::OnSetActive()
{
    // Not on show yet: forced, so that the buttons are this page's from the start.
    Validate(true);
    return true;
}

LRESULT CWizardLumbraPage::OnWizardNext()
{
    if (!Validate(true))
        return -1;
    // A folder without Lumbra's data is said here, where it can be mended:
    // Finish would not store it, and the "noocx" road would start the tester
    // on it as if all were well.
    std::string strMessage;
    if (!m_app.CheckIntegration(m_app.m_strWorkingLumbraRoot, strMessage)) {
        ShowMessageBox(strMessage, std::string(), MB_OK | MB_ICONEXCLAMATION, GetSheetHwnd());
        return -1;
    }
    return 0;
}

bool CWizardLumbraPage::Validate(bool bForce)
{
    if (!bForce && !::IsWindowVisible(GetHwnd()))
        return false;
    const std::string& strRoot = m_app.m_strLumbraRoot;
    const std::string& strExe = m_app.m_strLumbraExe;
    const std::string strFolderText = GetItemText(IDC_WIZ_FOLDER);
    const std::string strExeText = GetItemText(IDC_WIZ_EXE);
    // An empty field stands for the configured path, for the check and for
    // what the later pages do with the path alike.
    m_app.m_strWorkingLumbraRoot = EffectiveLumbraPath(kLumbraPathFolder, strFolderText, strRoot, strExe);
    const bool bFolder = CheckLumbraPath(kLumbraPathFolder, strFolderText, strRoot, strExe);
    EnableItem(IDC_WIZ_FOLDER_VIEW, bFolder);
    m_app.m_strWorkingLumbraExe = EffectiveLumbraPath(kLumbraPathExecutable, strExeText, strRoot, strExe);
    const bool bExe = CheckLumbraPath(kLumbraPathExecutable, strExeText, strRoot, strExe);
    EnableItem(IDC_WIZ_EXE_RUN, bExe);
    SetWizardButtons(bFolder && bExe ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
    return bFolder && bExe;
}

void CWizardLumbraPage::ValidateAfterEdit(int nEditId)
{
    const CKeptEditSelection keep(Edit(nEditId));
    Validate(false);
}

void CWizardLumbraPage::ApplyPaths()
{
    // The paths the wizard started with may be ones typed in the control
    // panel's window and never stored: what counts is the configuration.
    const bool bStored = m_app.m_strWorkingLumbraRoot == GetRegString(kRegPath, kRegLumbraRoot, std::string()) &&
                         m_app.m_strWorkingLumbraExe == GetRegString(kRegPath, kRegLumbraExe, std::string());
    if (!m_bPathsChanged && bStored)
        return;
    // A folder without Lumbra's data is not stored; the wizard says nothing of it.
    std::string strMessage;
    m_app.ApplyLumbraPaths(m_app.m_strWorkingLumbraRoot, m_app.m_strWorkingLumbraExe, strMessage);
    m_bPathsChanged = false;
}

bool CWizardLumbraPage::OnCommand(int nId, int nCode, HWND hCtl)
{
    if ((nId == IDC_WIZ_FOLDER || nId == IDC_WIZ_EXE) && nCode == EN_CHANGE) {
        if (!m_bFilling)
            m_bPathsChanged = true;
        ValidateAfterEdit(nId);
        return true;
    }
    if (nCode != BN_CLICKED)
        return CWizardPage::OnCommand(nId, nCode, hCtl);
    switch (nId) {
    case IDC_WIZ_FOLDER_BROWSE:
        OnBrowseFolder();
        return true;
    case IDC_WIZ_EXE_BROWSE:
        OnBrowseExecutable();
        return true;
    case IDC_WIZ_FOLDER_VIEW:
        OpenWithShell(GetHwnd(), m_app.m_strWorkingLumbraRoot);
        return true;
    case IDC_WIZ_EXE_RUN:
        OpenWithShell(GetHwnd(), m_app.m_strWorkingLumbraExe);
        return true;
    default:
        return CWizardPage::OnCommand(nId, nCode, hCtl);
    }
}

void CWizardLumbraPage::OnBrowseFolder()
{
    const std::string strChosen = BrowseRememberedFolder(GetHwnd(), GetItemText(IDC_WIZ_FOLDER),
                                                         kRegLastLumbraPathFolder, Texts().m_strBrowseTitle, CodePage());
    // The field's change validates the page.
    if (!strChosen.empty())
        SetItemText(IDC_WIZ_FOLDER, strChosen);
}

void CWizardLumbraPage::OnBrowseExecutable()
{
    std::string strChosen;
    if (BrowseLumbraExecutable(GetHwnd(), GetItemText(IDC_WIZ_EXE), GetItemText(IDC_WIZ_FOLDER),
                               Texts().m_strProgramFilter, CodePage(), strChosen))
        SetItemText(IDC_WIZ_EXE, strChosen);
}

bool CWizardLumbraPage::PreTranslateMessage(MSG& msg)
{
    // Disabled buttons get no mouse messages of their own: their tips need these.
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
        m_toolTip.RelayEvent(msg);
    return CWizardPage::PreTranslateMessage(msg);
}
