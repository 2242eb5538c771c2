#include "MessageBox.h"

#include "CharsetFont.h"
#include "DbcsText.h"
#include "Dialog.h"
#include "DialogTemplate.h"
#include "InterfaceLanguage.h"
#include "MessageCatalogue.h"
#include "SystemInfo.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr std::size_t kLiftLimitSize = 25000;
constexpr std::size_t kOtherTextLarge = 20000;
constexpr std::size_t kCutShort = 25000;
constexpr std::size_t kCutLong = 40000;

// How far the box may grow or shrink, in pixels, to fit its text.
constexpr int kMaxGrow = 264;
constexpr int kMaxShrink = 200;

// Layout in dialog units.
constexpr short kWidth = 260;
constexpr short kMargin = 7;
constexpr short kIconSide = 20;
constexpr short kTextHeight = 40;   // the template's text area
constexpr short kCheckHeight = 10;
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;
constexpr short kButtonGap = 4;
constexpr short kDetailsWidth = 60;
constexpr short kDetailsHeight = 90;
constexpr short kGap = 5;

constexpr UINT_PTR kDefaultLookTimer = 1;

const char* const kHelpKeyCodeTransfer = "PX_HELP_UG_CODE_TRANSFER";
const char* const kHelpKeySystemNeeds = "PX_HELP_UG_SYS_REQ";

std::int32_t CaptionIdOf(unsigned nResult)
{
    switch (nResult) {
    case IDOK: return IDS_DIALOG_OK;
    case IDCANCEL: return IDS_DIALOG_CANCEL;
    case IDABORT: return IDS_DIALOG_ABORT_A;
    case IDRETRY: return IDS_DIALOG_RETRY_R;
    case IDIGNORE: return IDS_DIALOG_IGNORE_I;
    case IDYES: return IDS_DIALOG_YES_Y;
    default: return IDS_DIALOG_NO_N;
    }
}

LPCSTR IconOf(unsigned nStyle)
{
    switch (nStyle & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
    }
}

// Edit boxes break lines only at CR LF.
std::string WithCrLf(const std::string& strText)
{
    std::string out;
    out.reserve(strText.size());
    for (std::size_t i = 0; i < strText.size(); ++i) {
        if (strText[i] == '\n' && (i == 0 || strText[i - 1] != '\r'))
            out += '\r';
        out += strText[i];
    }
    return out;
}

std::string CutText(const std::string& strText, std::size_t nMax, unsigned nCodePage)
{
    if (strText.size() <= nMax)
        return strText;
    std::size_t nEnd = 0;
    while (nEnd < nMax) {
        const std::size_t nStep =
            IsDbcsLeadByte(nCodePage, static_cast<unsigned char>(strText[nEnd])) && nEnd + 1 < strText.size() ? 2 : 1;
        if (nEnd + nStep > nMax)
            break;
        nEnd += nStep;
    }
    return strText.substr(0, nEnd) + "...";
}

class CMessageBoxDlg : public CDialog {
public:
    CMessageBoxDlg(const CDialogTemplate& dlgTemplate, unsigned nStyle, const CMessageBoxTexts& texts,
                   const std::string& strCaption, bool bShowCheckBox, bool bChecked, const MessageBoxHelp& help)
        : CDialog(dlgTemplate), m_bChecked(bChecked), m_nStyle(nStyle), m_texts(texts), m_strCaption(strCaption),
          m_bShowCheckBox(bShowCheckBox), m_help(help)
    {
    }

    bool m_bChecked;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnTimer(UINT_PTR nIdEvent) override;

private:
    void Layout();
    void ShowDetails(bool bShow);
    void Finish(unsigned nResult);
    int Dlu(int nUnits, bool bVertical) const;

    unsigned m_nStyle;
    CMessageBoxTexts m_texts;
    std::string m_strCaption;
    bool m_bShowCheckBox;
    MessageBoxHelp m_help;
    std::vector<unsigned> m_arrButtons;
    UINT m_nCodePage = CP_ACP;
    bool m_bDetailsOpen = false;
    int m_nClosedHeight = 0;  // client height with the details box closed
    int m_nOpenHeight = 0;
};

int CMessageBoxDlg::Dlu(int nUnits, bool bVertical) const
{
    RECT rc = {0, 0, nUnits, nUnits};
    ::MapDialogRect(GetHwnd(), &rc);
    return bVertical ? rc.bottom : rc.right;
}

