#include "DownloadDlg.h"

#include "DownloadNames.h"
#include "FileDialog.h"
#include "HelpOpener.h"
#include "MessageBox.h"
#include "MessageCatalogue.h"
#include "PathUtil.h"
#include "TextFile.h"
#include "TextTrim.h"
#include "UpdateCheck.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>

namespace {

// The image buttons: browse, start/stop and close.
enum EButton { kBrowseButton, kStartButton, kCloseButton, kButtonCount };

const int kProgressIds[] = {IDC_DL_PROGRESS, IDC_DL_STATUS, IDC_DL_SPEED, IDC_DL_PERCENT};
// What is locked while a download runs.
const int kIdleOnlyIds[] = {IDC_DL_URL, IDC_DL_SAVE_TO, IDC_DL_BROWSE, IDC_DL_INSTALL, IDCANCEL};

} // namespace

std::string ChooseDownloadFolder()
{
    char szFolder[MAX_PATH] = {};
    std::string strFolder;
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                     szFolder)) &&
        szFolder[0])
        strFolder = RemoveTrailingBackslashes(szFolder) + "\\Perdix\\KIVO\\Download";
    else
        strFolder = SystemTempFolder() + "\\KIVO Download";
    CreateFolderPath(strFolder);
    return strFolder;
}

CDownloadDlg::CDownloadDlg(const CUpdateContext& context, const std::string& strUrl, const std::string& strSha256)
    : CDialog(IDD),
      m_context(context),
      m_strUrl(strUrl),
      m_strSha256(strSha256),
      m_pButtons(new CImageButton[kButtonCount])
{
}

CDownloadDlg::~CDownloadDlg() = default;

bool CDownloadDlg::OnInitDialog()
{
    const CControlPanelTexts& texts = m_context.texts;
    const UINT nCodePage = m_context.nCodePage;
    ApplyCharsetFont(static_cast<BYTE>(m_context.nCharset));
    SetTitle(texts.m_strNewVersionCaption, nCodePage);
    SetItemText(IDC_DL_URL_LABEL, texts.m_strUrlLabel, nCodePage);
    SetItemText(IDC_DL_SAVE_TO_LABEL, texts.m_strSaveToLabel, nCodePage);
    SetItemText(IDC_DL_INSTALL, texts.m_strInstallAfterDownload, nCodePage);
    SetItemText(IDC_DL_URL, m_strUrl);
    m_strFolder = ChooseDownloadFolder();
    SetItemText(IDC_DL_SAVE_TO, m_strFolder + "\\" + InstallerFileName(m_strUrl));
    SetCheck(IDC_DL_INSTALL, BST_CHECKED);

    m_toolTip.Create(GetHwnd());
    m_toolTip.SetFont(GetCharsetFont());
    const struct {
        int nId;
        UINT nImage;
        const std::string* pTip;
    } buttons[kButtonCount] = {
        {IDC_DL_BROWSE, IDB_PATH, &texts.m_strTipPath},
        {IDC_DL_START, IDB_RUN, &texts.m_strTipDownloadNow},
        {IDCANCEL, IDB_EXIT, &texts.m_strTipExit},
    };
    for (int i = 0; i < kButtonCount; ++i) {
        m_pButtons[i].Attach(GetItem(buttons[i].nId));
        m_pButtons[i].LoadImages(buttons[i].nImage, buttons[i].nImage + 1);
        m_pButtons[i].SetToolTip(*buttons[i].pTip, nCodePage, &m_toolTip);
    }

    // The two heights: up to the buttons, and with the progress below them.
    RECT window = {}, bottom = {}, buttons2 = {};
    ::GetWindowRect(GetHwnd(), &window);
    ::GetWindowRect(GetItem(IDC_DL_PERCENT), &bottom);
    ::GetWindowRect(GetItem(IDC_DL_START), &buttons2);
    m_nTallHeight = window.bottom - window.top;
    m_nShortHeight = m_nTallHeight - (bottom.bottom - buttons2.bottom);
    ShowProgress(false);
    return true;
}

