#include "ControlPanelTexts.h"

#include "MessageCatalogue.h"
#include "TextFile.h"

namespace {

std::vector<std::string> Lines(std::int32_t nId, int nCount, const std::string& strProductName)
{
    std::vector<std::string> arrLines;
    GetMessageLines(arrLines, nId, nCount);
    arrLines.resize(static_cast<size_t>(nCount));
    if (!strProductName.empty())
        for (std::string& strLine : arrLines)
            strLine = ReplacePlaceholder(strLine, "#1", strProductName);
    return arrLines;
}

// The single texts: each member and its row; those marked take the product
// name for "%1".
struct CSingleText {
    std::string CControlPanelTexts::*pText;
    std::int32_t nId;
    bool bProduct;
};

const CSingleText kSingleTexts[] = {
    {&CControlPanelTexts::m_strWANote, IDS_DIALOG_MCP_WA_NOTE, false},
    {&CControlPanelTexts::m_strWANote98, IDS_DIALOG_MCP_WA_NOTE98, false},
    {&CControlPanelTexts::m_strRegisterButton, IDS_DIALOG_WIZARD_OCX_INFO_REGISTER_R, false},
    {&CControlPanelTexts::m_strBrowseTitle, IDS_DIALOG_BROWSE_FOR_FOLDER, false},
    {&CControlPanelTexts::m_strOcxFilter, IDS_DIALOG_MCP_FILE_TYPE_ACTIVEX_CONTROL, false},
    {&CControlPanelTexts::m_strProgramFilter, IDS_DIALOG_LVUD_FILE_TYPE_PROGRAM_AND_ALL, false},
    {&CControlPanelTexts::m_strTipPath, IDS_TIP_PATH, false},
    {&CControlPanelTexts::m_strTipView, IDS_TIP_VIEW, false},
    {&CControlPanelTexts::m_strTipRun, IDS_TIP_RUN, false},
    {&CControlPanelTexts::m_strTipHelp, IDS_TIP_HELP, false},
    {&CControlPanelTexts::m_strTipApply, IDS_TIP_APPLY, false},
    {&CControlPanelTexts::m_strTipExit, IDS_TIP_EXIT, false},
    {&CControlPanelTexts::m_strTipOK, IDS_DIALOG_OK, false},
    {&CControlPanelTexts::m_strTipCancel, IDS_DIALOG_CANCEL, false},
    {&CControlPanelTexts::m_strWizardTitle, IDS_DIALOG_WIZARD_TITLE, false},
    {&CControlPanelTexts::m_strWizardWelcome, IDS_DIALOG_WIZARD_WELCOME_INFO, false},
    {&CControlPanelTexts::m_strWizardOcxTitle, IDS_DIALOG_WIZARD_OCX_TITLE, false},
    {&CControlPanelTexts::m_strWizardOcxRegister, IDS_DIALOG_WIZARD_OCX_INFO_REGISTER, false},
    {&CControlPanelTexts::m_strWizardOcxRegistered, IDS_DIALOG_WIZARD_OCX_INFO_REGISTERED, false},
    {&CControlPanelTexts::m_strWizardLumbraTitle, IDS_DIALOG_WIZARD_LUMBRA_TITLE, false},
    {&CControlPanelTexts::m_strWizardLumbraInfo, IDS_DIALOG_WIZARD_LUMBRA_INFO, false},
    {&CControlPanelTexts::m_strWizardWATitle, IDS_DIALOG_WIZARD_WA_TITLE, false},
    {&CControlPanelTexts::m_strWizardWAInfo, IDS_DIALOG_WIZARD_WA_INFO, false},
    {&CControlPanelTexts::m_strWizardSummaryTitle, IDS_DIALOG_WIZARD_SUMMARY_TITLE, false},
    {&CControlPanelTexts::m_strWizardSummaryInfo, IDS_DIALOG_WIZARD_SUMMARY_INFO, false},
    {&CControlPanelTexts::m_strUrlLabel, IDS_DIALOG_LVUD_URL_U, false},
    {&CControlPanelTexts::m_strSaveToLabel, IDS_DIALOG_LVUD_SAVE_TO_S, false},
    {&CControlPanelTexts::m_strInstallAfterDownload, IDS_DIALOG_LVUD_INSTALL_AFTER_DOWNLOAD_I, false},
    {&CControlPanelTexts::m_strKBPerSecond, IDS_DIALOG_LVUD_KB_SEC, false},
    {&CControlPanelTexts::m_strRequestFile, IDS_DIALOG_LVUD_REQUEST_FILE, false},
    {&CControlPanelTexts::m_strDownloading, IDS_DIALOG_LVUD_DOWNLOADING, false},
    {&CControlPanelTexts::m_strDownloadCanceled, IDS_DIALOG_LVUD_DOWNLOAD_CANCELED, false},
    {&CControlPanelTexts::m_strDownloadComplete, IDS_DIALOG_LVUD_DOWNLOAD_COMPLETE, false},
    {&CControlPanelTexts::m_strMoveFailed, IDS_DIALOG_LVUD_MOVE_FILE_FAILED, false},
    {&CControlPanelTexts::m_strStartInstallation, IDS_DIALOG_LVUD_START_INSTALLATION, false},
    {&CControlPanelTexts::m_strNotGenuine, IDS_DIALOG_LVUD_INSTALLER_NOT_GENUINE, false},
    {&CControlPanelTexts::m_strTipDownloadNow, IDS_DIALOG_LVUD_TIP_DOWNLOAD_NOW, false},
    {&CControlPanelTexts::m_strTipStopDownloading, IDS_DIALOG_LVUD_TIP_STOP_DOWNLOADING, false},
    {&CControlPanelTexts::m_strBytes, IDS_DIALOG_DCE_PROPERTIES_BYTES, false},
    {&CControlPanelTexts::m_strEditorTitle, IDS_DIALOG_DCE_TITLE, true},
    {&CControlPanelTexts::m_strEditorReady, IDS_DIALOG_DCE_STATUS_IDLEMESSAGE, false},
    {&CControlPanelTexts::m_strEditorAdjusting, IDS_DIALOG_DCE_STATUS_ADJUSTING_TEXT_CODE, false},
    {&CControlPanelTexts::m_strEditorOpening, IDS_DIALOG_DCE_STATUS_OPENING_FILE, false},
    {&CControlPanelTexts::m_strTextFileFilter, IDS_DIALOG_DCE_FILE_TYPE, false},
    {&CControlPanelTexts::m_strTipOpen, IDS_TIP_OPEN, false},
    {&CControlPanelTexts::m_strTipClose, IDS_TIP_CLOSE, false},
    {&CControlPanelTexts::m_strTipSave, IDS_TIP_SAVE, false},
    {&CControlPanelTexts::m_strTipCut, IDS_TIP_CUT, false},
    {&CControlPanelTexts::m_strTipCopy, IDS_TIP_COPY, false},
    {&CControlPanelTexts::m_strTipCopyAll, IDS_TIP_COPY_ALL, false},
    {&CControlPanelTexts::m_strTipPaste, IDS_TIP_PASTE, false},
    {&CControlPanelTexts::m_strFileNotFound, IDS_ERROR_FILE_FILE_NOT_EXIST, false},
    {&CControlPanelTexts::m_strCannotReadFile, IDS_DIALOG_DCE_MSG_CAN_NOT_READ_FILE, false},
    {&CControlPanelTexts::m_strBinaryFile, IDS_DIALOG_DCE_PROMPT_BINARY_FILE, false},
    {&CControlPanelTexts::m_strFileTooLarge, IDS_DIALOG_DCE_MSG_FILE_TOO_LARGE_READ_HEAD, false},
    {&CControlPanelTexts::m_strPromptSaveSource, IDS_DIALOG_DCE_PROMPT_SAVE_SOURCE, false},
    {&CControlPanelTexts::m_strPromptSaveSourceToFile, IDS_DIALOG_DCE_PROMPT_SAVE_SOURCE_TO_FILE, false},
    {&CControlPanelTexts::m_strPromptSaveDestination, IDS_DIALOG_DCE_PROMPT_SAVE_DESTINATION, false},
    {&CControlPanelTexts::m_strPromptSaveDestinationToFile, IDS_DIALOG_DCE_PROMPT_SAVE_DESTINATION_TO_FILE, false},
    {&CControlPanelTexts::m_strSourceAreaFull, IDS_DIALOG_DCE_MSG_SOURCE_AREA_FULL, false},
    {&CControlPanelTexts::m_strDestinationAreaFull, IDS_DIALOG_DCE_MSG_DESTINATION_AREA_FULL, false},
    {&CControlPanelTexts::m_strMcpInfo, IDS_DIALOG_MCP_INFO, true},
    {&CControlPanelTexts::m_strRegistrationFailed, IDS_MESSAGE_PROMPT_REG_OCX_FAILED, true},
    {&CControlPanelTexts::m_strNewVersionCaption, IDS_DIALOG_LVUD_NEW_VERSION, true},
    {&CControlPanelTexts::m_strNewBuildFound, IDS_DIALOG_LVUD_PROMPT_NEW_BUILD_FOUND, true},
    {&CControlPanelTexts::m_strExitForNewVersion, IDS_DIALOG_DCE_PROMPT_EXIT_FOR_NEW_VERSION_TO_INSTALL, true},
};

} // namespace

