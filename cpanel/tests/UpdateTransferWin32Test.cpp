// The update check's transfers against a real HTTP server on 127.0.0.1
// (update_transfer_driver.py): the information text and its signature, an
// installer downloaded, checked against its published digest, moved to a
// free name and started, a download canceled or stalled, and the server's
// refusals.
#include "ChildProcess.h"
#include "ScratchFolder.h"
#include "UpdateSignature.h"
#include "UpdateSigner.h"
#include "UpdateTestSupport.h"
#include "UpdateTransfer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using updatetest::Environment;
using updatetest::HexDigest;
using updatetest::SignedUpdateText;
using updatetest::WindowsPath;
// The window a download reports to: it records the status codes and adds up
// the progress; it can cancel at the first chunk.
class CReportWindow {
public:
    CReportWindow()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &CReportWindow::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KIVOTestReports";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CReportWindow() { DestroyWindow(m_hWnd); }

    HWND m_hWnd = nullptr;
    std::vector<WPARAM> m_arrStatus;
    LPARAM m_nTotal = -1;
    std::string m_strError;
    unsigned long long m_nReceived = 0;
    CUpdateTransfer* m_pCancelAtFirstChunk = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CReportWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (self && uMsg == CUpdateTransfer::kStatusMessage) {
            self->m_arrStatus.push_back(wParam);
            if (wParam == CUpdateTransfer::kDownloading)
                self->m_nTotal = lParam;
            if (wParam == CUpdateTransfer::kFailed)
                self->m_strError = reinterpret_cast<CUpdateTransfer*>(lParam)->ErrorText();
            return 0;
        }
        if (self && uMsg == CUpdateTransfer::kProgressMessage) {
            self->m_nReceived += wParam;
            if (self->m_pCancelAtFirstChunk)
                self->m_pCancelAtFirstChunk->Cancel();
            return 0;
        }
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    }
};

class UpdateTransfer : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_strSite.empty()) << "run by update_transfer_driver.py";
        m_installer = CScratchFolder::ReadBytes(WindowsPath(KIVO_RECORDER_EXE));
        ASSERT_FALSE(m_installer.empty());
        Serve("kivo15.exe", m_installer);
    }
    void Serve(const std::string& strName, const std::string& strBytes) const
    {
        ASSERT_TRUE(CScratchFolder::WriteBytes(m_strSiteDir + "\\" + strName, strBytes));
    }
    CUpdateTransfer::CRequest Download(const std::string& strName, const std::string& strSaveTo) const
    {
        CUpdateTransfer::CRequest request;
        request.strUrl = m_strSite + "/" + strName;
        request.hNotify = m_reports.m_hWnd;
        request.strWorkFolder = m_scratch / "work";
        request.strSaveTo = strSaveTo;
        request.strExpectedSha256 = HexDigest(m_installer);
        return request;
    }
    void Run(CUpdateTransfer& transfer, const CUpdateTransfer::CRequest& request)
    {
        ASSERT_TRUE(transfer.Start(request));
        transfer.Wait();
        EXPECT_TRUE(transfer.IsDone());
    }
    static bool Exists(const std::string& strPath) { return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // Nothing of a refused or stopped download is left where it grew.
    bool WorkFolderIsEmpty() const
    {
        WIN32_FIND_DATAA found;
        const HANDLE hFind = FindFirstFileA((m_scratch / "work" + std::string("\\*.download")).c_str(), &found);
        if (hFind == INVALID_HANDLE_VALUE)
            return true;
        FindClose(hFind);
        return false;
    }

    const std::string m_strSite = Environment("KIVO_TEST_SITE");
    const std::string m_strSiteDir = Environment("KIVO_TEST_SITE_DIR");
    CScratchFolder m_scratch;
    CReportWindow m_reports;
    std::string m_installer;
};

TEST_F(UpdateTransfer, TheInformationTextWholeOrNothing)
{
    Serve("updtinfo.txt", "Version = 1.6\r\nBuild = 2006-1-15\r\n");
    EXPECT_EQ(CUpdateTransfer::FetchInformation(m_strSite + "/updtinfo.txt"), "Version = 1.6\r\nBuild = 2006-1-15\r\n");
    // What the server refuses, and a server that is not there, give nothing.
    EXPECT_EQ(CUpdateTransfer::FetchInformation(m_strSite + "/missing.txt"), "");
    EXPECT_EQ(CUpdateTransfer::FetchInformation("http://127.0.0.1:1/updtinfo.txt"), "");
    // A text larger than any update information, and one cut short of its
    // Content-Length, are no text at all.
    Serve("huge.txt", std::string(200000, 'x'));
    EXPECT_EQ(CUpdateTransfer::FetchInformation(m_strSite + "/huge.txt"), "");
    EXPECT_EQ(CUpdateTransfer::FetchInformation(m_strSite + "/broken/half-way.txt"), "");
}

