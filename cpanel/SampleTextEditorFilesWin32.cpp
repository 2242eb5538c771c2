// The sample text editor's files: opening a file into an area, saving an
// area, the prompt for unsaved changes, and closing an area. The bytes of
// a file go into the area as they are; its language only shows them.
#include "SampleTextEditorDlg.h"

#include "AreaText.h"
#include "CatalogueMessages.h"
#include "FileDialog.h"
#include "KIVOCPApp.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "PathText.h"
#include "PathUtil.h"
#include "RecentFiles.h"
#include "Registry.h"
#include "ScopedFlag.h"
#include "TextFile.h"
#include "TextTrim.h"

namespace {

constexpr char kRegFile[] = "File";

// How a count of bytes is written in the too-large message.
constexpr char kHeadBytesText[] = "60,000";

// The name of an area's code page in the prompt before characters are lost.
const char* CodePageName(UINT nCodePage)
{
    return nCodePage == 950 ? "Big5" : "GBK";
}

} // namespace

void CSampleTextEditorDlg::ShowError(const std::string& strText)
{
    ShowMessageBox(strText, std::string(), MB_OK | MB_ICONEXCLAMATION, GetHwnd());
}

void CSampleTextEditorDlg::RememberFolder(EArea area, const std::string& strPath)
{
    SetUserRegString(kRegFile, Row(area).pszLastFolderValue, ParentFolder(strPath));
}

bool CSampleTextEditorDlg::ChooseOpenPath(EArea area, std::string& strPath)
{
    const std::string strFolder = GetUserRegString(kRegFile, Row(area).pszLastFolderValue, std::string());
    return ChooseFileToOpen(GetHwnd(), m_app.m_texts.m_strTextFileFilter, m_app.m_nCodePage, strFolder, strPath);
}

bool CSampleTextEditorDlg::ChooseSavePath(EArea area, std::string& strPath)
{
    std::string strStart = GetUserRegString(kRegFile, Row(area).pszLastFolderValue, std::string());
    if (!strStart.empty())
        strStart += "\\";
    std::string strChosen;
    if (!ChooseFileToSave(GetHwnd(), m_app.m_texts.m_strTextFileFilter, m_app.m_nCodePage, strStart, strChosen))
        return false;
    // The dialogs add no extension of their own: notes and notes. become
    // notes.txt. The dialog asked only about the name as typed; the name it
    // becomes may be a file of its own, which is not replaced unasked.
    strPath = EnsureTxtExtension(strChosen, CP_ACP);
    if (strPath.empty())
        return false;
    std::string strTyped = strChosen;
    TrimBlank(strTyped);
    return strPath == strTyped || !PathExists(strPath) || ConfirmOverwrite(strPath);
}

bool CSampleTextEditorDlg::ConfirmOverwrite(const std::string& strPath)
{
    const std::string strQuestion = GetMessage(IDS_MESSAGE_PROMPT_FILE_EXISTS_PROMPT_OVERWRITE, strPath);
    return ShowMessageBox(strQuestion, std::string(), MB_YESNO | MB_ICONQUESTION, GetHwnd()) == IDYES;
}

bool CSampleTextEditorDlg::ConfirmLosingCharacters(EArea area)
{
    const UINT nCodePage = AreaCodePage(area);
    const size_t nLost = CountAreaUnencodable(AreaWindow(area), nCodePage);
    if (nLost == 0)
        return true;
    const std::string strQuestion = ReplacePlaceholder(
        ReplacePlaceholder(GetMessage(IDS_MESSAGE_PROMPT_SAVE_LOSES_CHARACTERS), "#1", std::to_string(nLost)), "#2",
        CodePageName(nCodePage));
    return ShowMessageBox(strQuestion, std::string(), MB_YESNO | MB_ICONEXCLAMATION, GetHwnd()) == IDYES;
}

bool CSampleTextEditorDlg::WriteArea(EArea area, const std::string& strPath)
{
    if (!ConfirmLosingCharacters(area))
        return false;
    CCatalogueMessages messages(GetHwnd());
    std::string strMessage;
    if (WriteTextFile(strPath, AreaBytes(area), strMessage, messages) == kWriteSucceeded)
        return true;
    ShowError(strMessage);
    return false;
}

void CSampleTextEditorDlg::OpenAreaFile(EArea area)
{
    std::string strPath;
    if (ChooseOpenPath(area, strPath))
        LoadAreaFile(strPath, area);
}

