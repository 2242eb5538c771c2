#include "ReleaseNotes.h"

#include "HelpTopics.h"
#include "Registry.h"

bool ShowReleaseNotesOnce(const std::string& strBuildDate, const CHelpSettings& settings, HWND hOwner)
{
    const std::string strValue = kRegReleaseNotePrefix + strBuildDate;
    if (GetUserRegString(kRegReleaseNoteSubKey, strValue, "") == "1")
        return false;
    OpenHelp(kHelpTopicReleaseNotes, hOwner, settings);
    SetUserRegString(kRegReleaseNoteSubKey, strValue, "1");
    return true;
}
