#include "KIVOApp.h"

#include "BuiltInLibrary.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "MiniControlPanelDlg.h"
#include "LoadingDlg.h"
#include "PathUtil.h"
#include "Registry.h"
#include "ScopedFlag.h"
#include "TextTrim.h"
#include "WALoader.h"

namespace {

std::string TrimmedCopy(std::string strText)
{
    TrimBlank(strText);
    return strText;
}

} // namespace

CKIVOApp::CKIVOApp() : m_lists(GetACP()) {}

CKIVOApp::~CKIVOApp() = default;

CKIVOApp& CKIVOApp::Instance()
{
    static CKIVOApp app;
    return app;
}

bool CKIVOApp::InitInstance()
{
    // The Mini Control Panel and the loading window let the host's messages
    // through, and one of them may ask for a control again: that request
    // finds start-up under way and gets no control rather than a second
    // start-up (and a second panel) inside the first.
    if (m_nInitState == 0 && !m_bBuilding) {
        const CScopedFlag building(m_bBuilding);
        m_nInitState = LoadConfiguration() ? 1 : -1;
    }
    return m_nInitState == 1;
}

void CKIVOApp::SetMainPath(const std::string& strMainPath)
{
    m_strMainPath = RemoveTrailingBackslashes(strMainPath);
    m_bMainPathGiven = true;
}

void CKIVOApp::LoadInterfaceTexts()
{
    m_strProductName = GetMessage(IDS_PXT_PRODUCT);
    std::vector<std::string> arrLines;
    GetMessageLines(arrLines, IDS_MESSAGE_INTGRATION_CHECK, kIntegrationMessageLines);
    CIntegrationTexts texts;
    MakeIntegrationTexts(arrLines, texts);
    m_strIntegrationHeader = texts.m_strHeader;
    m_arrIntegrationTemplates = texts.m_arrTemplates;
}

void CKIVOApp::SetLumbraRoot(const std::string& strRoot)
{
    m_strLumbraRoot = strRoot;
    m_strWAFolder = m_strLumbraRoot + "\\ctwa";
    m_arrWAFiles = WordAdjustmentFiles(m_strLumbraRoot);
}

bool CKIVOApp::CheckIntegration(std::string& strMessage) const
{
    CIntegrationTexts texts;
    texts.m_strHeader = m_strIntegrationHeader;
    texts.m_arrTemplates = m_arrIntegrationTemplates;
    const CIntegrationProbe probe{[](const std::string& p) { return FolderExists(p); },
                                  [](const std::string& p) { return PathExists(p) || FolderExists(p); }};
    return RunIntegrationCheck(m_strLumbraRoot, texts, probe, strMessage);
}

bool CKIVOApp::LoadConfiguration()
{
    m_nMessageCount = CountMessages();
    SetRegistryRoot(HKEY_LOCAL_MACHINE, kControlRegistryRoot);
    ChooseStartupLanguage();  // builds the texts through LoadInterfaceTexts

    if (!m_bMainPathGiven)
        m_strMainPath = RemoveTrailingBackslashes(GetModulePath(ModulePathFolder));
    m_strConfigFolder = m_strMainPath + "\\config";
    SetLumbraRoot(TrimmedCopy(GetRegString(kRegPath, kRegLumbraRoot, "")));

    for (;;) {
        if (!m_strLumbraRoot.empty() && FolderExists(m_strLumbraRoot)) {
            std::string strMessage;
            if (CheckIntegration(strMessage))
                break;
            ShowMessage(strMessage);
            return false;
        }
        if (RunMiniControlPanel() != IDOK)
            return false;
    }

    m_strSystemTemp = SystemTempFolder();
    m_strWorkFolder = m_strMainPath + "\\temp";
    CreateFolderPath(m_strConfigFolder);
    CreateFolderPath(m_strWorkFolder);
    PrepareWordAdjustment();
    return true;
}

void CKIVOApp::PrepareWordAdjustment()
{
    const CWALoadPlaces places{m_strWAFolder, m_strLumbraRoot + "\\config", TempFolders(), UserLibraryCacheFolder()};
    RunLoadingWindow(false, kLoadingModeWordAdjustment, GetMessage(IDS_DIALOG_CTP_STRINGS),
                     [this, &places](CLoadingReport& report, bool bLoadAll) {
                         LoadWordAdjustment(&report, bLoadAll, places, m_lists);
                     },
                     LoadingWindowOwner());
}

int CKIVOApp::ReloadWordAdjustment()
{
    // The loader lets waiting messages run between libraries, and a host may
    // ask again from one of them (a double click on its reload button). A
    // second build would clear the lists the first one goes on appending to,
    // so the request is answered at once. 0, not 1: nothing was reloaded for
    // it, and the build under way read the registry before it was made.
    if (m_bBuilding)
        return 0;
    const CScopedFlag building(m_bBuilding);
    SetLumbraRoot(TrimmedCopy(GetRegString(kRegPath, kRegLumbraRoot, "")));
    std::string strMessage;
    if (!CheckIntegration(strMessage)) {
        ShowMessage(strMessage);
        return 0;
    }
    PrepareWordAdjustment();
    return 1;
}

INT_PTR CKIVOApp::RunMiniControlPanel()
{
    CMiniControlPanelDlg dlg(*this);
    return dlg.DoModal(nullptr);
}

void CKIVOApp::ShowMessage(const std::string& strText)
{
    ShowMessageBox(strText, std::string(), MB_OK);
}
