#include "AboutDlg.h"

#include "CharsetFont.h"
#include "InterfaceLanguage.h"
#include "MessageCatalogue.h"
#include "WebAddresses.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

CAboutDlg::CAboutDlg(const std::string& strProductName, const CHelpSettings& settings)
    : CDialog(IDD), m_strProductName(strProductName), m_settings(settings)
{
}

std::string CAboutDlg::GetLinkUrl() const
{
    return VendorHomePage(VendorSite(), m_settings.m_nLCID);
}

bool CAboutDlg::OnInitDialog()
{
    const BYTE charset = static_cast<BYTE>(CurrentInterfaceCharset());
    const UINT codePage = CharsetCodePage(charset);
    // The font first: the link builds its own from the one it finds.
    ApplyCharsetFont(charset);

    SetTitle(GetMessage(IDS_DIALOG_ABOUT_TITLE, m_strProductName), codePage);
    SetItemText(IDC_ABOUT_VERSION,
                GetMessage(m_settings.m_bPRCEdition ? IDS_DIALOG_ABOUT_COMPANY_PRODUCT_VERSION_PRC
                                                    : IDS_DIALOG_ABOUT_COMPANY_PRODUCT_VERSION),
                codePage);
    SetItemText(IDC_ABOUT_COPYRIGHT, GetMessage(IDS_DIALOG_ABOUT_COPYRIGHT), codePage);
    SetItemText(IDOK, GetMessage(IDS_DIALOG_OK), codePage);

    // The program's icon is shared by the system; nothing to free.
    if (const HICON hIcon = ::LoadIconA(reinterpret_cast<HINSTANCE>(&__ImageBase), MAKEINTRESOURCEA(IDR_MAINFRAME)))
        Item(IDC_ABOUT_ICON).Send(STM_SETICON, reinterpret_cast<WPARAM>(hIcon));

    m_link.SetUrl(GetLinkUrl());
    m_link.Attach(GetItem(IDC_ABOUT_LINK));
    m_link.SetToolTipFont(GetCharsetFont());

    m_toolTip.Create(GetHwnd());
    m_toolTip.SetFont(GetCharsetFont());
    m_btnOk.Attach(GetItem(IDOK));
    // Without the bitmaps the button draws its caption.
    m_btnOk.LoadImages(IDB_EXIT, IDB_EXIT + 1);
    m_btnOk.SetToolTip(GetMessage(IDS_TIP_EXIT), codePage, &m_toolTip);
    // OK has the focus, not the link: the first tab stop would take it, and
    // a focused link shows its pressed colour.
    ::SetFocus(GetItem(IDOK));
    return false;
}
