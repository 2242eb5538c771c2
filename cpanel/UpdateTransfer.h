// One transfer of the update check over the internet client, on a thread of
// its own: the update information into memory, or the installer into a
// file that is then moved to where the user wants it and, if asked,
// started. Every request goes to the network, never to the cache.
//
// A download reports to a window by two messages sent (not posted) from the
// worker, so that each display change happens on the window's thread while
// the worker waits: kStatusMessage (wParam a status code, lParam a size) and
// kProgressMessage (wParam the bytes of one chunk).
#pragma once

#include "ScopedKernelHandles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

class CInstallerDigest;

class CUpdateTransfer {
public:
    enum EMode { kInformation, kDownload };
    enum EStatus : WPARAM {
        kRequesting = 1,
        kDownloading = 2,  // lParam: the total size, 0 when the server does not say
        kDone = 4,
        kCanceled = 5,
        kMoving = 6,
        kMoveFailed = 7,
        kStartingInstaller = 8,
        kDigestMismatch = 9,  // the installer is not the one published: deleted, not started
        kFailed = 10,         // lParam: a CUpdateTransfer* whose ErrorText says why
    };
    static constexpr UINT kStatusMessage = WM_APP + 0x51;
    static constexpr UINT kProgressMessage = WM_APP + 0x52;
    // The most of an update-information text that is read.
    static constexpr std::size_t kMaxInformationBytes = 64 * 1024;

    struct CRequest {
        EMode eMode = kInformation;
        std::string strUrl;
        HWND hNotify = nullptr;          // download: the window that hears the reports
        std::string strWorkFolder;       // download: where the file grows
        std::string strSaveTo;           // download: where the user wants it
        bool bInstall = false;           // download: start it afterwards
        std::string strExpectedSha256;   // download: the published digest, when there is one
        bool bCheckDigest = false;
    };

    CUpdateTransfer() = default;
    ~CUpdateTransfer();
    CUpdateTransfer(const CUpdateTransfer&) = delete;
    CUpdateTransfer& operator=(const CUpdateTransfer&) = delete;

    // Starts the worker; false when one is running or the thread cannot start.
    bool Start(const CRequest& request);
    // Stops a download after the chunk under way.
    void Cancel() { m_bCancel = true; }
    bool IsDone() const { return m_bDone; }
    // Waits for the worker to end.
    void Wait();

    // After the end: the information text, where the installer went, whether
    // it was started, and what went wrong.
    const std::string& Text() const { return m_strText; }
    const std::string& Target() const { return m_strTarget; }
    bool InstallerStarted() const { return m_bInstallerStarted; }
    const std::string& ErrorText() const { return m_strError; }

    // The information text at `strUrl`, fetched on the worker while this
    // thread looks every 100 ms; empty when nothing came.
    static std::string FetchInformation(const std::string& strUrl);

private:
    static DWORD WINAPI ThreadProc(LPVOID pParameter);
    void Run();
    bool Transfer(void* hUrl, HANDLE hFile);
    void FinishDownload(const std::string& strPartial, const unsigned char* pDigest);
    void Report(EStatus eStatus, LPARAM lParam = 0) const;

    CRequest m_request;
    CScopedHandle m_hThread;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bDone{true};
    std::string m_strText;
    std::string m_strTarget;
    std::string m_strError;
    bool m_bInstallerStarted = false;
    CInstallerDigest* m_pDigest = nullptr;  // the digest of the download, while it runs
    std::uint64_t m_nReceived = 0;
};
