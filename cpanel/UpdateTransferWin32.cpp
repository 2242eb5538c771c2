#include "UpdateTransfer.h"

#include "DownloadNames.h"
#include "PathUtil.h"
#include "InstallerDigest.h"
#include "UpdateInfo.h"

#include <wininet.h>

#include <shellapi.h>

#include <cstdio>

namespace {

// An internet handle that closes itself.
class CInternetHandle {
public:
    explicit CInternetHandle(HINTERNET hHandle = nullptr) : m_hHandle(hHandle) {}
    ~CInternetHandle()
    {
        if (m_hHandle)
            ::InternetCloseHandle(m_hHandle);
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    HINTERNET Get() const { return m_hHandle; }
    explicit operator bool() const { return m_hHandle != nullptr; }

private:
    HINTERNET m_hHandle;
};

// The internet client's own words for an error, at most 255 characters.
std::string InternetErrorText(DWORD nError)
{
    char szText[256] = {};
    DWORD nLength = ::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     ::GetModuleHandleA("wininet.dll"), nError, 0, szText, sizeof szText, nullptr);
    if (nLength == 0)
        nLength = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, nError, 0,
                                   szText, sizeof szText, nullptr);
    if (nLength == 0)
        std::snprintf(szText, sizeof szText, "Internet error %lu", static_cast<unsigned long>(nError));
    std::string strText = szText;
    while (!strText.empty() && (strText.back() == '\r' || strText.back() == '\n' || strText.back() == ' '))
        strText.pop_back();
    return strText.substr(0, 255);
}

// An HTTP answer's number, or 0 for other protocols.
DWORD QueryNumber(HINTERNET hUrl, DWORD nInfo)
{
    DWORD nValue = 0;
    DWORD nSize = sizeof nValue;
    if (!::HttpQueryInfoA(hUrl, nInfo | HTTP_QUERY_FLAG_NUMBER, &nValue, &nSize, nullptr))
        return 0;
    return nValue;
}

bool WriteAll(HANDLE hFile, const char* pData, DWORD nLength)
{
    DWORD nWritten = 0;
    return ::WriteFile(hFile, pData, nLength, &nWritten, nullptr) && nWritten == nLength;
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
    m_bCancel = false;
    m_bDone = false;
    m_bInstallerStarted = false;
    m_strText.clear();
    m_strTarget.clear();
    m_strError.clear();
    m_nReceived = 0;
    m_hThread.Reset(::CreateThread(nullptr, 0, &CUpdateTransfer::ThreadProc, this, 0, nullptr));
    if (!m_hThread)
        m_bDone = true;
    return static_cast<bool>(m_hThread);
}