void CSampleTextEditorDlg::LoadAreaFile(const std::string& strPath, EArea area)
{
    const CAreaRow& row = Row(area);
    const CControlPanelTexts& texts = m_app.m_texts;
    if (!PathExists(strPath) || FolderExists(strPath)) {
        ShowError(ReplacePlaceholder(texts.m_strFileNotFound, "#1", strPath));
        return;
    }
    if (strPath == this->*row.pFile)
        return;
    if (!CloseArea(area))
        return;
    const HCURSOR hOldCursor = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
    SetStatusText(texts.m_strEditorOpening);

    std::string strText;
    const int nResult = ReadTextFile(strPath, strText, false);
    ::SetCursor(hOldCursor);
    switch (nResult) {
    case kReadCannotOpen:
        ShowError(ReplacePlaceholder(texts.m_strCannotReadFile, "#1", strPath));
        break;
    case kReadNotATextFile:
        ShowError(ReplacePlaceholder(ReplacePlaceholder(texts.m_strBinaryFile, "#1", strPath), "#2",
                                     texts.m_strProductName));
        break;
    case kReadHeadOnly:
    case kReadWhole:
        if (nResult == kReadHeadOnly)
            ShowError(ReplacePlaceholder(
                ReplacePlaceholder(ReplacePlaceholder(texts.m_strFileTooLarge, "#1", strPath), "#2", kHeadBytesText),
                "#3", texts.m_strProductName));
        if (!(this->*row.pShow))
            ToggleArea(area);
        // Named only once its text is in: an area named after a file it does
        // not hold would put what it holds in place of that file on Save.
        if (!PutAreaBytes(area, strText)) {
            // What part of it went in goes again: the area stays closed, as the load left it.
            {
                const CScopedFlag setting(m_bSettingText);
                PutAreaBytes(area, std::string());
            }
            this->*row.pModified = false;
            ShowError(area == kAreaSource ? texts.m_strSourceAreaFull : texts.m_strDestinationAreaFull);
            break;
        }
        // A head alone stays untitled, so that a save never puts it in place of the whole file.
        this->*row.pFile = nResult == kReadWhole ? strPath : std::string();
        this->*row.pModified = false;
        RememberFolder(area, strPath);
        AddRecentFile(strPath, row.pszRecentKey);
        break;
    default:
        break;
    }
    SetStatusText(texts.m_strEditorReady);
}

void CSampleTextEditorDlg::SaveArea(EArea area)
{
    const CAreaRow& row = Row(area);
    std::string strPath = this->*row.pFile;
    TrimBlank(strPath);
    if (strPath.empty() || !PathExists(strPath)) {
        if (!ChooseSavePath(area, strPath))
            return;
    }
    if (!WriteArea(area, strPath))
        return;
    RememberFolder(area, strPath);
    this->*row.pFile = strPath;
    this->*row.pModified = false;
}

int CSampleTextEditorDlg::PromptSaveArea(EArea area)
{
    const CAreaRow& row = Row(area);
    if (!(this->*row.pModified))
        return IDYES;
    const std::string& strFile = this->*row.pFile;
    if (strFile.empty() && IsAreaEmpty(area)) {
        this->*row.pModified = false;
        return IDYES;
    }
    const CControlPanelTexts& texts = m_app.m_texts;
    const bool bSource = area == kAreaSource;
    const std::string strQuestion =
        strFile.empty()
            ? (bSource ? texts.m_strPromptSaveSource : texts.m_strPromptSaveDestination)
            : ReplacePlaceholder(bSource ? texts.m_strPromptSaveSourceToFile : texts.m_strPromptSaveDestinationToFile,
                                 "#1", strFile);
    const unsigned nAnswer = ShowMessageBox(strQuestion, std::string(), MB_YESNOCANCEL | MB_ICONQUESTION, GetHwnd());
    if (nAnswer == IDNO) {
        this->*row.pModified = false;
        return IDNO;
    }
    if (nAnswer != IDYES)
        return IDCANCEL;

    std::string strPath = strFile;
    if (strPath.empty() && !ChooseSavePath(area, strPath))
        return IDCANCEL;
    if (!WriteArea(area, strPath))
        return IDCANCEL;
    this->*row.pFile = strPath;
    RememberFolder(area, strPath);
    AddRecentFile(strPath, row.pszRecentKey);
    this->*row.pModified = false;
    return IDYES;
}

bool CSampleTextEditorDlg::CloseArea(EArea area)
{
    const CAreaRow& row = Row(area);
    if (PromptSaveArea(area) == IDCANCEL)
        return false;
    if (!(this->*row.pFile).empty())
        RememberFolder(area, this->*row.pFile);
    (this->*row.pFile).clear();
    m_bSettingText = true;
    PutAreaBytes(area, std::string());
    m_bSettingText = false;
    this->*row.pModified = false;
    return true;
}
