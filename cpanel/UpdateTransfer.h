// The update check's transfers over the internet client: the update
// information into memory, and the installer into a file of the user's own
// download folder that is then moved to where the user wants it and, if
// asked, checked once more and started. Both can be walked away from at any
// moment (CInternetReader).
//
// A download runs on a worker thread and reports to a window by two
// messages sent (not posted) from the worker, so that each display change
// happens on the window's thread while the worker waits: kStatusMessage
// (wParam a status code, lParam a size) and kProgressMessage (wParam the
// bytes of one chunk).
#pragma once

#include "InternetReader.h"
#include "ScopedKernelHandles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class CUpdateTransfer {
public:
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
    // The most an update-information text may be; a longer one is no text.
    static constexpr std::size_t kMaxInformationBytes = 64 * 1024;

    struct CRequest {
        std::string strUrl;
        HWND hNotify = nullptr;        // the window that hears the reports
        std::string strWorkFolder;     // where the file grows: the user's own download folder
        std::string strSaveTo;         // where the user wants it
        bool bInstall = false;         // start it afterwards
        std::string strExpectedSha256; // the published digest the file must have
    };

    CUpdateTransfer() = default;
    ~CUpdateTransfer();
    CUpdateTransfer(const CUpdateTransfer&) = delete;
    CUpdateTransfer& operator=(const CUpdateTransfer&) = delete;

    // Starts a download; false when one is running or the thread cannot start.
    bool Start(const CRequest& request);
    // From the window's thread: the download ends at once, its file deleted.
    void Cancel();
    bool IsDone() const { return m_bDone; }
    // Waits for the worker to end, answering what it sends meanwhile.
    void Wait();

    // After the end: where the installer went, whether it was started, and
    // what went wrong.
    const std::string& Target() const { return m_strTarget; }
    bool InstallerStarted() const { return m_bInstallerStarted; }
    const std::string& ErrorText() const { return m_strError; }

    // The information text at `strUrl`, read through `reader` (which another
    // thread may cancel); empty unless it came whole: an HTTP error, a
    // broken connection, a body longer than kMaxInformationBytes or one whose
    // length differs from the Content-Length the server announced give nothing.
    static std::string FetchInformation(const std::string& strUrl, CInternetReader& reader);
    static std::string FetchInformation(const std::string& strUrl);

private:
    static DWORD WINAPI ThreadProc(LPVOID pParameter);
    void Run();
    // Receives the body into `hFile`; false when it did not come whole and right.
    bool Receive(const CInternetReader::CHead& head, HANDLE hFile);
    void FinishDownload(const std::string& strPartial);
    void StartInstaller();
    void Report(EStatus eStatus, LPARAM lParam = 0) const;

    CRequest m_request;
    CScopedHandle m_hThread;
    std::unique_ptr<CInternetReader> m_pReader;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bDone{true};
    std::string m_strTarget;
    std::string m_strError;
    bool m_bInstallerStarted = false;
    std::uint64_t m_nReceived = 0;
};
