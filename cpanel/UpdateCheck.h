// The daily look for a newer build on the vendor's site, on a thread of its
// own so that the control panel stays usable: at most once a day, never in
// the five days after the user declined, and only for a build later than
// this one, told by update information the vendor signed. It offers the new
// build, downloads its installer (the main window hidden meanwhile) and,
// once the installer runs, offers to exit.
#pragma once

#include "ControlPanelTexts.h"
#include "HelpOpener.h"
#include "ScopedKernelHandles.h"
#include "UpdateInfo.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class CInternetReader;
class CKIVOCPApp;

// "AutoDetect" values under the program's key.
constexpr char kRegAutoDetect[] = "AutoDetect";
constexpr char kRegLastTry[] = "Last Try";
constexpr char kRegLastDeny[] = "Last Deny";

// Today by the local clock.
CUpdateDate TodayDate();

// What the check and its download take of the program, copied on the
// interface thread before the check's thread starts: a language switch
// meanwhile changes none of it.
struct CUpdateContext {
    CControlPanelTexts texts;
    std::uint32_t nLCID = 1033;
    int nCharset = 0;
    UINT nCodePage = CP_ACP;
    int nMessageLanguage = 1;  // the catalogue column of nLCID
    bool bPRCEdition = false;
    CUpdateDate own;
    CHelpSettings help;
};

class CUpdateCheck {
public:
    CUpdateCheck(CKIVOCPApp& app, HWND hMainWindow);
    ~CUpdateCheck();
    CUpdateCheck(const CUpdateCheck&) = delete;
    CUpdateCheck& operator=(const CUpdateCheck&) = delete;

    // Takes the context and starts the check's thread; false when it runs
    // already or is stopped.
    bool Start();
    // As the panel closes: no prompt from now on, the information request
    // abandoned. True when the thread ended within `nWaitMs`.
    bool Stop(DWORD nWaitMs);

    // The check itself; true when a new installer was downloaded and started.
    bool Run();

private:
    static DWORD WINAPI ThreadProc(LPVOID pParameter);
    // The installer is running: the user may end the panel for it.
    void OfferToExit();
    // The main window while it lives, as the owner of the prompts.
    HWND Owner() const;
    std::string Message(std::int32_t nId, const std::string& strParam1, const std::string& strParam2 = std::string()) const;

    CKIVOCPApp& m_app;
    HWND m_hMainWindow;
    CUpdateContext m_context;
    std::unique_ptr<CInternetReader> m_pReader;
    std::atomic<bool> m_bStopping{false};
    CScopedHandle m_hThread;
};
