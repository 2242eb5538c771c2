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

    texts.m_strMcpInfo = GetMessage(IDS_DIALOG_MCP_INFO, product);
    texts.m_strWANote = GetMessage(IDS_DIALOG_MCP_WA_NOTE);
    texts.m_strWANote98 = GetMessage(IDS_DIALOG_MCP_WA_NOTE98);
    texts.m_strRegisterButton = GetMessage(IDS_DIALOG_WIZARD_OCX_INFO_REGISTER_R);
    texts.m_strBrowseTitle = GetMessage(IDS_DIALOG_BROWSE_FOR_FOLDER);
    texts.m_strOcxFilter = GetMessage(IDS_DIALOG_MCP_FILE_TYPE_ACTIVEX_CONTROL);
    texts.m_strProgramFilter = GetMessage(IDS_DIALOG_LVUD_FILE_TYPE_PROGRAM_AND_ALL);
    texts.m_strTipPath = GetMessage(IDS_TIP_PATH);
    texts.m_strTipView = GetMessage(IDS_TIP_VIEW);
    texts.m_strTipRun = GetMessage(IDS_TIP_RUN);
    texts.m_strTipHelp = GetMessage(IDS_TIP_HELP);
    texts.m_strTipApply = GetMessage(IDS_TIP_APPLY);
    texts.m_strTipExit = GetMessage(IDS_TIP_EXIT);
    texts.m_strTipOK = GetMessage(IDS_DIALOG_OK);
    texts.m_strTipCancel = GetMessage(IDS_DIALOG_CANCEL);
    texts.m_strRegistrationFailed = GetMessage(IDS_MESSAGE_PROMPT_REG_OCX_FAILED, product);

    texts.m_strWizardTitle = GetMessage(IDS_DIALOG_WIZARD_TITLE);
    texts.m_strWizardWelcome = GetMessage(IDS_DIALOG_WIZARD_WELCOME_INFO);
    texts.m_strWizardOcxTitle = GetMessage(IDS_DIALOG_WIZARD_OCX_TITLE);
    texts.m_strWizardOcxRegister = GetMessage(IDS_DIALOG_WIZARD_OCX_INFO_REGISTER);
    texts.m_strWizardOcxRegistered = GetMessage(IDS_DIALOG_WIZARD_OCX_INFO_REGISTERED);
    texts.m_strWizardLumbraTitle = GetMessage(IDS_DIALOG_WIZARD_LUMBRA_TITLE);
    texts.m_strWizardLumbraInfo = GetMessage(IDS_DIALOG_WIZARD_LUMBRA_INFO);
    texts.m_strWizardWATitle = GetMessage(IDS_DIALOG_WIZARD_WA_TITLE);
    texts.m_strWizardWAInfo = GetMessage(IDS_DIALOG_WIZARD_WA_INFO);
    texts.m_strWizardSummaryTitle = GetMessage(IDS_DIALOG_WIZARD_SUMMARY_TITLE);
    texts.m_strWizardSummaryInfo = GetMessage(IDS_DIALOG_WIZARD_SUMMARY_INFO);

    texts.m_strNewVersionCaption = GetMessage(IDS_DIALOG_LVUD_NEW_VERSION, product);
    texts.m_strUrlLabel = GetMessage(IDS_DIALOG_LVUD_URL_U);
    texts.m_strSaveToLabel = GetMessage(IDS_DIALOG_LVUD_SAVE_TO_S);
    texts.m_strInstallAfterDownload = GetMessage(IDS_DIALOG_LVUD_INSTALL_AFTER_DOWNLOAD_I);
    texts.m_strKBPerSecond = GetMessage(IDS_DIALOG_LVUD_KB_SEC);
    texts.m_strRequestFile = GetMessage(IDS_DIALOG_LVUD_REQUEST_FILE);
    texts.m_strDownloading = GetMessage(IDS_DIALOG_LVUD_DOWNLOADING);
    texts.m_strDownloadCanceled = GetMessage(IDS_DIALOG_LVUD_DOWNLOAD_CANCELED);
    texts.m_strDownloadComplete = GetMessage(IDS_DIALOG_LVUD_DOWNLOAD_COMPLETE);
    texts.m_strMoveFailed = GetMessage(IDS_DIALOG_LVUD_MOVE_FILE_FAILED);
    texts.m_strStartInstallation = GetMessage(IDS_DIALOG_LVUD_START_INSTALLATION);
    texts.m_strNotGenuine = GetMessage(IDS_DIALOG_LVUD_INSTALLER_NOT_GENUINE);
    texts.m_strTipDownloadNow = GetMessage(IDS_DIALOG_LVUD_TIP_DOWNLOAD_NOW);
    texts.m_strTipStopDownloading = GetMessage(IDS_DIALOG_LVUD_TIP_STOP_DOWNLOADING);
    texts.m_strBytes = GetMessage(IDS_DIALOG_DCE_PROPERTIES_BYTES);
    texts.m_strNewBuildFound = GetMessage(IDS_DIALOG_LVUD_PROMPT_NEW_BUILD_FOUND, product);
    texts.m_strExitForNewVersion = GetMessage(IDS_DIALOG_DCE_PROMPT_EXIT_FOR_NEW_VERSION_TO_INSTALL, product);
}
