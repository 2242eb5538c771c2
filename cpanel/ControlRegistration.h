// The control's registration as the control panel sees and changes it: the
// check every status line shows, and regsvr32 started on a chosen file.
#pragma once

#include <windows.h>

#include <string>

// True when HKEY_CLASSES_ROOT\CLSID\{control CLSID} (or the same under
// HKEY_CURRENT_USER\Software\Classes) opens for reading, in the
// registry view of this program's architecture (a 64-bit control panel sees
// the 64-bit control's registration).
bool IsControlRegistered();

// Remembers the file's folder as "Last OCX Folder" and starts "regsvr32.exe"
// on it through the shell ("open", normal window), with "/u" to unregister.
// It neither waits for regsvr32 nor reads its result: the registration check
// shows the outcome. False only when the shell could not start it.
bool StartControlRegistration(const std::string& strControlFile, bool bUnregister);

// The parameters handed to regsvr32 for the file.
std::string Regsvr32Parameters(const std::string& strControlFile, bool bUnregister);

// The user picks the control file in a file dialog (`strFilter` in
// `nCodePage`, starting in `strStartFolder`), then regsvr32 is started on it
// as above. False when the dialog was cancelled.
bool ChooseAndStartControlRegistration(HWND hOwner, bool bUnregister, const std::string& strFilter, UINT nCodePage,
                                       const std::string& strStartFolder);