TEST_F(UpdateTransfer, OnlyTheWholeTextSignedWithTheBuiltInKeyIsGenuine)
{
    const std::string strBody = "; KIVO\r\nVersion = 1.6\r\nBuild = 2006-1-15\r\nURL = " + m_strSite +
                                "/kivo16.exe\r\nSHA256 = " + HexDigest(m_installer) + "\r\n";
    const std::string strSigned = SignedUpdateText(strBody);
    ASSERT_FALSE(strSigned.empty()) << "the driver signs nothing";
    std::string strGenuine = strSigned;
    strGenuine[strGenuine.find("1.6")] = '9';
    const std::size_t nAfterUrl = strSigned.find("SHA256");
    const std::size_t nSignature = strSigned.find("; Signature = ");
    const struct {
        const char* pszWhat;
        std::string strText;
        ESignatureCheck eCheck;
    } cases[] = {
        {"as signed", strSigned, ESignatureCheck::kGenuine},
        {"one byte changed", strGenuine, ESignatureCheck::kNotGenuine},
        {"signed with another key", SignedUpdateText(strBody, "other"), ESignatureCheck::kNotGenuine},
        {"unsigned", strBody, ESignatureCheck::kNotGenuine},
        {"cut after the URL line", strSigned.substr(0, nAfterUrl), ESignatureCheck::kNotGenuine},
        {"the digest line taken out",
         strSigned.substr(0, nAfterUrl) + strSigned.substr(nSignature), ESignatureCheck::kNotGenuine},
        {"a line after the signature", strSigned + "URL = http://127.0.0.2/x.exe\r\n", ESignatureCheck::kNotGenuine},
        {"the signature cut", strSigned.substr(0, strSigned.size() - 10), ESignatureCheck::kNotGenuine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        std::string strRead = "stale";
        EXPECT_EQ(CheckUpdateSignature(c.strText, strRead), c.eCheck);
        EXPECT_EQ(strRead, c.eCheck == ESignatureCheck::kGenuine ? strBody : "");
    }
}

TEST_F(UpdateTransfer, TheInstallerGoesToAFreeNameAndStartsFromThere)
{
    const std::string strSaveTo = m_scratch / "kivo15.exe";
    CScratchFolder::WriteBytes(strSaveTo, "mine");
    CScratchFolder::WriteBytes(m_scratch / "kivo15(1).exe", "mine too");
    CUpdateTransfer::CRequest request = Download("kivo15.exe", strSaveTo);
    request.bInstall = true;
    CUpdateTransfer transfer;
    Run(transfer, request);
    using T = CUpdateTransfer;
    EXPECT_EQ(m_reports.m_arrStatus,
              (std::vector<WPARAM>{T::kRequesting, T::kDownloading, T::kMoving, T::kStartingInstaller, T::kDone}));
    EXPECT_EQ(m_reports.m_nTotal, static_cast<LPARAM>(m_installer.size()));
    EXPECT_EQ(m_reports.m_nReceived, m_installer.size());
    EXPECT_EQ(transfer.Target(), m_scratch / "kivo15(2).exe");
    EXPECT_EQ(CScratchFolder::ReadBytes(transfer.Target()), m_installer);
    EXPECT_EQ(CScratchFolder::ReadBytes(strSaveTo), "mine");
    EXPECT_TRUE(transfer.InstallerStarted());
    // The installer records its start beside itself, run from its own folder.
    std::vector<std::string> arrLines;
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::string strRecord = CScratchFolder::ReadBytes(m_scratch / "started.txt");
            arrLines.clear();
            for (std::size_t n = 0, e; (e = strRecord.find('\n', n)) != std::string::npos; n = e + 1)
                arrLines.push_back(strRecord.substr(n, e - n - (e > n && strRecord[e - 1] == '\r' ? 1 : 0)));
            return arrLines.size() >= 4;
        },
        20000));
    if (arrLines.size() >= 2) {
        EXPECT_EQ(lstrcmpiA(arrLines[1].c_str(), m_scratch.Path().c_str()), 0) << arrLines[1];
    }
}