void CUpdateTransfer::Wait()
{
    if (!m_hThread)
        return;
    // A download's worker sends to the dialog: a dialog thread that waits
    // here keeps answering it.
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

std::string CUpdateTransfer::FetchInformation(const std::string& strUrl)
{
    CUpdateTransfer transfer;
    CRequest request;
    request.eMode = kInformation;
    request.strUrl = strUrl;
    if (!transfer.Start(request))
        return std::string();
    while (!transfer.IsDone())
        ::Sleep(100);
    transfer.Wait();
    return transfer.Text();
}

DWORD WINAPI CUpdateTransfer::ThreadProc(LPVOID pParameter)
{
    static_cast<CUpdateTransfer*>(pParameter)->Run();
    return 0;
}

void CUpdateTransfer::Report(EStatus eStatus, LPARAM lParam) const
{
    if (m_request.eMode == kDownload && m_request.hNotify)
        ::SendMessageA(m_request.hNotify, kStatusMessage, eStatus, lParam);
}

void CUpdateTransfer::Run()
{
    const bool bDownload = m_request.eMode == kDownload;
    if (bDownload)
        Report(kRequesting);
    {
        const CInternetHandle hSession(::InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        const CInternetHandle hUrl(
            hSession ? ::InternetOpenUrlA(hSession.Get(), m_request.strUrl.c_str(), nullptr, 0,
                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                              INTERNET_FLAG_TRANSFER_BINARY,
                                          0)
                     : nullptr);
        const DWORD nStatus = hUrl ? QueryNumber(hUrl.Get(), HTTP_QUERY_STATUS_CODE) : 0;
        if (!hUrl) {
            m_strError = InternetErrorText(::GetLastError());
        } else if (nStatus >= 400) {
            // An error page is no update information and no installer.
            char szText[64] = {};
            std::snprintf(szText, sizeof szText, "HTTP %lu", static_cast<unsigned long>(nStatus));
            m_strError = szText;
        } else if (!bDownload) {
            Transfer(hUrl.Get(), INVALID_HANDLE_VALUE);
        } else {
            const DWORD nLength = QueryNumber(hUrl.Get(), HTTP_QUERY_CONTENT_LENGTH);
            Report(kDownloading, static_cast<LPARAM>(nLength));
            CreateFolderPath(m_request.strWorkFolder);
            const std::string strPartial = m_request.strWorkFolder + "\\" + InstallerFileName(m_request.strUrl) + ".download";
            CScopedHandle hFile(::CreateFileA(strPartial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!hFile) {
                m_strError = InternetErrorText(::GetLastError());
            } else {
                CInstallerDigest digest;
                m_pDigest = &digest;
                bool bComplete = Transfer(hUrl.Get(), hFile.Get());
                m_pDigest = nullptr;
                hFile.Reset();
                // A connection that ends before the promised length is a broken download.
                if (bComplete && nLength && m_nReceived != nLength) {
                    m_strError = InternetErrorText(ERROR_INTERNET_CONNECTION_RESET);
                    ::DeleteFileA(strPartial.c_str());
                    bComplete = false;
                }
                if (bComplete) {
                    unsigned char bytes[CInstallerDigest::kSize] = {};
                    FinishDownload(strPartial, digest.Finish(bytes) ? bytes : nullptr);
                }
            }
        }
    }
    if (bDownload && !m_strError.empty())
        Report(kFailed, reinterpret_cast<LPARAM>(this));
    m_bDone = true;
    if (bDownload)
        Report(kDone);
}

bool CUpdateTransfer::Transfer(void* hUrl, HANDLE hFile)
{
    char chunk[512];
    for (;;) {
        DWORD nRead = 0;
        if (!::InternetReadFile(static_cast<HINTERNET>(hUrl), chunk, sizeof chunk, &nRead)) {
            m_strError = InternetErrorText(::GetLastError());
            return false;
        }
        if (nRead == 0)
            return true;
        if (m_bCancel) {
            Report(kCanceled);
            return false;
        }
        if (hFile == INVALID_HANDLE_VALUE) {
            if (m_strText.size() + nRead > kMaxInformationBytes)
                return true;
            m_strText.append(chunk, nRead);
            continue;
        }
        if (!WriteAll(hFile, chunk, nRead)) {
            m_strError = InternetErrorText(::GetLastError());
            return false;
        }
        m_nReceived += nRead;
        if (m_pDigest)
            m_pDigest->Add(chunk, nRead);
        ::SendMessageA(m_request.hNotify, kProgressMessage, nRead, 0);
    }
}

void CUpdateTransfer::FinishDownload(const std::string& strPartial, const unsigned char* pDigest)
{
    if (m_request.bCheckDigest && (!pDigest || !IsSameDigest(pDigest, m_request.strExpectedSha256))) {
        ::DeleteFileA(strPartial.c_str());
        Report(kDigestMismatch);
        return;
    }
    m_strTarget = DownloadTarget(
        m_request.strSaveTo, [](const std::string& strPath) { return NearestExistingFolder(strPath); },
        [](const std::string& strPath) { return PathExists(strPath); });
    Report(kMoving);
    if (!::MoveFileExA(strPartial.c_str(), m_strTarget.c_str(), MOVEFILE_COPY_ALLOWED)) {
        Report(kMoveFailed);
        return;
    }
    if (!m_request.bInstall)
        return;
    Report(kStartingInstaller);
    const std::string strFolder = NearestExistingFolder(m_strTarget);
    const INT_PTR nResult = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", m_strTarget.c_str(), nullptr, strFolder.c_str(), SW_SHOWNORMAL));
    m_bInstallerStarted = nResult > 32;
}
