// What the help opener opens for a topic: the help file of the edition and
// interface language, the viewer window it names, and the page of the online
// help that stands in when no help file is installed.
#pragma once

#include <cstdint>
#include <string>

// Topics the programs ask for by number; with a help file the number is the
// file's context number (cpanel/help/common/context.h).
constexpr unsigned kHelpTopicContents = 0;
constexpr unsigned kHelpTopicDownload = 3;
constexpr unsigned kHelpTopicReleaseNotes = 8;
constexpr unsigned kHelpTopicWizard = 22;
constexpr unsigned kHelpTopicSampleTextEditor = 23;
constexpr unsigned kHelpTopicSystemNeeds = 201;

struct CHelpTopic {
    unsigned m_nTopic;
    const char* m_pszWindow;  // window definition of the help files
    const char* m_pszPage;    // page under the online base, with its leading "/"
};

// The row of `nTopic`; topics without a row of their own open the contents
// page online and context `nTopic` in the "FullScreen" window.
const CHelpTopic& FindHelpTopic(unsigned nTopic);

struct CHelpEdition {
    const char* m_pszFile;        // help file name in the program's main folder
    const char* m_pszOnlinePath;  // base path of the online help on the vendor's site
};

// The PRC edition has its own file and folder whatever the language;
// otherwise Simplified Chinese (2052), Traditional Chinese (1028) or English
// for every other language.
const CHelpEdition& FindHelpEdition(bool bPRCEdition, std::uint32_t nLCID);

// The online page of a topic: `strOnlineBase` (site and edition path) and the page.
std::string OnlineHelpPage(const std::string& strOnlineBase, unsigned nTopic);
