// The programs' own modal message box. It stands in for the system's box so
// that the buttons, the title and the text speak the interface language
// rather than the system's, and so that a message can carry a details text
// and a "show this message next time" check box.
//
// The style and the results use the system message-box encoding: the low
// four bits choose the buttons (0 OK, 1 OK Cancel, 2 Abort Retry Ignore,
// 3 Yes No Cancel, 4 Yes No, 5 Retry Cancel), the next four the icon, bits
// 8 to 11 the default button; results are OK 1, Cancel 2, Abort 3, Retry 4,
// Ignore 5, Yes 6, No 7, and 0 when the box could not be shown.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Control ids of the box, for code that drives a box it did not open.
enum EMessageBoxControl : int {
    kMessageBoxIdText = 1100,
    kMessageBoxIdIcon = 1101,
    kMessageBoxIdCheck = 1102,
    kMessageBoxIdDetailsButton = 1103,
    kMessageBoxIdDetails = 1104,
    // The answer buttons use their result as id (IDOK 1 ... IDNO 7).
};

// Help topics the details button asks for instead of opening the details
// box when the details text is one of these keys.
constexpr unsigned kMessageBoxHelpTopicCodeTransfer = 26;   // "PX_HELP_UG_CODE_TRANSFER"
constexpr unsigned kMessageBoxHelpTopicSystemNeeds = 201;   // "PX_HELP_UG_SYS_REQ"

// Shows the program's help on a topic.
using MessageBoxHelp = std::function<void(unsigned nTopic)>;

// Shows the box modally and returns the result of the button pressed.
// `pOwner` is the owner window (an HWND) or null. `strText`, `strCaption`
// and `strDetails` are in the code page of the interface language; an empty
// caption shows the product name. With `bShowCheckBox` the check box starts
// as `*pbChecked` (unchecked when null) and its state at closing is written
// back there. `help` serves the help keys; without it those keys do nothing.
unsigned ShowMessageBox(const std::string& strText, const std::string& strCaption, unsigned nStyle,
                        void* pOwner = nullptr, const std::string& strDetails = std::string(),
                        bool bShowCheckBox = false, bool* pbChecked = nullptr,
                        const MessageBoxHelp& help = MessageBoxHelp());

// The results of the buttons of a style, left to right; the OK set for a
// button code outside the six sets.
std::vector<unsigned> MessageBoxButtons(unsigned nStyle);

// What Escape and the Close command answer for a style; 0 when they do
// nothing (Abort Retry Ignore, Yes No).
unsigned MessageBoxEscapeResult(unsigned nStyle);

// The result of the default button: the first, second or third of the set
// by bits 8 to 11, the first when the set has no such button.
unsigned MessageBoxDefaultResult(unsigned nStyle);

// The texts as the edit boxes take them. Over 25000 characters in either
// lifts the boxes' text limit. On the Windows 95 family a text is cut to
// 25000 characters when the other text exceeds 20000, else to 40000, with
// "..." appended when cut; the cut never splits a double-byte character of
// `nCodePage`.
struct CMessageBoxTexts {
    std::string m_strText;
    std::string m_strDetails;
    bool m_bLiftLimit = false;
};
CMessageBoxTexts FitMessageBoxTexts(const std::string& strText, const std::string& strDetails, bool bWindows9x,
                                    unsigned nCodePage);
