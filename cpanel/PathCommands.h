// What the path rows of the control panel and the wizard do besides taking
// typed text: browse for a folder or a program, starting where the user most
// likely looks and remembering where the user went, and hand a path to the
// shell. The remembered places are values under "Path" of the program's key.
#pragma once

#include <windows.h>

#include <string>

// A folder chosen from the nearest existing folder of `strFieldText`, or,
// when there is none, from the remembered `pszLastFolderValue`; the choice is
// remembered there. `strTitle` is in `nTitleCodePage`. Empty when the user cancelled.
std::string BrowseRememberedFolder(HWND hOwner, const std::string& strFieldText, const char* pszLastFolderValue,
                                   const std::string& strTitle, UINT nTitleCodePage);

// Lumbra's program chosen in a file dialog (`strFilter` in `nCodePage`) that
// starts at the program field's folder, else at the remembered "Last Lumbra
// Exe Path", else at the Lumbra folder field's folder; the chosen file's
// folder is remembered. False when the user cancelled.
bool BrowseLumbraExecutable(HWND hOwner, const std::string& strExeField, const std::string& strFolderField,
                            const std::string& strFilter, UINT nCodePage, std::string& strChosen);

// Opens a folder in Explorer or starts a program: the shell's "open" verb,
// no parameters, normal window. Nothing for an empty path.
void OpenWithShell(HWND hOwner, const std::string& strPath);