void CDownloadDlg::ShowProgress(bool bShow)
{
    for (int nId : kProgressIds)
        ShowItem(nId, bShow);
    RECT window = {};
    ::GetWindowRect(GetHwnd(), &window);
    ::SetWindowPos(GetHwnd(), nullptr, 0, 0, window.right - window.left, bShow ? m_nTallHeight : m_nShortHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDownloadDlg::SetRunning(bool bRunning)
{
    m_bRunning = bRunning;
    for (int nId : kIdleOnlyIds)
        EnableItem(nId, !bRunning);
    if (const HMENU hMenu = ::GetSystemMenu(GetHwnd(), FALSE))
        ::EnableMenuItem(hMenu, SC_CLOSE, MF_BYCOMMAND | (bRunning ? MF_GRAYED : MF_ENABLED));
    const CControlPanelTexts& texts = m_context.texts;
    CImageButton& start = m_pButtons[kStartButton];
    start.LoadImages(bRunning ? IDB_CANCEL : IDB_RUN, (bRunning ? IDB_CANCEL : IDB_RUN) + 1);
    start.SetToolTip(bRunning ? texts.m_strTipStopDownloading : texts.m_strTipDownloadNow, m_context.nCodePage,
                     &m_toolTip);
    ::InvalidateRect(start.GetHwnd(), nullptr, TRUE);
    if (bRunning) {
        ::KillTimer(GetHwnd(), kTimerIdle);
        ShowProgress(true);
    } else {
        // The figures stay a moment before the window folds up again.
        SetTimer(kTimerIdle, 1000);
    }
}

void CDownloadDlg::SetLine(int nId, const std::string& strText)
{
    if (GetItemText(nId, m_context.nCodePage) != strText)
        SetItemText(nId, strText, m_context.nCodePage);
}

void CDownloadDlg::StartOrStop()
{
    if (m_bRunning) {
        m_transfer.Cancel();
        return;
    }
    std::string strSaveTo = GetItemText(IDC_DL_SAVE_TO);
    TrimBlank(strSaveTo);
    if (strSaveTo.empty())
        return;
    m_bInstall = GetCheck(IDC_DL_INSTALL) == BST_CHECKED;
    m_bTroubled = false;
    m_nTotal = m_nReceived = 0;
    SetRunning(true);
    SetLine(IDC_DL_STATUS, m_context.texts.m_strRequestFile);
    CUpdateTransfer::CRequest request;
    request.strUrl = m_strUrl;
    request.hNotify = GetHwnd();
    request.strWorkFolder = m_strFolder;
    request.strSaveTo = strSaveTo;
    request.bInstall = m_bInstall;
    request.strExpectedSha256 = m_strSha256;
    if (!m_transfer.Start(request))
        SetRunning(false);
}

void CDownloadDlg::OnStatus(WPARAM nCode, LPARAM lParam)
{
    const CControlPanelTexts& texts = m_context.texts;
    const std::string strNoSpeed = ReplacePlaceholder(texts.m_strKBPerSecond, "#1", "0");
    switch (nCode) {
    case CUpdateTransfer::kRequesting:
        SetLine(IDC_DL_STATUS, texts.m_strRequestFile);
        SetLine(IDC_DL_SPEED, strNoSpeed);
        return;
    case CUpdateTransfer::kDownloading:
        SetLine(IDC_DL_STATUS, texts.m_strDownloading);
        m_nStartTick = ::GetTickCount();
        m_nTotal = static_cast<std::uint64_t>(lParam);
        m_nReceived = 0;
        ::SendMessageA(GetItem(IDC_DL_PROGRESS), PBM_SETRANGE32, 0, static_cast<LPARAM>(m_nTotal));
        ::SendMessageA(GetItem(IDC_DL_PROGRESS), PBM_SETPOS, 0, 0);
        return;
    case CUpdateTransfer::kCanceled:
        m_bTroubled = true;
        SetLine(IDC_DL_PERCENT, "0%");
        SetLine(IDC_DL_SPEED, strNoSpeed);
        SetLine(IDC_DL_STATUS, texts.m_strDownloadCanceled);
        return;
    case CUpdateTransfer::kMoving: {
        const std::string strTarget = m_transfer.Target().empty() ? GetItemText(IDC_DL_SAVE_TO) : m_transfer.Target();
        SetLine(IDC_DL_STATUS, GetMessage(IDS_DIALOG_LVUD_MOVE_FILE, LastPathPart(strTarget),
                                          NearestExistingFolder(strTarget), std::string(), m_context.nMessageLanguage));
        return;
    }
    case CUpdateTransfer::kMoveFailed:
        m_bTroubled = true;
        SetLine(IDC_DL_STATUS, texts.m_strMoveFailed);
        return;
    case CUpdateTransfer::kStartingInstaller:
        SetLine(IDC_DL_STATUS, texts.m_strStartInstallation);
        return;
    case CUpdateTransfer::kDigestMismatch:
        m_bTroubled = true;
        SetLine(IDC_DL_STATUS, texts.m_strNotGenuine);
        return;
    case CUpdateTransfer::kFailed:
        m_bTroubled = true;
        ShowMessageBox(reinterpret_cast<CUpdateTransfer*>(lParam)->ErrorText(), std::string(), MB_OK, GetHwnd());
        return;
    case CUpdateTransfer::kDone:
        SetTitle(texts.m_strNewVersionCaption, m_context.nCodePage);
        SetLine(IDC_DL_PERCENT, "0%");
        SetLine(IDC_DL_SPEED, strNoSpeed);
        ::SendMessageA(GetItem(IDC_DL_PROGRESS), PBM_SETPOS, 0, 0);
        if (!m_bTroubled)
            SetLine(IDC_DL_STATUS, texts.m_strDownloadComplete);
        m_bInstallerStarted = m_transfer.InstallerStarted();
        if (!m_transfer.Target().empty())
            SetItemText(IDC_DL_SAVE_TO, m_transfer.Target());
        SetRunning(false);
        if (m_bInstallerStarted)
            EndDialog(IDOK);
        return;
    default:
        return;
    }
}

void CDownloadDlg::OnProgress(std::uint64_t nChunk)
{
    m_nReceived += nChunk;
    DWORD nSeconds = (::GetTickCount() - m_nStartTick + 500) / 1000;
    if (nSeconds == 0)
        nSeconds = 1;
    ::SendMessageA(GetItem(IDC_DL_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(m_nReceived), 0);
    char szSpeed[32] = {};
    std::snprintf(szSpeed, sizeof szSpeed, "%0.1f", static_cast<double>(m_nReceived) / 1024.0 / nSeconds);
    SetLine(IDC_DL_SPEED, ReplacePlaceholder(m_context.texts.m_strKBPerSecond, "#1", szSpeed));
    if (m_nTotal) {
        char szPercent[16] = {};
        std::snprintf(szPercent, sizeof szPercent, "%d%%", static_cast<int>(m_nReceived * 100 / m_nTotal));
        SetLine(IDC_DL_PERCENT, szPercent);
    }
    const std::string& strBytes = m_context.texts.m_strBytes;
    SetLine(IDC_DL_STATUS, m_context.texts.m_strDownloading + " " + SizeText(m_nReceived, strBytes) + "/" +
                               SizeText(m_nTotal, strBytes));
}

void CDownloadDlg::OnBrowse()
{
    std::string strChosen;
    if (!ChooseFileToSave(GetHwnd(), m_context.texts.m_strProgramFilter, m_context.nCodePage,
                          GetItemText(IDC_DL_SAVE_TO), strChosen))
        return;
    SetItemText(IDC_DL_SAVE_TO, WithProgramExtension(strChosen));
}

bool CDownloadDlg::OnCommand(int nId, int nCode, HWND hCtl)
{
    if (nCode == BN_CLICKED && nId == IDC_DL_START) {
        StartOrStop();
        return true;
    }
    if (nCode == BN_CLICKED && nId == IDC_DL_BROWSE) {
        OnBrowse();
        return true;
    }
    return CDialog::OnCommand(nId, nCode, hCtl);
}

void CDownloadDlg::OnCancel()
{
    // Escape and Close wait for the download to end: Stop first.
    if (!m_bRunning)
        CDialog::OnCancel();
}

void CDownloadDlg::OnTimer(UINT_PTR nIdEvent)
{
    if (nIdEvent != kTimerIdle)
        return;
    KillTimer(kTimerIdle);
    if (!m_bRunning)
        ShowProgress(false);
}

bool CDownloadDlg::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg == CUpdateTransfer::kStatusMessage) {
        OnStatus(wParam, lParam);
        lResult = 0;
        return true;
    }
    if (uMsg == CUpdateTransfer::kProgressMessage) {
        OnProgress(wParam);
        lResult = 0;
        return true;
    }
    if (uMsg == WM_HELP) {
        ::OpenHelp(kHelpTopic, GetHwnd(), m_context.help);
        lResult = TRUE;
        return true;
    }
    return CDialog::OnMessage(uMsg, wParam, lParam, lResult);
}

bool CDownloadDlg::PreTranslateMessage(MSG& msg)
{
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
        m_toolTip.RelayEvent(msg);
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        ::OpenHelp(kHelpTopic, GetHwnd(), m_context.help);
        return true;
    }
    return CDialog::PreTranslateMessage(msg);
}
