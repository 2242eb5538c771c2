#include "KIVOCPApp.h"

#include "ActiveXHost.h"
#include "CharsetFont.h"
#include "ChildControls.h"
#include "ConfigWizard.h"
#include "ControlPanelDlg.h"
#include "ControlPanelSettings.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "PathUtil.h"
#include "SampleTextEditorDlg.h"
#include "Registry.h"
#include "ScopedCom.h"
#include "SystemInfo.h"
#include "TextFile.h"
#include "TextTrim.h"
#include "TransferTempFiles.h"
#include "UpdateCheck.h"

#include <shellapi.h>

#include <cstdio>

namespace {

bool IsNoOcxCommand(const std::string& strCommand)
{
    return ::lstrcmpiA(strCommand.c_str(), "noocx") == 0;
}

struct CInstanceCount {
    int nCount = 0;
};

// A named callback: 32-bit Windows calls it as stdcall, which a lambda is not.
BOOL CALLBACK CountPanelWindow(HWND hWnd, LPARAM lParam)
{
    if ((::GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE) == 0)
        return TRUE;
    char szClass[20] = {};
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (::lstrcmpiA(szClass, kControlPanelClass) == 0)
        ++reinterpret_cast<CInstanceCount*>(lParam)->nCount;
    return TRUE;
}

} // namespace

CKIVOCPApp::CKIVOCPApp() = default;

CKIVOCPApp::~CKIVOCPApp() = default;

CKIVOCPApp& CKIVOCPApp::Instance()
{
    static CKIVOCPApp app;
    return app;
}

int CKIVOCPApp::Run(const std::string& strCommandLine)
{
    InitInstance(strCommandLine);
    ExitInstance();
    return 0;
}

bool CKIVOCPApp::InitInstance(const std::string& strCommandLine)
{
    InitActiveXHosting();
    m_nMessageCount = CountMessages();
    SetRegistryRoot(HKEY_LOCAL_MACHINE, kKivoRegistryPath);
    if (!LoadSettings())
        return false;

    std::string strCommand = strCommandLine;
    TrimBlank(strCommand);
    if (!strCommand.empty()) {
        // The tester asks for the configuration when it finds no control.
        if (IsNoOcxCommand(strCommand))
            RunNoOcxWizard();
        return true;
    }

    m_nBuildYear = kBuildYear;
    m_nBuildMonth = kBuildMonth;
    m_nBuildDay = kBuildDay;
    char szDate[32] = {};
    std::snprintf(szDate, sizeof szDate, "%d-%d-%d", m_nBuildYear, m_nBuildMonth, m_nBuildDay);
    m_strBuildDate = szDate;

    const CScopedComInit com;
    const CScopedOleInit ole;
    if (!ole.IsUsable()) {
        ::MessageBoxA(nullptr, "Ole Initialization Failed", nullptr, MB_OK | MB_ICONSTOP);
        return false;
    }
    CControlPanelDlg dialog(*this);
    m_pMainDialog = &dialog;
    dialog.DoModal(nullptr);
    m_pMainDialog = nullptr;
    return false;
}

void CKIVOCPApp::RunNoOcxWizard()
{
    // The shell's folder and file dialogs need COM on this thread.
    const CScopedComInit com;
    if (!RunWizard(nullptr)) {
        ShowMessage(m_texts.m_strRegistrationFailed);
        return;
    }
    const std::string strTester = m_strMainPath + "\\kivotester.exe";
    ::ShellExecuteA(nullptr, "open", strTester.c_str(), nullptr, m_strMainPath.c_str(), SW_SHOW);
}

void CKIVOCPApp::RunSampleTextEditor(HWND hOwner)
{
    if (m_hEditorWindow.load())
        return;
    CSampleTextEditorDlg editor(*this);
    editor.DoModal(hOwner);
}

bool CKIVOCPApp::RunWizard(HWND hOwner)
{
    // One wizard at a time: it works on the application's working paths.
    if (m_pWizard)
        return false;
    const std::string strSavedRoot = m_strWorkingLumbraRoot;
    const std::string strSavedExe = m_strWorkingLumbraExe;
    m_strWorkingLumbraRoot = m_strLumbraRoot;
    m_strWorkingLumbraExe = m_strLumbraExe;
    CConfigWizard wizard(*this);
    m_pWizard = &wizard;
    const bool bFinished = wizard.DoModal(hOwner) == ID_WIZFINISH;
    m_pWizard = nullptr;
    if (bFinished)
        return true;
    m_strWorkingLumbraRoot = strSavedRoot;
    m_strWorkingLumbraExe = strSavedExe;
    return false;
}

bool CKIVOCPApp::ApplyLumbraPaths(const std::string& strLumbraRoot, const std::string& strLumbraExe,
                                  std::string& strMessage)
{
    if (!CheckIntegration(strLumbraRoot, strMessage))
        return false;
    m_strLumbraRoot = strLumbraRoot;
    m_strLumbraExe = strLumbraExe;
    // Without the rights to write here the panel goes on with the paths for this run.
    SetRegString(kRegPath, kRegLumbraRoot, m_strLumbraRoot);
    SetRegString(kRegPath, kRegLumbraExe, m_strLumbraExe);
    return true;
}

void CKIVOCPApp::StartUpdateCheck(HWND hMainWindow)
{
    if (!m_pUpdateCheck)
        m_pUpdateCheck.reset(new CUpdateCheck(*this, hMainWindow));
    m_pUpdateCheck->Start();
}

