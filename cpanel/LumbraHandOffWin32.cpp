#include "LumbraHandOff.h"

#include <shellapi.h>

HWND FindLumbraWindow()
{
    return ::FindWindowA(kLumbraWindowClass, nullptr);
}

bool CLumbraHandOff::Start(const std::string& strLumbraExe)
{
    if (const HWND hLumbra = FindLumbraWindow()) {
        Activate(hLumbra);
        return true;
    }
    // Started already and not up yet: a second click must not start a second
    // Lumbra; the wait under way sends the command when the window comes.
    if (IsWaiting())
        return true;
    const INT_PTR nResult = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", strLumbraExe.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (nResult <= 32)
        return false;
    m_nWait = 0;
    ::SetTimer(m_hTimerWindow, kTimerId, kTickMs, nullptr);
    return true;
}

void CLumbraHandOff::OnTimer()
{
    // A tick after the command went out, or after two minutes, ends the wait.
    if (++m_nWait > kMaxTicks) {
        ::KillTimer(m_hTimerWindow, kTimerId);
        return;
    }
    if (const HWND hLumbra = FindLumbraWindow())
        Activate(hLumbra);
}

void CLumbraHandOff::Activate(HWND hLumbra)
{
    m_nWait = kMaxTicks + 1;
    // SW_SHOW would leave a minimised Lumbra minimised, its dialog out of sight.
    ::ShowWindow(hLumbra, ::IsIconic(hLumbra) ? SW_RESTORE : SW_SHOW);
    ::BringWindowToTop(hLumbra);
    ::SetForegroundWindow(hLumbra);
    ::PostMessageA(hLumbra, WM_COMMAND, kLumbraWordAdjustmentCommand, 0);
}
