// The daily look for a newer build on the vendor's site, on a thread of its
// own so that the control panel stays usable: at most once a day, never in
// the five days after the user declined, and only for a build later than
// this one. It offers the new build, downloads its installer (the main
// window hidden meanwhile) and, once the installer runs, offers to exit.
#pragma once

#include "ScopedKernelHandles.h"
#include "UpdateInfo.h"

#include <windows.h>

#include <string>

class CKIVOCPApp;

// "AutoDetect" values under the program's key.
constexpr char kRegAutoDetect[] = "AutoDetect";
constexpr char kRegLastTry[] = "Last Try";
constexpr char kRegLastDeny[] = "Last Deny";

// Today by the local clock.
CUpdateDate TodayDate();

class CUpdateCheck {
public:
    CUpdateCheck(CKIVOCPApp& app, HWND hMainWindow) : m_app(app), m_hMainWindow(hMainWindow) {}
    ~CUpdateCheck();
    CUpdateCheck(const CUpdateCheck&) = delete;
    CUpdateCheck& operator=(const CUpdateCheck&) = delete;

    // Starts the check's thread; false when it runs already.
    bool Start();
    // Waits for the thread: a prompt or a download still on the screen is
    // the user's to finish.
    void Wait();

    // The check itself; true when a new installer was downloaded and started.
    bool Run();

private:
    static DWORD WINAPI ThreadProc(LPVOID pParameter);
    // The installer is running: the user may end the panel for it.
    void OfferToExit();
    // The main window while it lives, as the owner of the prompts.
    HWND Owner() const;

    CKIVOCPApp& m_app;
    HWND m_hMainWindow;
    CScopedHandle m_hThread;
};
