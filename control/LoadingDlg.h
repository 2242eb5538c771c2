// The small modal window of the word-adjustment loading. A loading that
// ends within 300 ms never makes it: a host that starts, converts a line and
// ends (a script, a command) pays for no window. A longer one brings it on
// screen at its next progress report, modal over the host's window, and it
// shows the progress from there until the loader asks it to close.
#pragma once

#include "Dialog.h"
#include "LoadingReport.h"
#include "ToolTip.h"

#include <functional>
#include <string>

// The only mode any caller uses: load the word-adjustment libraries.
constexpr int kLoadingModeWordAdjustment = 4;

// Runs the loading; what it reports goes to the loading window, once there is one.
using LoadingWork = std::function<void(CLoadingReport& report, bool bLoadAllEntries)>;

class CLoadingDlg : public CDialog {
public:
    enum { IDD = 251 };
    CLoadingDlg(bool bLoadAllEntries, int nMode, const std::string& strText);
    ~CLoadingDlg() override;

    // The loading window open at the moment, or null.
    static CLoadingDlg* Current();

    int m_nMode;
    std::string m_strText;
    bool m_bLoadAllEntries;
    int m_nTotal = 0;
    bool m_bFinished = false;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void OnProgress(WPARAM wParam, LPARAM lParam);

    CToolTip m_toolTip;
    HWND m_hPercent = nullptr;
};

// The window a loading window is modal to: the calling thread's active
// window, which is the host's dialog or frame when its user asked for the
// loading; null when the host shows none (a script host), and the loading
// window then stands alone.
HWND LoadingWindowOwner();

// Runs the loading with its window modal over `hParent`: the owner is
// disabled until the loading ends, and the window, titled with the product
// name and showing `strText`, is made and shown only once the loading has
// taken 300 ms. When it cannot be made the loading goes on without it. In
// other modes (no caller uses them) the window opens at once, loads nothing
// and stays until it is closed.
void RunLoadingWindow(bool bLoadAllEntries, int nMode, const std::string& strText, const LoadingWork& work,
                      HWND hParent = nullptr);
