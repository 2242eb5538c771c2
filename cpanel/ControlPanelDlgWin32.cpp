#include "ControlPanelDlg.h"

#include "ControlPanelSettings.h"
#include "ControlRegistration.h"
#include "KIVOCPApp.h"
#include "LumbraPathCheck.h"
#include "MessageBox.h"
#include "PathCommands.h"
#include "PathUtil.h"
#include "SystemInfo.h"
#include "TextTrim.h"

namespace {

constexpr char kRegLastMainPathFolder[] = "Last Main Path Folder";

// The image buttons: their images (the hot one follows at + 1) and tips.
// A tip is a text of its own or a line of the window's tip message.
struct CButtonRow {
    int nId;
    UINT nImage;
    const std::string CControlPanelTexts::*pTip;
    int nTipLine;
};

const CButtonRow kButtons[] = {
    {IDC_MCP_MAIN_BROWSE, IDB_PATH, &CControlPanelTexts::m_strTipPath, -1},
    {IDC_MCP_MAIN_VIEW, IDB_VIEW, &CControlPanelTexts::m_strTipView, -1},
    {IDC_MCP_LUMBRA_BROWSE, IDB_PATH, &CControlPanelTexts::m_strTipPath, -1},
    {IDC_MCP_LUMBRA_VIEW, IDB_VIEW, &CControlPanelTexts::m_strTipView, -1},
    {IDC_MCP_EXE_BROWSE, IDB_PATH, &CControlPanelTexts::m_strTipPath, -1},
    {IDC_MCP_EXE_RUN, IDB_RUN, &CControlPanelTexts::m_strTipRun, -1},
    {IDC_MCP_EDITOR, IDB_EDITOR, nullptr, kTipLineEditor},
    {IDC_MCP_HELP, IDB_HELP, &CControlPanelTexts::m_strTipHelp, -1},
    {IDC_MCP_CHECK, IDB_CHECK, nullptr, kTipLineCheck},
    {IDC_MCP_APPLY, IDB_APPLY, &CControlPanelTexts::m_strTipApply, -1},
    {IDOK, IDB_OK, &CControlPanelTexts::m_strTipOK, -1},
    {IDCANCEL, IDB_CANCEL, &CControlPanelTexts::m_strTipCancel, -1},
};
constexpr size_t kButtonCount = sizeof kButtons / sizeof kButtons[0];

const std::string& TipText(const CControlPanelTexts& texts, const CButtonRow& button)
{
    return button.pTip ? texts.*button.pTip : texts.m_arrMcpTips[static_cast<size_t>(button.nTipLine)];
}

// Static texts of the window: the label line each one shows.
struct CLabelRow {
    int nId;
    int nLine;
};

const CLabelRow kLabels[] = {
    {IDC_MCP_LANGUAGE_GROUP, kMcpLineLanguages},     {IDC_MCP_REGISTRATION_GROUP, kMcpLineRegistration},
    {IDC_MCP_PATH_GROUP, kMcpLinePathList},          {IDC_MCP_MAIN_LABEL, kMcpLineMainFolder},
    {IDC_MCP_LUMBRA_LABEL, kMcpLineLumbraFolder},    {IDC_MCP_EXE_LABEL, kMcpLineLumbraExe},
    {IDC_MCP_WA_GROUP, kMcpLineWordAdjustment},      {IDC_MCP_WA_OPEN, kMcpLineOpenLumbra},
};

} // namespace

CControlPanelDlg::CControlPanelDlg(CKIVOCPApp& app)
    : CDialog(IDD), m_app(app), m_pButtons(new CImageButton[kButtonCount])
{
}

CControlPanelDlg::~CControlPanelDlg() = default;