bool CMessageBoxDlg::OnInitDialog()
{
    m_arrButtons = MessageBoxButtons(m_nStyle);
    const BYTE charset = static_cast<BYTE>(CurrentInterfaceCharset());
    m_nCodePage = CharsetCodePage(charset);
    ApplyCharsetFont(charset);

    SetTitle(m_strCaption.empty() ? GetMessage(IDS_PXT_PRODUCT) : m_strCaption, m_nCodePage);
    for (unsigned nResult : m_arrButtons)
        SetItemText(static_cast<int>(nResult), GetMessage(CaptionIdOf(nResult)), m_nCodePage);
    SetItemText(kMessageBoxIdCheck, GetMessage(IDS_DIALOG_PX_MESSAGE_BOX_SHOW_NEXT_TIME_S), m_nCodePage);
    SetItemText(kMessageBoxIdDetailsButton, GetMessage(IDS_DIALOG_PX_MESSAGE_BOX_SHOW_DETAILS_D), m_nCodePage);
    SetCheck(kMessageBoxIdCheck, m_bChecked ? BST_CHECKED : BST_UNCHECKED);

    if (m_texts.m_bLiftLimit) {
        // 0 asks for the largest limit the edit box supports.
        ::SendMessageA(GetItem(kMessageBoxIdText), EM_SETLIMITTEXT, 0, 0);
        ::SendMessageA(GetItem(kMessageBoxIdDetails), EM_SETLIMITTEXT, 0, 0);
    }
    SetItemText(kMessageBoxIdText, WithCrLf(m_texts.m_strText), m_nCodePage);
    SetItemText(kMessageBoxIdDetails, WithCrLf(m_texts.m_strDetails), m_nCodePage);

    if (LPCSTR icon = IconOf(m_nStyle))
        ::SendMessageA(GetItem(kMessageBoxIdIcon), STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconA(nullptr, icon)), 0);
    else
        ShowItem(kMessageBoxIdIcon, false);

    if (MessageBoxEscapeResult(m_nStyle) == 0)
        ::EnableMenuItem(::GetSystemMenu(GetHwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);

    Layout();

    const int nDefault = static_cast<int>(MessageBoxDefaultResult(m_nStyle));
    ::SendMessageA(GetHwnd(), DM_SETDEFID, nDefault, 0);
    ::SetFocus(GetItem(nDefault));
    SetTimer(kDefaultLookTimer, 10);
    return false;
}

