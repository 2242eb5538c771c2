// The small modal window of the word-adjustment loading. It opens hidden,
// gets its first tick at once and on it runs the loader, which reports
// through WM_LOADING_PROGRESS and finally asks the window to close; it comes
// on screen only when the loading is still running after 300 ms.
#pragma once

#include "Dialog.h"
#include "ToolTip.h"

#include <functional>
#include <string>

// Sent (not posted) to the loading window by the loader.
constexpr UINT WM_LOADING_PROGRESS = WM_USER + 1123;  // 0x863
enum ELoadingCommand : WPARAM {
    kLoadingSetTotal = 0,  // lParam: the steps that make 100%
    kLoadingSetDone = 1,   // lParam: the steps done
    kLoadingFinish = 2,    // close the window
};

// The only mode any caller uses: load the word-adjustment libraries.
constexpr int kLoadingModeWordAdjustment = 4;

// Runs the loading; `hWindow` is the loading window to report to.
using LoadingWork = std::function<void(HWND hWindow, bool bLoadAllEntries)>;

class CLoadingDlg : public CDialog {
public:
    enum { IDD = 251 };
    CLoadingDlg(bool bLoadAllEntries, int nMode, const std::string& strText, LoadingWork work);
    ~CLoadingDlg() override;

    // The loading window open at the moment, or null.
    static CLoadingDlg* Current();

    int m_nMode;
    std::string m_strText;
    bool m_bLoadAllEntries;
    int m_nTotal = 0;
    bool m_bFinished = false;
    bool m_bStarted = false;  // the first tick has run the work

protected:
    bool OnInitDialog() override;
    void OnTimer(UINT_PTR nIdEvent) override;
    void OnDestroy() override;
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void OnProgress(WPARAM wParam, LPARAM lParam);

    LoadingWork m_work;
    CToolTip m_toolTip;
    HWND m_hPercent = nullptr;
};

// The window a loading window is modal to: the calling thread's active
// window, which is the host's dialog or frame when its user asked for the
// loading; null when the host shows none (a script host), and the loading
// window then stands alone.
HWND LoadingWindowOwner();

// Opens the loading window modally over `hParent` (hidden until the loading
// has taken 300 ms) and returns once it has closed. The window title is the
// product name and its line `strText`. When the window cannot be created,
// or its loop ends before the first tick, the work runs without it (hWindow
// null).
void RunLoadingWindow(bool bLoadAllEntries, int nMode, const std::string& strText, const LoadingWork& work,
                      HWND hParent = nullptr);
