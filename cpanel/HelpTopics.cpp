#include "HelpTopics.h"

#include "InterfaceLanguage.h"

namespace {

const CHelpTopic kHelpTopics[] = {
    {kHelpTopicContents, "FullScreen", "/index.html"},
    {1, "FullScreen", "/intro.htm"},
    {2, "FullScreen", "/userguide/0_contents.htm"},
    {kHelpTopicDownload, "FullScreen", "/download.htm"},
    {7, "FullWindowSingleTopic", "/support.htm"},
    {kHelpTopicReleaseNotes, "ReleaseNote", "/rel_note.htm"},
    // The wizard's help is the start page online: the site has no page of its own for it.
    {kHelpTopicWizard, "FullScreen", "/index.html"},
    {kHelpTopicSampleTextEditor, "FullScreen", "/userguide/43_tte.htm"},
    {200, "FullScreen", "/userguide/1_introduction.htm"},
    {kHelpTopicSystemNeeds, "FullScreen", "/userguide/2_sysreq.htm"},
};

const CHelpTopic kOtherTopic = {0, "FullScreen", "/index.html"};

const CHelpEdition kPRCEdition = {"kivoprc.chm", "/lumbra/help/kivo/gb2312"};
const CHelpEdition kSimplifiedEdition = {"kivop.chm", "/kivo/help/gb2312"};
const CHelpEdition kTraditionalEdition = {"kivoc.chm", "/kivo/help/big5"};
const CHelpEdition kEnglishEdition = {"kivo.chm", "/kivo/help/english"};

} // namespace

const CHelpTopic& FindHelpTopic(unsigned nTopic)
{
    for (const CHelpTopic& topic : kHelpTopics)
        if (topic.m_nTopic == nTopic)
            return topic;
    return kOtherTopic;
}

const CHelpEdition& FindHelpEdition(bool bPRCEdition, std::uint32_t nLCID)
{
    if (bPRCEdition)
        return kPRCEdition;
    if (nLCID == kLcidSimplifiedChinese)
        return kSimplifiedEdition;
    if (nLCID == kLcidTraditionalChinese)
        return kTraditionalEdition;
    return kEnglishEdition;
}

std::string OnlineHelpPage(const std::string& strOnlineBase, unsigned nTopic)
{
    return strOnlineBase + FindHelpTopic(nTopic).m_pszPage;
}
