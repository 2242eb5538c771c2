// Real input for GUI tests: xdotool, a Linux program, moves the mouse,
// clicks and types on the test's X display, where Wine's windows are.
//
// Wine starts a Linux program from its command line alone, but hands back
// no handle to wait on and not always the display in its environment: a
// shell passes the display on and leaves xdotool's exit status in a file,
// which the test polls.
#pragma once

#include "ChildProcess.h"
#include "ScratchFolder.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

// How a test waits: WaitFor, or a wait that also pumps the test's own
// windows' messages while xdotool works on them.
using XDoToolWait = std::function<bool(const std::function<bool()>&, DWORD)>;

// Runs "xdotool `strArguments`" (no double quotes in them); true when it
// ended with status 0 within 20 seconds.
inline bool XDoTool(const std::string& strArguments, const XDoToolWait& wait = WaitFor)
{
    static int nRun = 0;
    const std::string strStatus =
        "/tmp/kivo-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++nRun);
    std::string strStatusWindows = "Z:" + strStatus;
    for (char& c : strStatusWindows)
        c = c == '/' ? '\\' : c;
    const char* pszDisplay = std::getenv("DISPLAY");
    std::string strCommand = "/bin/sh -c \"DISPLAY='" + std::string(pszDisplay ? pszDisplay : "") +
                             "' /usr/bin/xdotool " + strArguments + "; echo $? > " + strStatus + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::string strExit;
    wait([&] { return (strExit = CScratchFolder::ReadBytes(strStatusWindows)).find('\n') != std::string::npos; },
         20000);
    DeleteFileA(strStatusWindows.c_str());
    if (strExit != "0\n")
        std::fprintf(stderr, "xdotool %s: status %s\n", strArguments.c_str(), strExit.c_str());
    return strExit == "0\n";
}
