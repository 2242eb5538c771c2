// Drives a modal window from a thread timer on its own thread: one step a
// tick, each step given the top-level dialog window the thread shows at that
// moment (the newest one, so a message box over a dialog is found first).
// When the steps have run out and a dialog is still open it is ended with 0,
// so a wrong turn fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace lumbratest {

class CGuiScript {
public:
    using Step = std::function<void(HWND hDialog)>;

    explicit CGuiScript(std::vector<Step> steps) : m_steps(std::move(steps))
    {
        s_pCurrent = this;
        m_nTimer = ::SetTimer(nullptr, 0, 50, &CGuiScript::Tick);
    }
    ~CGuiScript()
    {
        ::KillTimer(nullptr, m_nTimer);
        s_pCurrent = nullptr;
    }
    CGuiScript(const CGuiScript&) = delete;
    CGuiScript& operator=(const CGuiScript&) = delete;

    bool Finished() const { return m_nNext == m_steps.size(); }
    bool Forced() const { return m_bForced; }

private:
    static BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam)
    {
        char szClass[16] = {};
        ::GetClassNameA(hWnd, szClass, sizeof szClass);
        if (std::string(szClass) == "#32770" && ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd)) {
            *reinterpret_cast<HWND*>(lParam) = hWnd;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CGuiScript* self = s_pCurrent;
        if (!self)
            return;
        HWND hDialog = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &CGuiScript::FindDialog, reinterpret_cast<LPARAM>(&hDialog));
        if (!hDialog)
            return;
        if (self->m_nNext < self->m_steps.size()) {
            self->m_steps[self->m_nNext++](hDialog);
            return;
        }
        if (++self->m_nSpare > 20) {
            self->m_bForced = true;
            ::EndDialog(hDialog, 0);
        }
    }

    static inline CGuiScript* s_pCurrent = nullptr;
    std::vector<Step> m_steps;
    size_t m_nNext = 0;
    int m_nSpare = 0;
    bool m_bForced = false;
    UINT_PTR m_nTimer = 0;
};

inline void ClickItem(HWND hDialog, int nId)
{
    ::SendMessageA(::GetDlgItem(hDialog, nId), BM_CLICK, 0, 0);
}

inline void SetItem(HWND hDialog, int nId, const std::string& strText)
{
    ::SetWindowTextA(::GetDlgItem(hDialog, nId), strText.c_str());
}

} // namespace lumbratest