TEST_F(UpdateTransfer, AnInstallerThatIsNotThePublishedOneIsDeletedAndNotStarted)
{
    CUpdateTransfer::CRequest request = Download("kivo15.exe", m_scratch / "kivo15.exe");
    request.bInstall = true;
    request.strExpectedSha256 = HexDigest(m_installer + "x");
    CUpdateTransfer transfer;
    Run(transfer, request);
    using T = CUpdateTransfer;
    EXPECT_EQ(m_reports.m_arrStatus, (std::vector<WPARAM>{T::kRequesting, T::kDownloading, T::kDigestMismatch, T::kDone}));
    EXPECT_FALSE(transfer.InstallerStarted());
    EXPECT_FALSE(Exists(m_scratch / "kivo15.exe"));
    EXPECT_TRUE(WorkFolderIsEmpty());
}

TEST_F(UpdateTransfer, CancelStopsAfterTheChunkAndARefusalIsReported)
{
    Serve("big.exe", std::string(2 * 1024 * 1024, 'k'));
    CUpdateTransfer canceled;
    m_reports.m_pCancelAtFirstChunk = &canceled;
    Run(canceled, Download("big.exe", m_scratch / "big.exe"));
    using T = CUpdateTransfer;
    EXPECT_EQ(m_reports.m_arrStatus, (std::vector<WPARAM>{T::kRequesting, T::kDownloading, T::kCanceled, T::kDone}));
    EXPECT_EQ(m_reports.m_nReceived, 512u);
    EXPECT_FALSE(Exists(m_scratch / "big.exe"));
    EXPECT_TRUE(WorkFolderIsEmpty());

    m_reports.m_pCancelAtFirstChunk = nullptr;
    m_reports.m_arrStatus.clear();
    CUpdateTransfer refused;
    Run(refused, Download("missing.exe", m_scratch / "missing.exe"));
    EXPECT_EQ(m_reports.m_arrStatus, (std::vector<WPARAM>{T::kRequesting, T::kFailed, T::kDone}));
    EXPECT_EQ(m_reports.m_strError, "HTTP 404");
    EXPECT_FALSE(Exists(m_scratch / "missing.exe"));
}

TEST_F(UpdateTransfer, BrokenServersNeverYieldAnInstaller)
{
    using T = CUpdateTransfer;
    const struct {
        const char* pszPath;
        bool bTaken;  // a whole file that is kept
        std::vector<WPARAM> arrStatus;
    } cases[] = {
        {"broken/500.exe", false, {T::kRequesting, T::kFailed, T::kDone}},
        {"broken/half-way.exe", false, {T::kRequesting, T::kDownloading, T::kFailed, T::kDone}},
        {"broken/no-length.exe", true, {T::kRequesting, T::kDownloading, T::kMoving, T::kDone}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszPath);
        m_reports.m_arrStatus.clear();
        m_reports.m_strError.clear();
        const std::string strSaveTo = m_scratch / "broken.exe";
        DeleteFileA(strSaveTo.c_str());
        CUpdateTransfer transfer;
        CUpdateTransfer::CRequest request = Download(c.pszPath, strSaveTo);
        request.strExpectedSha256 = HexDigest(std::string(3000, 'K'));
        Run(transfer, request);
        EXPECT_EQ(m_reports.m_arrStatus, c.arrStatus);
        EXPECT_EQ(Exists(strSaveTo), c.bTaken);
        EXPECT_EQ(m_reports.m_strError.empty(), c.bTaken) << m_reports.m_strError;
        EXPECT_TRUE(WorkFolderIsEmpty());
    }
    EXPECT_EQ(CUpdateTransfer::FetchInformation(m_strSite + "/broken/500.exe"), "");
}

TEST_F(UpdateTransfer, StopEndsADownloadTheServerStalledAtOnce)
{
    Serve("big.exe", std::string(256 * 1024, 'k'));
    CUpdateTransfer transfer;
    CUpdateTransfer::CRequest request = Download("stall/big.exe", m_scratch / "big.exe");
    request.strExpectedSha256 = HexDigest(std::string(256 * 1024, 'k'));
    ASSERT_TRUE(transfer.Start(request));
    // Half of it comes, then nothing: the worker's reports arrive while this thread pumps.
    EXPECT_TRUE(WaitFor(
        [&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            return m_reports.m_nReceived >= 128 * 1024;
        },
        20000));
    Sleep(500);
    const DWORD nStart = GetTickCount();
    transfer.Cancel();
    transfer.Wait();
    EXPECT_LT(GetTickCount() - nStart, 5000u) << "Stop waited for the stalled server";
    using T = CUpdateTransfer;
    EXPECT_EQ(m_reports.m_arrStatus, (std::vector<WPARAM>{T::kRequesting, T::kDownloading, T::kCanceled, T::kDone}));
    EXPECT_FALSE(Exists(m_scratch / "big.exe"));
    EXPECT_TRUE(WorkFolderIsEmpty());
}

} // namespace
