// The application object's ways to help and the About box, which take the
// program's state as it is at each call (a language switch is followed at once).
#include "KIVOCPApp.h"

#include "AboutDlg.h"
#include "ControlPanelDlg.h"
#include "HelpOpener.h"
#include "ReleaseNotes.h"

CHelpSettings CKIVOCPApp::HelpSettings() const
{
    CHelpSettings settings;
    settings.m_strMainPath = m_strMainPath;
    settings.m_nLCID = m_nLCID;
    settings.m_bPRCEdition = m_bPRCEdition;
    settings.m_hMainWindow = m_pMainDialog ? m_pMainDialog->GetHwnd() : nullptr;
    return settings;
}

void CKIVOCPApp::OpenHelp(unsigned nTopic, HWND hOwner) const
{
    ::OpenHelp(nTopic, hOwner, HelpSettings());
}

void CKIVOCPApp::ShowAbout(HWND hOwner) const
{
    CAboutDlg about(m_texts.m_strProductName, HelpSettings());
    about.DoModal(hOwner);
}

void CKIVOCPApp::ShowReleaseNotes() const
{
    const CHelpSettings settings = HelpSettings();
    ShowReleaseNotesOnce(m_strBuildDate, settings, settings.m_hMainWindow);
}
