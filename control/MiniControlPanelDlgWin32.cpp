#include "MiniControlPanelDlg.h"

#include "CharsetFont.h"
#include "ControlResource.h"
#include "FolderBrowser.h"
#include "KIVOApp.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "Registry.h"
#include "TextFile.h"
#include "TextTrim.h"

namespace {

// Lines of the dialog-strings message, counted from 0.
constexpr int kMcpLineCount = 13;
constexpr int kLineTitle = 0, kLineLanguages = 2, kLinePathList = 6, kLineMainFolder = 7, kLineLumbraFolder = 8;

} // namespace

CMiniControlPanelDlg::CMiniControlPanelDlg(CKIVOApp& app) : CDialog(IDD), m_app(app) {}

bool CMiniControlPanelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillLanguages();
    LoadTexts();
    SetItemText(IDC_MCP_LUMBRA_FOLDER, m_app.m_strLumbraRoot);
    SetItemText(IDC_MCP_MAIN_FOLDER, m_app.m_strMainPath);
    UpdateOK();
    return true;
}

void CMiniControlPanelDlg::FillLanguages()
{
    const CComboBoxRef combo = Combo(IDC_MCP_LANGUAGE);
    combo.ResetContent();
    for (size_t i = 0; i < m_app.m_arrLanguageNames.size(); ++i)
        combo.AddString(m_app.m_arrLanguageNames[i], InterfaceLanguageCodePage(static_cast<int>(i)));
    for (int i = 0; i < kInterfaceLanguageCount; ++i)
        if (InterfaceLanguageLCID(i) == m_app.m_nLCID)
            combo.SetCurSel(i);
}

void CMiniControlPanelDlg::LoadTexts()
{
    const BYTE charset = static_cast<BYTE>(m_app.m_nCharset);
    m_nCodePage = CharsetCodePage(charset);
    ApplyCharsetFont(charset);
    std::vector<std::string> lines;
    GetMessageLines(lines, IDS_DIALOG_MCP_STRINGS, kMcpLineCount);
    lines.resize(kMcpLineCount);
    const std::string& product = m_app.m_strProductName;
    SetTitle(ReplacePlaceholder(lines[kLineTitle], "#1", product), m_nCodePage);
    SetItemText(IDC_MCP_INFO, GetMessage(IDS_DIALOG_MCP_INFO, product), m_nCodePage);
    SetItemText(IDC_MCP_LANGUAGE_GROUP, lines[kLineLanguages], m_nCodePage);
    SetItemText(IDC_MCP_PATH_GROUP, lines[kLinePathList], m_nCodePage);
    SetItemText(IDC_MCP_LUMBRA_LABEL, lines[kLineLumbraFolder], m_nCodePage);
    SetItemText(IDC_MCP_MAIN_LABEL, ReplacePlaceholder(lines[kLineMainFolder], "#1", product), m_nCodePage);
    SetItemText(IDC_MCP_LUMBRA_LOCATE, GetMessage(IDS_TIP_LOCATE_PATH), m_nCodePage);
    SetItemText(IDC_MCP_MAIN_LOCATE, GetMessage(IDS_TIP_LOCATE_PATH), m_nCodePage);
    SetItemText(IDOK, GetMessage(IDS_DIALOG_OK_O), m_nCodePage);
    SetItemText(IDCANCEL, GetMessage(IDS_DIALOG_CANCEL_C), m_nCodePage);
    // The language names keep their own code pages whatever the font.
    ::InvalidateRect(GetHwnd(), nullptr, TRUE);
}

std::string CMiniControlPanelDlg::LumbraFolderText() const
{
    std::string strFolder = GetItemText(IDC_MCP_LUMBRA_FOLDER);
    TrimBlank(strFolder);
    return strFolder;
}

void CMiniControlPanelDlg::UpdateOK()
{
    EnableItem(IDOK, !LumbraFolderText().empty());
}

bool CMiniControlPanelDlg::OnCommand(int nId, int nCode, HWND hCtl)
{
    if (nId == IDC_MCP_LUMBRA_FOLDER && nCode == EN_CHANGE) {
        UpdateOK();
        return true;
    }
    if (nId == IDC_MCP_LANGUAGE && nCode == CBN_SELCHANGE) {
        OnLanguageChosen();
        return true;
    }
    if (nId == IDC_MCP_LUMBRA_LOCATE && nCode == BN_CLICKED) {
        OnLocate(IDC_MCP_LUMBRA_FOLDER, kRegLastLumbraPath);
        return true;
    }
    if (nId == IDC_MCP_MAIN_LOCATE && nCode == BN_CLICKED) {
        OnLocate(IDC_MCP_MAIN_FOLDER, kRegLastMainPath);
        return true;
    }
    return CDialog::OnCommand(nId, nCode, hCtl);
}

void CMiniControlPanelDlg::OnLanguageChosen()
{
    const int nIndex = Combo(IDC_MCP_LANGUAGE).GetCurSel();
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_app.m_arrLanguageNames.size())
        return;
    if (m_app.SwitchLanguage(m_app.m_arrLanguageNames[static_cast<size_t>(nIndex)]))
        LoadTexts();
}

void CMiniControlPanelDlg::OnLocate(int nEditId, const char* pszLastFolderValue)
{
    std::string strStart = GetItemText(nEditId);
    TrimBlank(strStart);
    if (strStart.empty())
        strStart = GetRegString(kRegPath, pszLastFolderValue, "");
    const std::string strChosen =
        BrowseForFolder(GetHwnd(), strStart, GetMessage(IDS_DIALOG_BROWSE_FOR_FOLDER), m_nCodePage);
    if (strChosen.empty())
        return;
    SetRegString(kRegPath, pszLastFolderValue, strChosen);
    SetItemText(nEditId, strChosen);
    UpdateOK();
}

void CMiniControlPanelDlg::OnOK()
{
    const std::string strFolder = LumbraFolderText();
    if (strFolder.empty())
        return;
    const std::string strPrevious = m_app.m_strLumbraRoot;
    m_app.SetLumbraRoot(strFolder);
    std::string strMessage;
    if (!m_app.CheckIntegration(strMessage)) {
        ShowMessageBox(strMessage, std::string(), MB_OK, GetHwnd());
        m_app.SetLumbraRoot(strPrevious);
        return;
    }
    SetRegString(kRegPath, kRegLumbraRoot, strFolder);
    EndDialog(IDOK);
}