void CMessageBoxDlg::Layout()
{
    const HWND hWnd = GetHwnd();
    const bool bIcon = IconOf(m_nStyle) != nullptr;
    const int nMargin = Dlu(kMargin, false), nMarginV = Dlu(kMargin, true);
    const int nClientWidth = Dlu(kWidth, false);
    const int nTextLeft = bIcon ? nMargin + Dlu(kIconSide + kMargin, false) : nMargin;
    const int nTextWidth = nClientWidth - nTextLeft - nMargin;

    // Height the text needs, measured in the box's own font and width.
    const HWND hText = GetItem(kMessageBoxIdText);
    int nTextHeight = Dlu(kTextHeight, true);
    {
        HDC hDC = ::GetDC(hText);
        HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HFONT>(::SendMessageA(hText, WM_GETFONT, 0, 0)));
        const std::wstring wide = [&] {
            const std::string text = WithCrLf(m_texts.m_strText);
            const int n = ::MultiByteToWideChar(m_nCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
            std::wstring w(static_cast<std::size_t>(std::max(n, 0)), L'\0');
            if (n > 0)
                ::MultiByteToWideChar(m_nCodePage, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
            return w;
        }();
        TEXTMETRICW tm = {};
        ::GetTextMetricsW(hDC, &tm);
        RECT rc = {0, 0, nTextWidth - ::GetSystemMetrics(SM_CXVSCROLL) - 8, 0};
        ::DrawTextW(hDC, wide.empty() ? L" " : wide.c_str(), wide.empty() ? 1 : static_cast<int>(wide.size()), &rc,
                    DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(hText, hDC);
        const int nNeeded = std::max<int>(rc.bottom + 6, tm.tmHeight + 6);
        nTextHeight += std::clamp(nNeeded - nTextHeight, -kMaxShrink, kMaxGrow);
        nTextHeight = std::max<int>(nTextHeight, tm.tmHeight + 6);
        // The scroll bar only for a text that does not fit.
        if (nNeeded <= nTextHeight) {
            ::SetWindowLongA(hText, GWL_STYLE, ::GetWindowLongA(hText, GWL_STYLE) & ~WS_VSCROLL);
            ::SetWindowPos(hText, nullptr, 0, 0, 0, 0,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
        }
    }

    auto place = [&](int nId, int x, int y, int cx, int cy) {
        ::SetWindowPos(GetItem(nId), nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(kMessageBoxIdIcon, nMargin, nMarginV, Dlu(kIconSide, false), Dlu(kIconSide, true));
    place(kMessageBoxIdText, nTextLeft, nMarginV, nTextWidth, nTextHeight);
    int y = nMarginV + nTextHeight + Dlu(kGap, true);

    ShowItem(kMessageBoxIdCheck, m_bShowCheckBox);
    if (m_bShowCheckBox) {
        place(kMessageBoxIdCheck, nTextLeft, y, nTextWidth, Dlu(kCheckHeight, true));
        y += Dlu(kCheckHeight + kGap, true);
    }

    // Answer buttons from the right edge, so the last of a set is rightmost.
    const int nButtonWidth = Dlu(kButtonWidth, false), nButtonHeight = Dlu(kButtonHeight, true);
    int x = nClientWidth - nMargin;
    for (auto it = m_arrButtons.rbegin(); it != m_arrButtons.rend(); ++it) {
        x -= nButtonWidth;
        place(static_cast<int>(*it), x, y, nButtonWidth, nButtonHeight);
        x -= Dlu(kButtonGap, false);
    }
    ShowItem(kMessageBoxIdDetailsButton, !m_texts.m_strDetails.empty());
    place(kMessageBoxIdDetailsButton, nMargin, y, Dlu(kDetailsWidth, false), nButtonHeight);
    y += nButtonHeight + nMarginV;
    m_nClosedHeight = y;
    place(kMessageBoxIdDetails, nMargin, y, nClientWidth - 2 * nMargin, Dlu(kDetailsHeight, true));
    m_nOpenHeight = y + Dlu(kDetailsHeight, true) + nMarginV;
    ShowItem(kMessageBoxIdDetails, false);

    RECT rcWindow = {0, 0, nClientWidth, m_nClosedHeight};
    ::AdjustWindowRectEx(&rcWindow, static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_EXSTYLE)));
    ::SetWindowPos(hWnd, nullptr, 0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    ::SendMessageA(hWnd, DM_REPOSITION, 0, 0);
}

void CMessageBoxDlg::ShowDetails(bool bShow)
{
    m_bDetailsOpen = bShow;
    ShowItem(kMessageBoxIdDetails, bShow);
    SetItemText(kMessageBoxIdDetailsButton,
                GetMessage(bShow ? IDS_DIALOG_PX_MESSAGE_BOX_HIDE_DETAILS_D : IDS_DIALOG_PX_MESSAGE_BOX_SHOW_DETAILS_D),
                m_nCodePage);
    const HWND hWnd = GetHwnd();
    RECT rcWindow = {}, rcClient = {};
    ::GetWindowRect(hWnd, &rcWindow);
    ::GetClientRect(hWnd, &rcClient);
    const int nChange = (bShow ? m_nOpenHeight : m_nClosedHeight) - rcClient.bottom;
    ::SetWindowPos(hWnd, nullptr, 0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top + nChange,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CMessageBoxDlg::Finish(unsigned nResult)
{
    m_bChecked = GetCheck(kMessageBoxIdCheck) == BST_CHECKED;
    EndDialog(static_cast<INT_PTR>(nResult));
}

bool CMessageBoxDlg::OnCommand(int nId, int nCode, HWND hCtl)
{
    if (nId == kMessageBoxIdDetailsButton && nCode == BN_CLICKED) {
        const std::string& details = m_texts.m_strDetails;
        if (details == kHelpKeyCodeTransfer || details == kHelpKeySystemNeeds) {
            if (m_help)
                m_help(details == kHelpKeyCodeTransfer ? kMessageBoxHelpTopicCodeTransfer
                                                       : kMessageBoxHelpTopicSystemNeeds);
        } else {
            ShowDetails(!m_bDetailsOpen);
        }
        return true;
    }
    if (nId == IDCANCEL) {
        // Escape and the Close command arrive as IDCANCEL, also in sets without a Cancel button.
        const bool bCancelButton =
            std::find(m_arrButtons.begin(), m_arrButtons.end(), static_cast<unsigned>(IDCANCEL)) != m_arrButtons.end();
        if (bCancelButton && hCtl != nullptr && hCtl == GetItem(IDCANCEL)) {
            Finish(IDCANCEL);
        } else if (const unsigned nEscape = MessageBoxEscapeResult(m_nStyle)) {
            Finish(nEscape);
        }
        return true;
    }
    if (nId >= IDOK && nId <= IDNO) {
        if (std::find(m_arrButtons.begin(), m_arrButtons.end(), static_cast<unsigned>(nId)) != m_arrButtons.end())
            Finish(static_cast<unsigned>(nId));
        return true;  // Enter in a set without OK sends IDOK: not an answer
    }
    return CDialog::OnCommand(nId, nCode, hCtl);
}

void CMessageBoxDlg::OnTimer(UINT_PTR nIdEvent)
{
    if (nIdEvent != kDefaultLookTimer)
        return;
    KillTimer(kDefaultLookTimer);
    const int nDefault = static_cast<int>(MessageBoxDefaultResult(m_nStyle));
    ::SendMessageA(GetHwnd(), DM_SETDEFID, nDefault, 0);
    ::SendMessageA(GetItem(nDefault), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

CDialogTemplate MakeMessageBoxTemplate(const std::vector<unsigned>& arrButtons)
{
    // Positions are set at WM_INITDIALOG once the text is measured.
    CDialogTemplate dlg("", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, kWidth,
                        static_cast<short>(kMargin + kTextHeight + kGap + kButtonHeight + kMargin));
    dlg.AddControl(CDialogTemplate::kStatic, "", kMessageBoxIdIcon, SS_ICON, kMargin, kMargin, kIconSide, kIconSide);
    dlg.AddControl(CDialogTemplate::kEdit, "", kMessageBoxIdText,
                   ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, 35, kMargin, 218,
                   kTextHeight);
    dlg.AddControl(CDialogTemplate::kButton, "", kMessageBoxIdCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 35, 50, 218,
                   kCheckHeight);
    for (unsigned nResult : arrButtons)
        dlg.AddControl(CDialogTemplate::kButton, "", static_cast<WORD>(nResult), BS_PUSHBUTTON | WS_TABSTOP, 0, 52,
                       kButtonWidth, kButtonHeight);
    dlg.AddControl(CDialogTemplate::kButton, "", kMessageBoxIdDetailsButton, BS_PUSHBUTTON | WS_TABSTOP, kMargin, 52,
                   kDetailsWidth, kButtonHeight);
    dlg.AddControl(CDialogTemplate::kEdit, "", kMessageBoxIdDetails,
                   ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, kMargin, 70,
                   kWidth - 2 * kMargin, kDetailsHeight);
    return dlg;
}

} // namespace

std::vector<unsigned> MessageBoxButtons(unsigned nStyle)
{
    switch (nStyle & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

unsigned MessageBoxEscapeResult(unsigned nStyle)
{
    const std::vector<unsigned> buttons = MessageBoxButtons(nStyle);
    if (buttons.size() == 1)
        return IDOK;
    return std::find(buttons.begin(), buttons.end(), static_cast<unsigned>(IDCANCEL)) != buttons.end() ? IDCANCEL
                                                                                                       : 0;
}

unsigned MessageBoxDefaultResult(unsigned nStyle)
{
    const std::vector<unsigned> buttons = MessageBoxButtons(nStyle);
    const unsigned nIndex = (nStyle >> 8) & 0xF;
    return nIndex < buttons.size() ? buttons[nIndex] : buttons.front();
}

CMessageBoxTexts FitMessageBoxTexts(const std::string& strText, const std::string& strDetails, bool bWindows9x,
                                    unsigned nCodePage)
{
    CMessageBoxTexts texts;
    texts.m_bLiftLimit = strText.size() > kLiftLimitSize || strDetails.size() > kLiftLimitSize;
    if (!bWindows9x) {
        texts.m_strText = strText;
        texts.m_strDetails = strDetails;
        return texts;
    }
    // The 95 family's edit boxes hold 64 KB in all: the two texts share it.
    texts.m_strText = CutText(strText, strDetails.size() > kOtherTextLarge ? kCutShort : kCutLong, nCodePage);
    texts.m_strDetails = CutText(strDetails, strText.size() > kOtherTextLarge ? kCutShort : kCutLong, nCodePage);
    return texts;
}

unsigned ShowMessageBox(const std::string& strText, const std::string& strCaption, unsigned nStyle, void* pOwner,
                        const std::string& strDetails, bool bShowCheckBox, bool* pbChecked, const MessageBoxHelp& help)
{
    const UINT nCodePage = CharsetCodePage(static_cast<BYTE>(CurrentInterfaceCharset()));
    const CMessageBoxTexts texts = FitMessageBoxTexts(strText, strDetails, !IsWindowsNT(), nCodePage);
    CMessageBoxDlg dlg(MakeMessageBoxTemplate(MessageBoxButtons(nStyle)), nStyle, texts, strCaption, bShowCheckBox,
                       pbChecked != nullptr && *pbChecked, help);
    const INT_PTR nResult = dlg.DoModal(static_cast<HWND>(pOwner));
    if (nResult <= 0)
        return 0;
    if (bShowCheckBox && pbChecked)
        *pbChecked = dlg.m_bChecked;
    return static_cast<unsigned>(nResult);
}
