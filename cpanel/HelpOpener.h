// Opens the program's help on a topic: the help file of the edition and
// interface language in the HTML Help viewer, or, when that file is not
// installed, the same page of the online help in the browser.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// What the help opener needs of the running program. The application object
// fills one from its own state at each call, so a language switch is
// followed at once.
struct CHelpSettings {
    std::string m_strMainPath;      // folder of the program, without trailing "\"
    std::uint32_t m_nLCID = 1033;   // interface language
    bool m_bPRCEdition = false;     // the Simplified Chinese (PRC) edition
    HWND m_hMainWindow = nullptr;   // the program's main window, or none
};

// Opens topic `nTopic` (HelpTopics.h). Topic 8, the release notes, first
// opens the vendor's home page in the browser. With the help file present
// the viewer is owned by `hOwner`, else by the main window, else by the
// desktop; a help file that does not open in the viewer (damaged, or a
// context number its map lacks) gives way to the online page, as a missing
// one does. True when the viewer's window opened or the browser was started
// on the online page; false when neither happened (no browser at all).
bool OpenHelp(unsigned nTopic, HWND hOwner, const CHelpSettings& settings);

// The help file OpenHelp uses: "<main folder>\<file of the edition>".
std::string HelpFilePath(const CHelpSettings& settings);

// The online page OpenHelp uses when there is no help file.
std::string OnlineHelpUrl(unsigned nTopic, const CHelpSettings& settings);
