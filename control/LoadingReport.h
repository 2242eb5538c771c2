// What the word-adjustment loader tells whoever shows its progress: the
// commands of the loading window's private message.
#pragma once

#include <windows.h>

// Sent (not posted) to the loading window.
constexpr UINT WM_LOADING_PROGRESS = WM_USER + 1123;  // 0x863
enum ELoadingCommand : WPARAM {
    kLoadingSetTotal = 0,  // lParam: the steps that make 100%
    kLoadingSetDone = 1,   // lParam: the steps done
    kLoadingFinish = 2,    // close the window
};

class CLoadingReport {
public:
    virtual ~CLoadingReport() = default;
    virtual void Report(ELoadingCommand command, LPARAM lValue) = 0;
};