void LoadControlPanelTexts(CControlPanelTexts& texts)
{
    texts.m_strProductName = GetMessage(IDS_PXT_PRODUCT);
    texts.m_strCompanyName = GetMessage(IDS_PXT_COMPANY);
    const std::string& product = texts.m_strProductName;

    MakeIntegrationTexts(Lines(IDS_MESSAGE_INTGRATION_CHECK, kIntegrationMessageLines, std::string()),
                         texts.m_integration);
    texts.m_arrMcpStrings = Lines(IDS_DIALOG_MCP_STRINGS, kMcpLineCount, product);
    texts.m_arrMenuStrings = Lines(IDS_DIALOG_MENU_STRINGS, kMenuLineCount, product);
    texts.m_arrMcpTips = Lines(IDS_DIALOG_MCP_TIPS, kTipLineCount, std::string());
    texts.m_arrStatusTexts = Lines(IDS_MESSAGE_VALIDATION_CHECK_MESSAGE, kStatusLineCount, std::string());
    // Its placeholders mean other things line by line: filled where shown.
    texts.m_arrLimitLines = Lines(IDS_ERROR_PROMPT_LIMLIT_ACTIONS, 3, std::string());
    texts.m_arrEditorLanguages = Lines(IDS_DIALOG_DCE_LANGUAGE_LIST, 2, std::string());

    for (const CSingleText& text : kSingleTexts)
        texts.*text.pText = GetMessage(text.nId, text.bProduct ? product : std::string());
}
