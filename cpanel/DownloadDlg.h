// The installer download: where the new build comes from and where it goes,
// whether it is installed afterwards, and while it runs a progress bar with
// the state, the speed and the share done. One image button starts and
// stops it; the worker reports by CUpdateTransfer's messages.
#pragma once

#include "ControlPanelResource.h"
#include "Dialog.h"
#include "ImageButton.h"
#include "ToolTip.h"
#include "UpdateTransfer.h"

#include <cstdint>
#include <memory>
#include <string>

struct CUpdateContext;

// The folder a download grows in and is offered in: "Perdix\KIVO\Download"
// in the user's local application data, which only the user may write
// (made when missing); the user's temporary folder where there is no such
// folder. Never a drive's root, where every user may change files.
std::string ChooseDownloadFolder();

class CDownloadDlg : public CDialog {
public:
    enum { IDD = IDD_DOWNLOAD };
    static constexpr unsigned kHelpTopic = 3;
    static constexpr UINT_PTR kTimerIdle = 1;

    // `strSha256` is the installer's published digest, which the file must have.
    CDownloadDlg(const CUpdateContext& context, const std::string& strUrl, const std::string& strSha256);
    ~CDownloadDlg() override;

    bool InstallerStarted() const { return m_bInstallerStarted; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnCancel() override;
    void OnTimer(UINT_PTR nIdEvent) override;
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void StartOrStop();
    void SetRunning(bool bRunning);
    void ShowProgress(bool bShow);
    void OnStatus(WPARAM nCode, LPARAM lParam);
    void OnProgress(std::uint64_t nChunk);
    void OnBrowse();
    void SetLine(int nId, const std::string& strText);

    const CUpdateContext& m_context;
    std::string m_strUrl;
    std::string m_strSha256;
    std::string m_strFolder;
    CToolTip m_toolTip;
    std::unique_ptr<CImageButton[]> m_pButtons;
    CUpdateTransfer m_transfer;
    bool m_bRunning = false;
    bool m_bInstall = false;
    bool m_bInstallerStarted = false;
    bool m_bTroubled = false;  // a cancel, refusal or wrong file this run: no "complete"
    std::uint64_t m_nTotal = 0;
    std::uint64_t m_nReceived = 0;
    DWORD m_nStartTick = 0;
    int m_nShortHeight = 0;
    int m_nTallHeight = 0;
};
