// The texts of the control panel program in the interface language, loaded
// from the message catalogue once per language: the windows read them here
// rather than from the catalogue, and a language switch reloads them all.
#pragma once

#include "IntegrationCheck.h"

#include <string>
#include <vector>

// Lines of the window's label message, counted from 0.
enum EMcpLine : int {
    kMcpLineMiniTitle = 0,
    kMcpLineTitle = 1,
    kMcpLineLanguages = 2,
    kMcpLineRegistration = 3,
    kMcpLineStatus = 4,
    kMcpLineUnregister = 5,
    kMcpLinePathList = 6,
    kMcpLineMainFolder = 7,
    kMcpLineLumbraFolder = 8,
    kMcpLineLumbraExe = 9,
    kMcpLineWordAdjustment = 10,
    kMcpLineOpenLumbra = 11,
    kMcpLineInterfaceLanguage = 12,
    kMcpLineCount = 13,
};

// Lines of the menu message.
enum EMenuLine : int {
    kMenuLineTools = 0,
    kMenuLineWizard = 1,
    kMenuLineEditor = 2,
    kMenuLineRunLumbra = 3,
    kMenuLineRegister = 4,
    kMenuLineUnregister = 5,
    kMenuLineView = 6,
    kMenuLineLanguages = 7,
    kMenuLineEnglish = 8,
    kMenuLineSimplified = 9,
    kMenuLineTraditional = 10,
    kMenuLineHelpMenu = 11,
    kMenuLineHelp = 12,
    kMenuLineAbout = 13,
    kMenuLineCount = 14,
};

// Lines of the window's tooltip message.
enum ETipLine : int {
    kTipLineWizard = 0,
    kTipLineRegister = 1,
    kTipLineEditor = 2,
    kTipLineCheck = 3,
    kTipLineAllFine = 4,
    kTipLineCount = 5,
};

// The registration and path statuses: "not" and "done" of each.
enum EStatusLine : int {
    kStatusNotRegistered = 0,
    kStatusRegistered = 1,
    kStatusNoLumbraFolder = 2,
    kStatusLumbraFolder = 3,
    kStatusNoLumbraExe = 4,
    kStatusLumbraExe = 5,
    kStatusLineCount = 6,
};

struct CControlPanelTexts {
    std::string m_strProductName;
    std::string m_strCompanyName;
    CIntegrationTexts m_integration;
    // "#1" filled with the product name in the two label groups.
    std::vector<std::string> m_arrMcpStrings;
    std::vector<std::string> m_arrMenuStrings;
    std::vector<std::string> m_arrMcpTips;
    std::vector<std::string> m_arrStatusTexts;
    // The instance-limit message: title, the Windows 95 family's text, the NT text.
    std::vector<std::string> m_arrLimitLines;
    std::string m_strMcpInfo;
    std::string m_strWANote;
    std::string m_strWANote98;
    std::string m_strRegisterButton;
    std::string m_strBrowseTitle;
    std::string m_strOcxFilter;
    std::string m_strProgramFilter;
    std::string m_strTipPath;
    std::string m_strTipView;
    std::string m_strTipRun;
    std::string m_strTipHelp;
    std::string m_strTipApply;
    std::string m_strTipExit;
    std::string m_strTipOK;
    std::string m_strTipCancel;
    std::string m_strRegistrationFailed;

    // The configuration wizard: the sheet's caption (also the welcome page's
    // title), then each page's title and body.
    std::string m_strWizardTitle;
    std::string m_strWizardWelcome;
    std::string m_strWizardOcxTitle;
    std::string m_strWizardOcxRegister;
    std::string m_strWizardOcxRegistered;
    std::string m_strWizardLumbraTitle;
    std::string m_strWizardLumbraInfo;
    std::string m_strWizardWATitle;
    std::string m_strWizardWAInfo;
    std::string m_strWizardSummaryTitle;
    std::string m_strWizardSummaryInfo;

    // The update check and the installer download. Texts with "%1" of a
    // value known only then are filled where shown.
    std::string m_strNewVersionCaption;
    std::string m_strUrlLabel;
    std::string m_strSaveToLabel;
    std::string m_strInstallAfterDownload;
    std::string m_strKBPerSecond;  // "#1 KB/sec"
    std::string m_strRequestFile;
    std::string m_strDownloading;
    std::string m_strDownloadCanceled;
    std::string m_strDownloadComplete;
    std::string m_strMoveFailed;
    std::string m_strStartInstallation;
    std::string m_strNotGenuine;
    std::string m_strTipDownloadNow;
    std::string m_strTipStopDownloading;
    std::string m_strBytes;
    std::string m_strNewBuildFound;
    std::string m_strExitForNewVersion;

    // The sample text editor. Its messages keep their "#n" placeholders,
    // filled where shown.
    std::string m_strEditorTitle;
    std::vector<std::string> m_arrEditorLanguages;  // GBK, Big5
    std::string m_strEditorReady;
    std::string m_strEditorAdjusting;
    std::string m_strEditorOpening;
    std::string m_strTextFileFilter;
    std::string m_strTipOpen;
    std::string m_strTipClose;
    std::string m_strTipSave;
    std::string m_strTipCut;
    std::string m_strTipCopy;
    std::string m_strTipCopyAll;
    std::string m_strTipPaste;
    std::string m_strFileNotFound;
    std::string m_strCannotReadFile;
    std::string m_strBinaryFile;
    std::string m_strFileTooLarge;
    std::string m_strPromptSaveSource;
    std::string m_strPromptSaveSourceToFile;
    std::string m_strPromptSaveDestination;
    std::string m_strPromptSaveDestinationToFile;
    std::string m_strSourceAreaFull;
    std::string m_strDestinationAreaFull;
};

// Every text in the current interface language. Groups whose translation
// has a line too many or too few come in English, never shifted.
void LoadControlPanelTexts(CControlPanelTexts& texts);
