#include "UpdateTransfer.h"

#include "DownloadNames.h"
#include "InstallerDigest.h"
#include "PathUtil.h"
#include "UpdateInfo.h"

#include <wininet.h>

#include <shellapi.h>

#include <cstdio>

namespace {

bool WriteAll(HANDLE hFile, const std::string& strData)
{
    DWORD nWritten = 0;
    return ::WriteFile(hFile, strData.data(), static_cast<DWORD>(strData.size()), &nWritten, nullptr) &&
           nWritten == strData.size();
}

std::string HttpErrorText(DWORD nStatus)
{
    char szText[64] = {};
    std::snprintf(szText, sizeof szText, "HTTP %lu", static_cast<unsigned long>(nStatus));
    return szText;
}

} // namespace

CUpdateTransfer::~CUpdateTransfer()
{
    Cancel();
    Wait();
}

bool CUpdateTransfer::Start(const CRequest& request)
{
    if (m_hThread && !m_bDone)
        return false;
    Wait();
    m_request = request;
    m_pReader.reset(new CInternetReader);
    m_bCancel = false;
    m_bDone = false;
    m_bInstallerStarted = false;
    m_strTarget.clear();
    m_strError.clear();
    m_nReceived = 0;
    m_hThread.Reset(::CreateThread(nullptr, 0, &CUpdateTransfer::ThreadProc, this, 0, nullptr));
    if (!m_hThread)
        m_bDone = true;
    return static_cast<bool>(m_hThread);
}

void CUpdateTransfer::Cancel()
{
    m_bCancel = true;
    if (m_pReader && !m_bDone)
        m_pReader->Cancel();
}

void CUpdateTransfer::Wait()
{
    if (!m_hThread)
        return;
    // The worker sends to the dialog: a dialog thread that waits here keeps answering it.
    const HANDLE hThread = m_hThread.Get();
    for (;;) {
        const DWORD nWait = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (nWait != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    m_hThread.Reset();
}

std::string CUpdateTransfer::FetchInformation(const std::string& strUrl, CInternetReader& reader)
{
    CInternetReader::CHead head;
    if (!reader.Start(strUrl) || reader.WaitHead(head) != CInternetReader::kData || head.nStatus >= 400)
        return std::string();
    if (head.bHasLength && head.nLength > kMaxInformationBytes)
        return std::string();
    std::string strText;
    for (std::string strPiece;;) {
        const CInternetReader::EEvent eEvent = reader.Next(strPiece);
        if (eEvent == CInternetReader::kEnd)
            break;
        if (eEvent != CInternetReader::kData || strText.size() + strPiece.size() > kMaxInformationBytes)
            return std::string();
        strText += strPiece;
    }
    // A text cut on the way is no text, whatever it still says.
    if (head.bHasLength && strText.size() != head.nLength)
        return std::string();
    return strText;
}

std::string CUpdateTransfer::FetchInformation(const std::string& strUrl)
{
    CInternetReader reader;
    return FetchInformation(strUrl, reader);
}

DWORD WINAPI CUpdateTransfer::ThreadProc(LPVOID pParameter)
{
    static_cast<CUpdateTransfer*>(pParameter)->Run();
    return 0;
}

void CUpdateTransfer::Report(EStatus eStatus, LPARAM lParam) const
{
    if (m_request.hNotify)
        ::SendMessageA(m_request.hNotify, kStatusMessage, eStatus, lParam);
}

void CUpdateTransfer::Run()
{
    Report(kRequesting);
    CInternetReader::CHead head;
    CInternetReader::EEvent eHead = CInternetReader::kFailed;
    if (m_pReader->Start(m_request.strUrl))
        eHead = m_pReader->WaitHead(head);
    if (eHead == CInternetReader::kCanceled) {
        Report(kCanceled);
    } else if (eHead != CInternetReader::kData) {
        m_strError = InternetErrorText(m_pReader->ErrorCode());
    } else if (head.nStatus >= 400) {
        // An error page is no installer.
        m_strError = HttpErrorText(head.nStatus);
    } else {
        Report(kDownloading, static_cast<LPARAM>(head.nLength));
        CreateFolderPath(m_request.strWorkFolder);
        const std::string strPartial =
            m_request.strWorkFolder + "\\" + InstallerFileName(m_request.strUrl) + ".download";
        // Nobody else opens it while it grows and is checked.
        CScopedHandle hFile(
            ::CreateFileA(strPartial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!hFile) {
            m_strError = InternetErrorText(::GetLastError());
        } else {
            const bool bGenuine = Receive(head, hFile.Get());
            hFile.Reset();
            if (bGenuine)
                FinishDownload(strPartial);
            else
                ::DeleteFileA(strPartial.c_str());
        }
    }
    m_pReader->Cancel();
    if (!m_strError.empty())
        Report(kFailed, reinterpret_cast<LPARAM>(this));
    m_bDone = true;
    Report(kDone);
}

bool CUpdateTransfer::Receive(const CInternetReader::CHead& head, HANDLE hFile)
{
    CInstallerDigest digest;
    for (std::string strPiece;;) {
        const CInternetReader::EEvent eEvent = m_pReader->Next(strPiece);
        if (eEvent == CInternetReader::kCanceled) {
            Report(kCanceled);
            return false;
        }
        if (eEvent == CInternetReader::kFailed) {
            m_strError = InternetErrorText(m_pReader->ErrorCode());
            return false;
        }
        if (eEvent == CInternetReader::kEnd)
            break;
        if (!WriteAll(hFile, strPiece)) {
            m_strError = InternetErrorText(::GetLastError());
            return false;
        }
        m_nReceived += strPiece.size();
        digest.Add(strPiece.data(), strPiece.size());
        ::SendMessageA(m_request.hNotify, kProgressMessage, strPiece.size(), 0);
    }
    // A connection that ends before the promised length is a broken download.
    if (head.bHasLength && m_nReceived != head.nLength) {
        m_strError = InternetErrorText(ERROR_INTERNET_CONNECTION_RESET);
        return false;
    }
    unsigned char bytes[CInstallerDigest::kSize] = {};
    if (!digest.Finish(bytes) || !IsSameDigest(bytes, m_request.strExpectedSha256)) {
        Report(kDigestMismatch);
        return false;
    }
    return true;
}

void CUpdateTransfer::FinishDownload(const std::string& strPartial)
{
    m_strTarget = DownloadTarget(
        m_request.strSaveTo, [](const std::string& strPath) { return NearestExistingFolder(strPath); },
        [](const std::string& strPath) { return PathExists(strPath); });
    Report(kMoving);
    if (!::MoveFileExA(strPartial.c_str(), m_strTarget.c_str(), MOVEFILE_COPY_ALLOWED)) {
        ::DeleteFileA(strPartial.c_str());
        Report(kMoveFailed);
        return;
    }
    if (m_request.bInstall)
        StartInstaller();
}

void CUpdateTransfer::StartInstaller()
{
    Report(kStartingInstaller);
    // What starts is what is checked here: the file stays open without
    // write or delete sharing from its check until it runs.
    CScopedHandle hFile(::CreateFileA(m_strTarget.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!hFile || !CInstallerDigest::FileMatches(hFile.Get(), m_request.strExpectedSha256)) {
        hFile.Reset();
        ::DeleteFileA(m_strTarget.c_str());
        Report(kDigestMismatch);
        return;
    }
    const std::string strFolder = NearestExistingFolder(m_strTarget);
    const INT_PTR nResult = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", m_strTarget.c_str(), nullptr, strFolder.c_str(), SW_SHOWNORMAL));
    m_bInstallerStarted = nResult > 32;
}