bool CControlPanelDlg::OnInitDialog()
{
    const HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    const HICON hIcon = ::LoadIconA(hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ::SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
    ::SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
    m_pHandOff.reset(new CLumbraHandOff(GetHwnd()));
    m_toolTip.Create(GetHwnd());
    SetUpButtons();
    FillLanguages();
    ApplyTexts();
    SetItemText(IDC_MCP_MAIN_FOLDER, m_app.m_strMainPath);
    SetItemText(IDC_MCP_LUMBRA_FOLDER, m_app.m_strLumbraRoot);
    SetItemText(IDC_MCP_LUMBRA_EXE, m_app.m_strLumbraExe);
    RefreshStatus();
    SetTimer(kTimerStatus, 1000);
    SetTimer(kTimerOpened, 100);
    return true;
}

void CControlPanelDlg::SetUpButtons()
{
    for (size_t i = 0; i < kButtonCount; ++i) {
        CImageButton& button = m_pButtons[i];
        button.Attach(GetItem(kButtons[i].nId));
        button.LoadImages(kButtons[i].nImage, kButtons[i].nImage + 1);
    }
}

void CControlPanelDlg::FillLanguages()
{
    const CComboBoxRef combo = Combo(IDC_MCP_LANGUAGE);
    combo.ResetContent();
    for (size_t i = 0; i < m_app.m_arrLanguageNames.size(); ++i) {
        const int nIndex = static_cast<int>(i);
        // The Simplified Chinese edition speaks one language.
        if (m_app.m_bPRCEdition && InterfaceLanguageLCID(nIndex) != kLcidSimplifiedChinese)
            continue;
        combo.AddString(m_app.m_arrLanguageNames[i], InterfaceLanguageCodePage(nIndex));
    }
    m_nLanguage = 0;
    for (int i = 0; i < kInterfaceLanguageCount; ++i)
        if (InterfaceLanguageLCID(i) == m_app.m_nLCID)
            m_nLanguage = i;
    combo.SetCurSel(m_app.m_bPRCEdition ? 0 : m_nLanguage);
}

void CControlPanelDlg::ApplyTexts()
{
    const CControlPanelTexts& texts = m_app.m_texts;
    const UINT nCodePage = m_app.m_nCodePage;
    ApplyCharsetFont(static_cast<BYTE>(m_app.m_nCharset));
    m_toolTip.SetFont(GetCharsetFont());

    SetTitle(texts.m_arrMcpStrings[kMcpLineTitle], nCodePage);
    SetItemText(IDC_MCP_INFO, texts.m_strMcpInfo, nCodePage);
    for (const CLabelRow& label : kLabels)
        SetItemText(label.nId, texts.m_arrMcpStrings[static_cast<size_t>(label.nLine)], nCodePage);
    SetItemText(IDC_MCP_REGISTER, texts.m_strRegisterButton, nCodePage);
    SetItemText(IDC_MCP_WA_NOTE, IsWindows98() ? texts.m_strWANote98 : texts.m_strWANote, nCodePage);
    SetItemText(IDC_MCP_REGISTRATION_STATUS,
                texts.m_arrStatusTexts[m_bRegistered ? kStatusRegistered : kStatusNotRegistered], nCodePage);
    for (size_t i = 0; i < kButtonCount; ++i)
        m_pButtons[i].SetToolTip(TipText(texts, kButtons[i]), nCodePage, &m_toolTip);
    CControlPanelMenu::Install(GetHwnd(), texts.m_arrMenuStrings, nCodePage, MenuState());
    // The language names keep their own code pages whatever the font.
    ::InvalidateRect(GetHwnd(), nullptr, TRUE);
}

CMenuState CControlPanelDlg::MenuState() const
{
    CMenuState state;
    state.bWizard = true;
    state.bEditor = true;
    const std::string strExe = LumbraExeField();
    state.bRunLumbra = !strExe.empty() && PathExists(strExe) && !FolderExists(strExe);
    state.nLanguage = m_nLanguage < 0 ? 0 : m_nLanguage;
    state.bSimplifiedOnly = m_app.m_bPRCEdition;
    return state;
}

std::string CControlPanelDlg::FieldText(int nId) const
{
    std::string strText = GetItemText(nId);
    TrimBlank(strText);
    return strText;
}

std::string CControlPanelDlg::LumbraFolderField() const
{
    return EffectiveLumbraPath(kLumbraPathFolder, GetItemText(IDC_MCP_LUMBRA_FOLDER), m_app.m_strLumbraRoot,
                               m_app.m_strLumbraExe);
}

std::string CControlPanelDlg::LumbraExeField() const
{
    return EffectiveLumbraPath(kLumbraPathExecutable, GetItemText(IDC_MCP_LUMBRA_EXE), m_app.m_strLumbraRoot,
                               m_app.m_strLumbraExe);
}

void CControlPanelDlg::SetTextIfChanged(int nId, const std::string& strText)
{
    // Rewriting an unchanged text every second would only make it flicker.
    if (GetItemText(nId, m_app.m_nCodePage) != strText)
        SetItemText(nId, strText, m_app.m_nCodePage);
}

void CControlPanelDlg::RefreshStatus()
{
    const CControlPanelTexts& texts = m_app.m_texts;
    m_bRegistered = IsControlRegistered();
    SetTextIfChanged(IDC_MCP_REGISTRATION_STATUS,
                     texts.m_arrStatusTexts[m_bRegistered ? kStatusRegistered : kStatusNotRegistered]);
    EnableKeepingKeyboard(IDC_MCP_REGISTER, !m_bRegistered);

    m_bLumbraFolderValid = CheckLumbraPath(kLumbraPathFolder, FieldText(IDC_MCP_LUMBRA_FOLDER),
                                           m_app.m_strLumbraRoot, m_app.m_strLumbraExe);
    EnableKeepingKeyboard(IDC_MCP_LUMBRA_VIEW, m_bLumbraFolderValid);
    m_bLumbraExeValid = CheckLumbraPath(kLumbraPathExecutable, FieldText(IDC_MCP_LUMBRA_EXE),
                                        m_app.m_strLumbraRoot, m_app.m_strLumbraExe);
    EnableKeepingKeyboard(IDC_MCP_EXE_RUN, m_bLumbraExeValid);
    EnableKeepingKeyboard(IDC_MCP_WA_OPEN, m_bLumbraExeValid);
    EnableKeepingKeyboard(IDC_MCP_MAIN_VIEW, FolderExists(FieldText(IDC_MCP_MAIN_FOLDER)));
}

void CControlPanelDlg::EnableKeepingKeyboard(int nId, bool bEnable)
{
    const HWND hItem = GetItem(nId);
    if (!bEnable && hItem && ::GetFocus() == hItem)
        ::SendMessageW(GetHwnd(), WM_NEXTDLGCTL, 0, FALSE);  // the next control in tab order
    EnableItem(nId, bEnable);
}

void CControlPanelDlg::RefreshStatusAfterEdit(int nEditId)
{
    const CKeptEditSelection keep(Edit(nEditId));
    RefreshStatus();
}

bool CControlPanelDlg::ApplyPaths(std::string& strMessage)
{
    return m_app.ApplyLumbraPaths(LumbraFolderField(), LumbraExeField(), strMessage);
}

bool CControlPanelDlg::Validate(bool bSilent)
{
    RefreshStatus();
    const std::vector<std::string>& status = m_app.m_texts.m_arrStatusTexts;
    std::string strProblems;
    if (!m_bRegistered)
        strProblems += status[kStatusNotRegistered] + "\r\n";
    if (!m_bLumbraFolderValid)
        strProblems += status[kStatusNoLumbraFolder] + "\r\n";
    if (!m_bLumbraExeValid)
        strProblems += status[kStatusNoLumbraExe] + "\r\n";
    if (!strProblems.empty()) {
        strProblems.resize(strProblems.size() - 2);
        ShowMessageBox(strProblems, std::string(), MB_OK, GetHwnd());
        return false;
    }
    if (!bSilent)
        ShowMessageBox(m_app.m_texts.m_arrMcpTips[kTipLineAllFine], std::string(), MB_OK, GetHwnd());
    return true;
}

bool CControlPanelDlg::OnCommand(int nId, int nCode, HWND hCtl)
{
    if ((nId == IDC_MCP_LUMBRA_FOLDER || nId == IDC_MCP_LUMBRA_EXE) && nCode == EN_CHANGE) {
        RefreshStatusAfterEdit(nId);
        return true;
    }
    if (nId == IDC_MCP_MAIN_FOLDER && nCode == EN_CHANGE) {
        RefreshStatus();
        return true;
    }
    if (nId == IDC_MCP_LANGUAGE && nCode == CBN_SELCHANGE) {
        const int nSel = Combo(IDC_MCP_LANGUAGE).GetCurSel();
        OnLanguageChosen(m_app.m_bPRCEdition ? 1 : nSel);
        return true;
    }
    if (hCtl && nCode != BN_CLICKED)
        return CDialog::OnCommand(nId, nCode, hCtl);

    switch (nId) {
    case ID_VIEW_ENGLISH:
    case ID_VIEW_SIMPLIFIED:
    case ID_VIEW_TRADITIONAL:
        OnLanguageChosen(static_cast<int>(nId - ID_VIEW_ENGLISH));
        return true;
    case IDC_MCP_REGISTER:
    case ID_TOOLS_REGISTER:
        OnRegister(false);
        return true;
    case ID_TOOLS_UNREGISTER:
        OnRegister(true);
        return true;
    case ID_TOOLS_WIZARD:
        OnWizard();
        return true;
    case IDC_MCP_EDITOR:
    case ID_TOOLS_EDITOR:
        m_app.RunSampleTextEditor(GetHwnd());
        return true;
    case IDC_MCP_MAIN_BROWSE:
        OnBrowseFolder(IDC_MCP_MAIN_FOLDER, kRegLastMainPathFolder);
        return true;
    case IDC_MCP_LUMBRA_BROWSE:
        OnBrowseFolder(IDC_MCP_LUMBRA_FOLDER, kRegLastLumbraPathFolder);
        return true;
    case IDC_MCP_EXE_BROWSE:
        OnBrowseExecutable();
        return true;
    case IDC_MCP_MAIN_VIEW:
        OpenWithShell(GetHwnd(), FieldText(IDC_MCP_MAIN_FOLDER));
        return true;
    case IDC_MCP_LUMBRA_VIEW:
        OpenWithShell(GetHwnd(), LumbraFolderField());
        return true;
    case IDC_MCP_EXE_RUN:
    case ID_TOOLS_RUN_LUMBRA:
        OpenWithShell(GetHwnd(), LumbraExeField());
        return true;
    case IDC_MCP_WA_OPEN:
        OnHandOff();
        return true;
    case IDC_MCP_HELP:
    case ID_HELP_HELP:
        m_app.OpenHelp(0, GetHwnd());
        return true;
    case ID_HELP_ABOUT:
        m_app.ShowAbout(GetHwnd());
        return true;
    case IDC_MCP_CHECK:
        Validate(false);
        return true;
    case IDC_MCP_APPLY: {
        std::string strMessage;
        if (!ApplyPaths(strMessage))
            ShowMessageBox(strMessage, std::string(), MB_OK, GetHwnd());
        RefreshStatus();
        return true;
    }
    default:
        return CDialog::OnCommand(nId, nCode, hCtl);
    }
}

void CControlPanelDlg::OnOK()
{
    std::string strMessage;
    if (!ApplyPaths(strMessage)) {
        ShowMessageBox(strMessage, std::string(), MB_OK, GetHwnd());
        return;
    }
    EndDialog(IDOK);
}

void CControlPanelDlg::OnLanguageChosen(int nIndex)
{
    if (nIndex < 0 || nIndex >= kInterfaceLanguageCount || nIndex == m_nLanguage)
        return;
    if (m_app.m_bPRCEdition && InterfaceLanguageLCID(nIndex) != kLcidSimplifiedChinese)
        return;
    if (!m_app.SwitchInterfaceLanguage(InterfaceLanguageName(nIndex)))
        return;
    m_nLanguage = nIndex;
    if (!m_app.m_bPRCEdition)
        Combo(IDC_MCP_LANGUAGE).SetCurSel(nIndex);
    ApplyTexts();
}

void CControlPanelDlg::OnBrowseFolder(int nEditId, const char* pszLastFolderValue)
{
    const std::string strChosen =
        BrowseRememberedFolder(GetHwnd(), FieldText(nEditId), pszLastFolderValue, m_app.m_texts.m_strBrowseTitle,
                               m_app.m_nCodePage);
    if (strChosen.empty())
        return;
    SetItemText(nEditId, strChosen);
    RefreshStatus();
}

void CControlPanelDlg::OnBrowseExecutable()
{
    std::string strChosen;
    if (!BrowseLumbraExecutable(GetHwnd(), FieldText(IDC_MCP_LUMBRA_EXE), FieldText(IDC_MCP_LUMBRA_FOLDER),
                                m_app.m_texts.m_strProgramFilter, m_app.m_nCodePage, strChosen))
        return;
    SetItemText(IDC_MCP_LUMBRA_EXE, strChosen);
    RefreshStatus();
}

void CControlPanelDlg::OnRegister(bool bUnregister)
{
    ChooseAndStartControlRegistration(GetHwnd(), bUnregister, m_app.m_texts.m_strOcxFilter, m_app.m_nCodePage,
                                      NearestExistingFolder(FieldText(IDC_MCP_MAIN_FOLDER)));
}

void CControlPanelDlg::OnWizard()
{
    m_app.m_strLumbraRoot = LumbraFolderField();
    m_app.m_strLumbraExe = LumbraExeField();
    if (!m_app.RunWizard(GetHwnd()))
        return;
    SetItemText(IDC_MCP_LUMBRA_FOLDER, m_app.m_strWorkingLumbraRoot);
    SetItemText(IDC_MCP_LUMBRA_EXE, m_app.m_strWorkingLumbraExe);
    RefreshStatus();
}

void CControlPanelDlg::OnHandOff()
{
    if (!m_bLumbraExeValid && !FindLumbraWindow())
        return;
    m_pHandOff->Start(LumbraExeField());
}

void CControlPanelDlg::OnTimer(UINT_PTR nIdEvent)
{
    switch (nIdEvent) {
    case kTimerLumbraWait:
        m_pHandOff->OnTimer();
        return;
    case kTimerStatus:
        RefreshStatus();
        return;
    case kTimerOpened:
        KillTimer(kTimerOpened);
        m_app.ShowReleaseNotes();
        m_app.StartUpdateCheck(GetHwnd());
        return;
    default:
        CDialog::OnTimer(nIdEvent);
    }
}

bool CControlPanelDlg::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg == WM_INITMENUPOPUP) {
        CControlPanelMenu::Refill(GetHwnd(), reinterpret_cast<HMENU>(wParam), m_app.m_texts.m_arrMenuStrings,
                                  m_app.m_nCodePage, MenuState());
        lResult = 0;
        return true;
    }
    if (uMsg == WM_HELP) {
        m_app.OpenHelp(0, GetHwnd());
        lResult = TRUE;
        return true;
    }
    return CDialog::OnMessage(uMsg, wParam, lParam, lResult);
}

bool CControlPanelDlg::PreTranslateMessage(MSG& msg)
{
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
        m_toolTip.RelayEvent(msg);
    // F1 anywhere in the window: its help, whether or not the system makes a
    // WM_HELP of the key.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        m_app.OpenHelp(0, GetHwnd());
        return true;
    }
    return CDialog::PreTranslateMessage(msg);
}
