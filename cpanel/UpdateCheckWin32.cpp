#include "UpdateCheck.h"

#include "DownloadDlg.h"
#include "KIVOCPApp.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "Registry.h"
#include "ScopedCom.h"
#include "TextFile.h"
#include "UpdateTransfer.h"
#include "WebAddresses.h"
#include "WebPageOpener.h"

CUpdateDate TodayDate()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return CUpdateDate{now.wYear, now.wMonth, now.wDay};
}

CUpdateCheck::~CUpdateCheck()
{
    Wait();
}

void CUpdateCheck::Wait()
{
    if (m_hThread)
        ::WaitForSingleObject(m_hThread.Get(), INFINITE);
    m_hThread.Reset();
}

HWND CUpdateCheck::Owner() const
{
    return ::IsWindow(m_hMainWindow) ? m_hMainWindow : nullptr;
}

bool CUpdateCheck::Start()
{
    if (m_hThread && ::WaitForSingleObject(m_hThread.Get(), 0) == WAIT_TIMEOUT)
        return false;
    m_hThread.Reset(::CreateThread(nullptr, 0, &CUpdateCheck::ThreadProc, this, 0, nullptr));
    return static_cast<bool>(m_hThread);
}

DWORD WINAPI CUpdateCheck::ThreadProc(LPVOID pParameter)
{
    // The download's file dialog needs COM on this thread.
    const CScopedComInit com;
    CUpdateCheck& check = *static_cast<CUpdateCheck*>(pParameter);
    if (check.Run())
        check.OfferToExit();
    return 0;
}

bool CUpdateCheck::Run()
{
    const CUpdateDate today = TodayDate();
    const std::string strToday = FormatUpdateDate(today);
    if (GetUserRegString(kRegAutoDetect, kRegLastTry, "") == strToday)
        return false;
    SetUserRegString(kRegAutoDetect, kRegLastTry, strToday);
    if (IsInQuietPeriod(GetUserRegString(kRegAutoDetect, kRegLastDeny, ""), today))
        return false;

    const std::string strSite = VendorSite();
    const std::string strText = CUpdateTransfer::FetchInformation(
        strSite + (m_app.m_bPRCEdition ? "/kivo/download/updtprc.txt" : "/kivo/download/updtinfo.txt"));
    if (strText.empty())
        return false;
    CUpdateInfo info = ParseUpdateInfo(strText);
    const CUpdateDate own{m_app.m_nBuildYear, m_app.m_nBuildMonth, m_app.m_nBuildDay};
    CUpdateDate build;
    if (!IsNewerBuild(info.strBuild, own) || !ReadUpdateDate(info.strBuild, build))
        return false;

    const std::uint32_t nLCID = m_app.m_nLCID;
    const bool bInstaller = IsInstallerUrl(info.strUrl);
    if (!bInstaller)
        info.strUrl = ProductHomePage(strSite, nLCID);
    const CControlPanelTexts& texts = m_app.m_texts;
    std::string strPrompt = texts.m_strNewBuildFound;
    if (!info.strVersion.empty())
        strPrompt += "\r\n\r\n" + GetMessage(IDS_DIALOG_LVUD_VERSION, info.strVersion);
    strPrompt += "\r\n" + GetMessage(IDS_DIALOG_LVUD_BUILD, FormatBuildDate(build));
    if (ShowMessageBox(strPrompt, std::string(), MB_YESNO | MB_ICONQUESTION, Owner()) != IDYES) {
        std::string strChoice = GetMessage(IDS_DIALOG_LVUD_ALTERNATE_CHOICE, texts.m_strProductName,
                                           texts.m_strCompanyName);
        strChoice = ReplacePlaceholder(strChoice, "#1", VendorHomePage(strSite, nLCID));
        strChoice = ReplacePlaceholder(strChoice, "#2", ProductHomePage(strSite, nLCID));
        ShowMessageBox(strChoice, std::string(), MB_OK, Owner());
        SetUserRegString(kRegAutoDetect, kRegLastDeny, strToday);
        return false;
    }
    if (!bInstaller) {
        OpenWebPage(VendorHomePage(strSite, nLCID));
        OpenWebPage(ProductHomePage(strSite, nLCID));
        return false;
    }
    ::ShowWindow(m_hMainWindow, SW_HIDE);
    CDownloadDlg download(m_app, info.strUrl, info.strSha256, info.bHasSha256);
    download.DoModal(nullptr);
    if (download.InstallerStarted()) {
        OpenWebPage(VendorHomePage(strSite, nLCID));
        return true;
    }
    ::ShowWindow(m_hMainWindow, SW_SHOW);
    return false;
}

void CUpdateCheck::OfferToExit()
{
    if (ShowMessageBox(m_app.m_texts.m_strExitForNewVersion, std::string(), MB_YESNO | MB_ICONQUESTION, nullptr) !=
        IDYES) {
        // The panel stays, and shows itself again.
        ::ShowWindow(m_hMainWindow, SW_SHOW);
        return;
    }
    // The editor first: it asks about unsaved text before anything closes.
    if (const HWND hEditor = m_app.GetEditorWindow())
        ::PostMessageA(hEditor, WM_CLOSE, 0, 0);
    ::PostMessageA(m_hMainWindow, WM_CLOSE, 0, 0);
}
