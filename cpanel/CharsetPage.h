// The one-line page that makes the system offer a character set's language
// support: when no font of GB2312 or Big5 exists, the sample text editor has
// the system's web browser load a page declaring that set, and Windows then
// offers to install the fonts.
#pragma once

#include <windows.h>

#include <string>

// The page's line for character set 134 or 136; empty for any other set.
std::string CharsetPageLine(BYTE charset);

// "`strFolder`\ss`charset`.wtmp" holding the set's line: a file that holds
// it already (in any case) is left alone, anything else there is replaced.
// The path, or empty when the set has no page or the file cannot be written.
std::string WriteCharsetPage(const std::string& strFolder, BYTE charset);

// The web browser that loads the page, made hidden in the dialog on first
// use and destroyed with it.
class CCharsetPageBrowser {
public:
    CCharsetPageBrowser() = default;
    CCharsetPageBrowser(const CCharsetPageBrowser&) = delete;
    CCharsetPageBrowser& operator=(const CCharsetPageBrowser&) = delete;

    // Makes the hidden browser window `nId` of `hDialog` at `rect` (client
    // pixels) if there is none yet, and navigates it to `strPath`.
    bool Navigate(HWND hDialog, int nId, const RECT& rect, const std::string& strPath);
    HWND GetHwnd() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};