void CKIVOCPApp::ExitInstance()
{
    // The window is gone: a new start may begin at once, even while the
    // update check winds down.
    m_hInstanceMutex.Reset();
    const bool bCheckEnded = !m_pUpdateCheck || m_pUpdateCheck->Stop(kUpdateCheckExitWaitMs);
    DeleteTransferTempFiles();
    // A check still held by the system (a request the internet client does
    // not give up) ends with the process, not after it.
    if (!bCheckEnded)
        ::ExitProcess(0);
}

bool CKIVOCPApp::LoadSettings()
{
    if (!AcquireSingleInstance())
        return false;
    m_strMainPath = RemoveTrailingBackslashes(GetModulePath(ModulePathFolder));
    m_strConfigFolder = m_strMainPath + "\\config";
    m_strEditionConfigFile = m_strConfigFolder + "\\configbasesd.ini";
    m_strLumbraRoot = RemoveTrailingBackslashes(GetRegString(kRegPath, kRegLumbraRoot, ""));
    TrimBlank(m_strLumbraRoot);
    m_strLumbraExe = GetRegString(kRegPath, kRegLumbraExe, "");
    TrimBlank(m_strLumbraExe);

    // The language comes before the look at Lumbra's data, so that what is
    // missing is told in the user's language.
    ChooseInterfaceLanguage();
    if (!m_strLumbraRoot.empty() && FolderExists(m_strLumbraRoot)) {
        std::string strMessage;
        // The panel starts either way: it is where the user mends this.
        if (!CheckIntegration(m_strLumbraRoot, strMessage))
            ShowMessage(strMessage);
    }

    m_strSystemTemp = SystemTempFolder();
    m_strWorkFolder = m_strMainPath + "\\temp";
    CreateFolderPath(m_strConfigFolder);
    CreateFolderPath(m_strWorkFolder);

    m_bNT = IsWindowsNT();
    if (!CheckInstanceLimit())
        return false;
    SetRegString("App", "Path", GetModulePath(ModulePathFile));
    return true;
}

bool CKIVOCPApp::AcquireSingleInstance()
{
    m_hInstanceMutex.Reset(::CreateMutexA(nullptr, FALSE, kControlPanelClass));
    // No mutex is no proof of being alone: the name may be held by a panel of
    // another user, who may not open it, or by some other object.
    if (!m_hInstanceMutex || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        if (const HWND hRunning = ::FindWindowA(kControlPanelClass, nullptr)) {
            if (::IsIconic(hRunning))
                ::ShowWindow(hRunning, SW_RESTORE);
            ::BringWindowToTop(hRunning);
            ::SetForegroundWindow(hRunning);
        }
        return false;
    }
    RegisterWindowClass();
    return true;
}

bool CKIVOCPApp::RegisterWindowClass()
{
    // A Unicode class, so that the windows keep their Chinese titles
    // whatever the system's code page.
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(nullptr, MAKEINTRESOURCEW(0x8002), &wc))  // "#32770"
        return false;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Perdix_KIVOCP";
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CKIVOCPApp::CheckIntegration(const std::string& strLumbraRoot, std::string& strMessage) const
{
    const CIntegrationProbe probe{[](const std::string& p) { return FolderExists(p); },
                                  [](const std::string& p) { return PathExists(p) || FolderExists(p); }};
    return RunIntegrationCheck(strLumbraRoot, m_texts.m_integration, probe, strMessage);
}

void CKIVOCPApp::ChooseInterfaceLanguage()
{
    if (m_bPRCEdition)
        SetFixedLanguage(kLcidSimplifiedChinese);
    else
        ChooseStartupLanguage();
}

bool CKIVOCPApp::SwitchInterfaceLanguage(const std::string& strName)
{
    return SwitchLanguage(strName);
}

void CKIVOCPApp::LoadInterfaceTexts()
{
    LoadControlPanelTexts(m_texts);
    m_nCodePage = CharsetCodePage(static_cast<BYTE>(m_nCharset));
}

int CKIVOCPApp::CountInstances()
{
    CInstanceCount count;
    ::EnumWindows(&CountPanelWindow, reinterpret_cast<LPARAM>(&count));
    m_nInstanceCount = count.nCount;
    return m_nInstanceCount;
}

bool CKIVOCPApp::CheckInstanceLimit()
{
    const int nLimit = m_bNT ? kInstanceLimitNT : kInstanceLimit9x;
    const int nCount = CountInstances();
    if (nCount < nLimit)
        return true;
    const std::vector<std::string>& lines = m_texts.m_arrLimitLines;
    const std::string strTitle = ReplacePlaceholder(lines[0], "#1", m_texts.m_strProductName);
    // A box of this title on the screen already says it: one at a time.
    std::wstring wstrTitle;
    if (MultiByteToWideString(strTitle, m_nCodePage, wstrTitle) && ::FindWindowW(nullptr, wstrTitle.c_str()))
        return false;
    const std::string strText =
        m_bNT ? ReplacePlaceholder(ReplacePlaceholder(lines[2], "#1", std::to_string(nCount)), "#2",
                                   m_texts.m_strProductName)
              : ReplacePlaceholder(ReplacePlaceholder(lines[1], "#1", std::to_string(kInstanceLimit9x)), "#2",
                                   m_texts.m_strProductName);
    ShowMessage(strText, strTitle);
    return CountInstances() < nLimit;
}

void CKIVOCPApp::DeleteTransferTempFiles() const
{
    if (!m_strWorkFolder.empty())
        DeleteTransferTempFilesIn(m_strWorkFolder);
}

void CKIVOCPApp::ShowMessage(const std::string& strText, const std::string& strTitle) const
{
    const HWND hOwner = m_pMainDialog ? m_pMainDialog->GetHwnd() : nullptr;
    ShowMessageBox(strText, strTitle.empty() ? m_texts.m_strProductName : strTitle, MB_OK, hOwner);
}
