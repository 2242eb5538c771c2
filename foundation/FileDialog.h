// The system's open-file and save-as dialogs. Windows only (FileDialogWin32.cpp).
#pragma once

#include <windows.h>

#include <string>

// Shows the open-file dialog above `hOwner`, opened in `strStartFolder`,
// hiding the read-only box. `strFilter` is a catalogue filter text in the
// code page `nFilterCodePage`: pairs of name and pattern separated by "|"
// and ended by "||" ("ActiveX Control (*.ocx)|*.ocx||"). The chosen file
// comes back as a path of the ANSI code page; false when cancelled or when
// the path cannot be written in that code page.
bool ChooseFileToOpen(HWND hOwner, const std::string& strFilter, UINT nFilterCodePage,
                      const std::string& strStartFolder, std::string& strPath);

// The save-as dialog, the same way, offering `strStartPath` (a folder and a
// file name) and asking before it replaces a file.
bool ChooseFileToSave(HWND hOwner, const std::string& strFilter, UINT nFilterCodePage,
                      const std::string& strStartPath, std::string& strPath);

// The filter as the dialog takes it: every "|" made a zero character, and
// the list ended by two zeros however the text ended.
std::wstring FileDialogFilter(const std::wstring& strFilter);
