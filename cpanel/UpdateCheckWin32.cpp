#include "UpdateCheck.h"

#include "DownloadDlg.h"
#include "InternetReader.h"
#include "KIVOCPApp.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "Registry.h"
#include "ScopedCom.h"
#include "TextFile.h"
#include "UpdateSignature.h"
#include "UpdateTransfer.h"
#include "WebAddresses.h"
#include "WebPageOpener.h"

CUpdateDate TodayDate()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return CUpdateDate{now.wYear, now.wMonth, now.wDay};
}

CUpdateCheck::CUpdateCheck(CKIVOCPApp& app, HWND hMainWindow)
    : m_app(app), m_hMainWindow(hMainWindow), m_pReader(new CInternetReader)
{
}

CUpdateCheck::~CUpdateCheck()
{
    Stop(INFINITE);
}

bool CUpdateCheck::Stop(DWORD nWaitMs)
{
    m_bStopping = true;
    m_pReader->Cancel();
    if (!m_hThread)
        return true;
    return ::WaitForSingleObject(m_hThread.Get(), nWaitMs) == WAIT_OBJECT_0;
}

HWND CUpdateCheck::Owner() const
{
    return ::IsWindow(m_hMainWindow) ? m_hMainWindow : nullptr;
}

bool CUpdateCheck::Start()
{
    if (m_hThread || m_bStopping)
        return false;
    m_context.texts = m_app.m_texts;
    m_context.nLCID = m_app.m_nLCID;
    m_context.nCharset = m_app.m_nCharset;
    m_context.nCodePage = m_app.m_nCodePage;
    m_context.nMessageLanguage = MessageColumnFor(MessageLanguageCurrent, m_app.m_nLCID);
    m_context.bPRCEdition = m_app.m_bPRCEdition;
    m_context.own = CUpdateDate{m_app.m_nBuildYear, m_app.m_nBuildMonth, m_app.m_nBuildDay};
    m_context.help = m_app.HelpSettings();
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

std::string CUpdateCheck::Message(std::int32_t nId, const std::string& strParam1, const std::string& strParam2) const
{
    return GetMessage(nId, strParam1, strParam2, std::string(), m_context.nMessageLanguage);
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
        strSite + (m_context.bPRCEdition ? "/kivo/download/updtprc.txt" : "/kivo/download/updtinfo.txt"), *m_pReader);
    if (strText.empty() || m_bStopping)
        return false;
    // Not a line is read before the signature holds. A system that cannot
    // check it is only pointed to the vendor's pages, never to a download.
    std::string strBody;
    const ESignatureCheck eSignature = CheckUpdateSignature(strText, strBody);
    if (eSignature == ESignatureCheck::kNotGenuine)
        return false;
    CUpdateInfo info = ParseUpdateInfo(eSignature == ESignatureCheck::kGenuine ? strBody : strText);
    EUpdateOffer eOffer = JudgeUpdateOffer(info, m_context.own, strSite);
    if (eOffer == EUpdateOffer::kNone)
        return false;
    if (eSignature == ESignatureCheck::kCannotCheck)
        eOffer = EUpdateOffer::kHomePage;
    CUpdateDate build;
    ReadUpdateDate(info.strBuild, build);

    const std::uint32_t nLCID = m_context.nLCID;
    const bool bInstaller = eOffer == EUpdateOffer::kInstaller;
    if (!bInstaller)
        info.strUrl = ProductHomePage(strSite, nLCID);
    const CControlPanelTexts& texts = m_context.texts;
    std::string strPrompt = texts.m_strNewBuildFound;
    if (!info.strVersion.empty())
        strPrompt += "\r\n\r\n" + Message(IDS_DIALOG_LVUD_VERSION, info.strVersion);
    strPrompt += "\r\n" + Message(IDS_DIALOG_LVUD_BUILD, FormatBuildDate(build));
    // A panel that is closing shows nothing more.
    if (m_bStopping)
        return false;
    if (ShowMessageBox(strPrompt, std::string(), MB_YESNO | MB_ICONQUESTION, Owner()) != IDYES) {
        if (m_bStopping)
            return false;
        std::string strChoice = Message(IDS_DIALOG_LVUD_ALTERNATE_CHOICE, texts.m_strProductName, texts.m_strCompanyName);
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
    if (m_bStopping)
        return false;
    ::ShowWindow(m_hMainWindow, SW_HIDE);
    CDownloadDlg download(m_context, info.strUrl, info.strSha256);
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
    if (m_bStopping)
        return;
    if (ShowMessageBox(m_context.texts.m_strExitForNewVersion, std::string(), MB_YESNO | MB_ICONQUESTION, nullptr) !=
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
