// The About box: product and version, copyright, the vendor's home page as a
// link, and an image button that closes it. Its texts are the interface
// language's, shown in that language's font.
#pragma once

#include "ControlPanelResource.h"
#include "Dialog.h"
#include "HelpOpener.h"
#include "HyperLink.h"
#include "ImageButton.h"
#include "ToolTip.h"

#include <string>

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUT };

    // `strProductName` fills the caption; the settings give the edition and
    // the language of the vendor's home page.
    CAboutDlg(const std::string& strProductName, const CHelpSettings& settings);

    // The address the link shows and opens.
    std::string GetLinkUrl() const;

protected:
    bool OnInitDialog() override;

private:
    std::string m_strProductName;
    CHelpSettings m_settings;
    CHyperLink m_link;
    // Before the button, which uses it: members go in reverse order.
    CToolTip m_toolTip;
    CImageButton m_btnOk;
};
