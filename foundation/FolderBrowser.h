// The system folder browser. Windows only (FolderBrowserWin32.cpp).
#pragma once

#include <windows.h>

#include <string>

// Shows the browser, limited to file-system folders, above `hOwner`, opened
// at `strStartFolder` (when it exists) and with the selected path in its
// status line. `strTitle` is the text above the tree (the caller's
// catalogue text, IDS_DIALOG_BROWSE_FOR_FOLDER, in `nTitleCodePage`). Returns
// the chosen folder without a trailing "\" (a drive root as "C:"), or empty
// when cancelled.
std::string BrowseForFolder(HWND hOwner, const std::string& strStartFolder, const std::string& strTitle,
                            UINT nTitleCodePage = CP_ACP);
