#include "HelpOpener.h"

#include "HelpTopics.h"
#include "PathUtil.h"
#include "WebAddresses.h"
#include "WebPageOpener.h"

#include <htmlhelp.h>

namespace {

bool OpenHelpFile(const std::string& strFile, unsigned nTopic, HWND hOwner, const CHelpSettings& settings)
{
    HWND hViewerOwner = hOwner;
    if (!hViewerOwner || !::IsWindow(hViewerOwner))
        hViewerOwner = settings.m_hMainWindow;
    if (!hViewerOwner || !::IsWindow(hViewerOwner))
        hViewerOwner = ::GetDesktopWindow();

    const std::string strPath = strFile + ">" + FindHelpTopic(nTopic).m_pszWindow;
    HWND hViewer;
    if (nTopic == kHelpTopicContents)
        hViewer = ::HtmlHelpA(hViewerOwner, strPath.c_str(), HH_DISPLAY_TOPIC, 0);
    else
        hViewer = ::HtmlHelpA(hViewerOwner, strPath.c_str(), HH_HELP_CONTEXT, nTopic);
    return hViewer != nullptr;
}

} // namespace

std::string HelpFilePath(const CHelpSettings& settings)
{
    return settings.m_strMainPath + "\\" + FindHelpEdition(settings.m_bPRCEdition, settings.m_nLCID).m_pszFile;
}

std::string OnlineHelpUrl(unsigned nTopic, const CHelpSettings& settings)
{
    const CHelpEdition& edition = FindHelpEdition(settings.m_bPRCEdition, settings.m_nLCID);
    return OnlineHelpPage(VendorSite() + edition.m_pszOnlinePath, nTopic);
}

bool OpenHelp(unsigned nTopic, HWND hOwner, const CHelpSettings& settings)
{
    if (nTopic == kHelpTopicReleaseNotes)
        OpenWebPage(VendorHomePage(VendorSite(), settings.m_nLCID));

    const std::string strFile = HelpFilePath(settings);
    if (!FileExists(strFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE))
        return OpenWebPage(OnlineHelpUrl(nTopic, settings)) > 32;
    if (OpenHelpFile(strFile, nTopic, hOwner, settings))
        return true;
    // A help file that is there but does not open (damaged, a context its
    // map lacks, no viewer) leaves the user the same page online.
    return OpenWebPage(OnlineHelpUrl(nTopic, settings)) > 32;
}
