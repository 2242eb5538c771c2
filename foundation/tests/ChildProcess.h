// A program a GUI test starts and works from outside: started with its
// command line, its windows found, waited for, and ended by force only when
// it will not end by itself. Also the patient wait for a condition such
// tests poll.
#pragma once

#include "ScopedKernelHandles.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Polls `condition` every 50 ms for up to `nTimeoutMs`; its last answer.
inline bool WaitFor(const std::function<bool()>& condition, DWORD nTimeoutMs)
{
    for (DWORD waited = 0; waited < nTimeoutMs; waited += 50) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}

namespace childprocess {

struct CFindWindows {
    DWORD nProcessId;
    const char* pszClass;
    std::vector<HWND> arrFound;
};

// A named callback: on 32-bit Windows the system calls it as stdcall, which a lambda is not.
inline BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    CFindWindows& find = *reinterpret_cast<CFindWindows*>(lParam);
    char szClass[64] = {};
    GetClassNameA(hWnd, szClass, sizeof szClass);
    DWORD nOwner = 0;
    GetWindowThreadProcessId(hWnd, &nOwner);
    if (nOwner == find.nProcessId && IsWindowVisible(hWnd) && std::string(szClass) == find.pszClass)
        find.arrFound.push_back(hWnd);
    return TRUE;
}

}  // namespace childprocess

// The visible top-level windows of class `pszClass` ("#32770" for dialogs)
// that belong to a process, in the system's window order.
inline std::vector<HWND> VisibleWindowsOf(DWORD nProcessId, const char* pszClass)
{
    childprocess::CFindWindows find = {nProcessId, pszClass, {}};
    EnumWindows(&childprocess::CollectWindow, reinterpret_cast<LPARAM>(&find));
    return find.arrFound;
}

class CChildProcess {
public:
    CChildProcess() = default;
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;
    ~CChildProcess() { Stop(20000); }

    // `strArguments` as they follow the quoted program path; an empty
    // working folder is the test's own.
    bool Start(const std::string& strProgram, const std::string& strArguments = std::string(),
               const std::string& strWorkingFolder = std::string())
    {
        std::string strCommand = "\"" + strProgram + "\"" + (strArguments.empty() ? "" : " " + strArguments);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(strProgram.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr,
                            strWorkingFolder.empty() ? nullptr : strWorkingFolder.c_str(), &startup, &info))
            return false;
        m_process.Reset(info.hProcess);
        m_thread.Reset(info.hThread);
        m_nProcessId = info.dwProcessId;
        return true;
    }

    bool IsStarted() const { return static_cast<bool>(m_process); }
    DWORD GetId() const { return m_nProcessId; }

    // True with the exit code once the process has ended within the time.
    bool WaitForExit(DWORD nTimeoutMs, DWORD& nExitCode) const
    {
        if (!m_process || WaitForSingleObject(m_process.Get(), nTimeoutMs) != WAIT_OBJECT_0)
            return false;
        return GetExitCodeProcess(m_process.Get(), &nExitCode) != FALSE;
    }

    // Gives the process `nTimeoutMs` to end, then ends it.
    void Stop(DWORD nTimeoutMs)
    {
        if (!m_process)
            return;
        if (WaitForSingleObject(m_process.Get(), nTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(m_process.Get(), 3);
        m_process.Reset();
        m_thread.Reset();
    }

private:
    CScopedHandle m_process, m_thread;
    DWORD m_nProcessId = 0;
};
