#include "InternetReader.h"

#include <wininet.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// Pieces read ahead of the one who takes them, at most.
constexpr std::size_t kMaxQueuedPieces = 256;

DWORD QueryNumber(HINTERNET hRequest, DWORD nInfo, bool* pbPresent = nullptr)
{
    DWORD nValue = 0;
    DWORD nSize = sizeof nValue;
    const bool bPresent = ::HttpQueryInfoA(hRequest, nInfo | HTTP_QUERY_FLAG_NUMBER, &nValue, &nSize, nullptr) != FALSE;
    if (pbPresent)
        *pbPresent = bPresent;
    return bPresent ? nValue : 0;
}

void CloseInternetHandle(std::atomic<HINTERNET>& hHandle)
{
    if (const HINTERNET h = hHandle.exchange(nullptr))
        ::InternetCloseHandle(h);
}

} // namespace

struct CInternetReader::CShared {
    std::mutex mutex;
    std::condition_variable changed;
    bool bHead = false;
    CHead head;
    std::deque<std::string> pieces;
    bool bEnd = false;
    DWORD nError = 0;  // with bEnd: the body broke off
    bool bCancel = false;
    bool bStarted = false;
    std::atomic<HINTERNET> hSession{nullptr};
    std::atomic<HINTERNET> hRequest{nullptr};

    bool Canceled()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return bCancel;
    }
    void Finish(DWORD nErrorCode)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        bEnd = true;
        nError = nErrorCode;
        changed.notify_all();
    }
    void Read(const std::string& strUrl);
};

void CInternetReader::CShared::Read(const std::string& strUrl)
{
    hSession = ::InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!hSession.load()) {
        Finish(::GetLastError());
        return;
    }
    for (const auto& option : {std::make_pair(INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs),
                               std::make_pair(INTERNET_OPTION_SEND_TIMEOUT, kConnectTimeoutMs),
                               std::make_pair(INTERNET_OPTION_RECEIVE_TIMEOUT, kReceiveTimeoutMs)}) {
        DWORD nValue = option.second;
        ::InternetSetOptionA(hSession.load(), option.first, &nValue, sizeof nValue);
    }
    if (Canceled())
        return CloseInternetHandle(hSession);
    const HINTERNET hOpened =
        ::InternetOpenUrlA(hSession.load(), strUrl.c_str(), nullptr, 0,
                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY, 0);
    const DWORD nOpenError = hOpened ? 0 : ::GetLastError();
    hRequest = hOpened;
    if (!hOpened || Canceled()) {
        CloseInternetHandle(hRequest);
        CloseInternetHandle(hSession);
        Finish(nOpenError ? nOpenError : ERROR_INTERNET_OPERATION_CANCELLED);
        return;
    }
    CHead answer;
    answer.nStatus = QueryNumber(hOpened, HTTP_QUERY_STATUS_CODE);
    answer.nLength = QueryNumber(hOpened, HTTP_QUERY_CONTENT_LENGTH, &answer.bHasLength);
    {
        const std::lock_guard<std::mutex> lock(mutex);
        head = answer;
        bHead = true;
        changed.notify_all();
    }
    DWORD nError = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [this] { return bCancel || pieces.size() < kMaxQueuedPieces; });
            if (bCancel)
                break;
        }
        char chunk[kChunkSize];
        DWORD nRead = 0;
        if (!::InternetReadFile(hOpened, chunk, sizeof chunk, &nRead)) {
            nError = ::GetLastError();
            break;
        }
        if (nRead == 0)
            break;
        const std::lock_guard<std::mutex> lock(mutex);
        pieces.emplace_back(chunk, nRead);
        changed.notify_all();
    }
    CloseInternetHandle(hRequest);
    CloseInternetHandle(hSession);
    Finish(nError);
}

CInternetReader::CInternetReader() : m_pShared(std::make_shared<CShared>()) {}

CInternetReader::~CInternetReader()
{
    Cancel();
}

bool CInternetReader::Start(const std::string& strUrl)
{
    {
        // One request a reader: its pieces would mix with another's.
        const std::lock_guard<std::mutex> lock(m_pShared->mutex);
        if (m_pShared->bStarted)
            return false;
        m_pShared->bStarted = true;
    }
    try {
        std::thread([pShared = m_pShared, strUrl] { pShared->Read(strUrl); }).detach();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

CInternetReader::EEvent CInternetReader::WaitHead(CHead& head)
{
    CShared& shared = *m_pShared;
    std::unique_lock<std::mutex> lock(shared.mutex);
    shared.changed.wait(lock, [&] { return shared.bCancel || shared.bHead || shared.bEnd; });
    if (shared.bCancel)
        return kCanceled;
    if (!shared.bHead)
        return kFailed;
    head = shared.head;
    return kData;
}

CInternetReader::EEvent CInternetReader::Next(std::string& strPiece)
{
    CShared& shared = *m_pShared;
    std::unique_lock<std::mutex> lock(shared.mutex);
    shared.changed.wait(lock, [&] { return shared.bCancel || !shared.pieces.empty() || shared.bEnd; });
    if (shared.bCancel)
        return kCanceled;
    if (!shared.pieces.empty()) {
        strPiece.swap(shared.pieces.front());
        shared.pieces.pop_front();
        shared.changed.notify_all();
        return kData;
    }
    return shared.nError ? kFailed : kEnd;
}

DWORD CInternetReader::ErrorCode() const
{
    const std::lock_guard<std::mutex> lock(m_pShared->mutex);
    return m_pShared->nError;
}

void CInternetReader::Cancel()
{
    {
        const std::lock_guard<std::mutex> lock(m_pShared->mutex);
        if (m_pShared->bCancel)
            return;
        m_pShared->bCancel = true;
        m_pShared->changed.notify_all();
    }
    CloseInternetHandle(m_pShared->hRequest);
    CloseInternetHandle(m_pShared->hSession);
}

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
