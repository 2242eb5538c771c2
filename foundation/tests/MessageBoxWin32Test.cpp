// The message box as a user meets it: opened for real, then looked at and
// answered by a script that runs on the box's own thread from a thread timer,
// one step a tick, with the keys and clicks a user would give.
#include "MessageBox.h"

#include "CatalogueMessages.h"
#include "FixedLanguage.h"
#include "MessageCatalogue.h"
#include "ScratchFolder.h"
#include "ScreenCapture.h"
#include "TextFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace dialogtest;

namespace {

// A window's text in code page `nCodePage`.
std::string TextIn(HWND hWnd, UINT nCodePage)
{
    wchar_t wide[4096] = {};
    const int n = ::GetWindowTextW(hWnd, wide, 4096);
    char narrow[8192] = {};
    ::WideCharToMultiByte(nCodePage, 0, wide, n, narrow, sizeof narrow - 1, nullptr, nullptr);
    return narrow;
}

RECT ScreenRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

int ClientHeight(HWND hWnd)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    return rc.bottom;
}

bool IsDefaultLook(HWND hButton)
{
    return (::GetWindowLongA(hButton, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// Posts a key to the control with the focus, as the keyboard would.
void PressKey(UINT nKey)
{
    const HWND hFocus = ::GetFocus();
    ::PostMessageA(hFocus, WM_KEYDOWN, nKey, 0);
    ::PostMessageA(hFocus, WM_KEYUP, nKey, 0xC0000000);
}

void Click(HWND hBox, int nId)
{
    ::SendMessageA(::GetDlgItem(hBox, nId), BM_CLICK, 0, 0);
}

// Runs a box and a script of steps against it. A step runs on the tick
// after the previous one, so a key posted in one step has been handled when
// the next looks. A box still open when the script has run out is closed
// with result 0, so a wrong answer fails the test instead of hanging it.
class CBoxScript {
public:
    using Step = std::function<void(HWND hBox)>;

    unsigned Run(const std::function<unsigned()>& show, std::vector<Step> steps)
    {
        m_steps = std::move(steps);
        m_nNext = 0;
        m_nSpareTicks = 0;
        m_bForced = false;
        s_pCurrent = this;
        const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 40, &CBoxScript::Tick);
        const unsigned nResult = show();
        ::KillTimer(nullptr, nTimer);
        s_pCurrent = nullptr;
        return nResult;
    }

    bool StepsLeft() const { return m_nNext < m_steps.size(); }
    bool Forced() const { return m_bForced; }

private:
    static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam)
    {
        char szClass[16] = {};
        ::GetClassNameA(hWnd, szClass, sizeof szClass);
        if (std::string(szClass) == "#32770" && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, kMessageBoxIdText)) {
            *reinterpret_cast<HWND*>(lParam) = hWnd;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CBoxScript* self = s_pCurrent;
        if (!self)
            return;
        HWND hBox = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &CBoxScript::FindBox, reinterpret_cast<LPARAM>(&hBox));
        if (!hBox)
            return;
        if (self->StepsLeft()) {
            self->m_steps[self->m_nNext++](hBox);
            return;
        }
        if (++self->m_nSpareTicks > 10) {
            self->m_bForced = true;
            ::EndDialog(hBox, 0);
        }
    }

    static CBoxScript* s_pCurrent;
    std::vector<Step> m_steps;
    size_t m_nNext = 0;
    int m_nSpareTicks = 0;
    bool m_bForced = false;
};
CBoxScript* CBoxScript::s_pCurrent = nullptr;

unsigned Show(CBoxScript& script, unsigned nStyle, std::vector<CBoxScript::Step> steps,
              const std::string& strCaption = "Test", const std::string& strDetails = std::string())
{
    return script.Run([&] { return ShowMessageBox("Something happened.", strCaption, nStyle, nullptr, strDetails); },
                      std::move(steps));
}

struct CButtonSet {
    unsigned m_nStyle;
    std::vector<unsigned> m_arrButtons;
    std::vector<std::string> m_arrCaptions;
};

const CButtonSet kButtonSets[] = {
    {MB_OK, {IDOK}, {"OK"}},
    {MB_OKCANCEL, {IDOK, IDCANCEL}, {"OK", "Cancel"}},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, {"&Abort", "&Retry", "&Ignore"}},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, {"&Yes", "&No", "Cancel"}},
    {MB_YESNO, {IDYES, IDNO}, {"&Yes", "&No"}},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, {"&Retry", "Cancel"}},
};

} // namespace

// ------------------------------------------------------------ pure helpers

TEST(MessageBoxRules, ButtonSetsEscapeAndDefault)
{
    for (const CButtonSet& set : kButtonSets)
        EXPECT_EQ(MessageBoxButtons(set.m_nStyle), set.m_arrButtons) << set.m_nStyle;
    EXPECT_EQ(MessageBoxButtons(MB_ICONQUESTION | 7), std::vector<unsigned>{IDOK});  // unknown set

    EXPECT_EQ(MessageBoxEscapeResult(MB_OK), unsigned(IDOK));
    EXPECT_EQ(MessageBoxEscapeResult(MB_OKCANCEL), unsigned(IDCANCEL));
    EXPECT_EQ(MessageBoxEscapeResult(MB_YESNOCANCEL), unsigned(IDCANCEL));
    EXPECT_EQ(MessageBoxEscapeResult(MB_RETRYCANCEL), unsigned(IDCANCEL));
    EXPECT_EQ(MessageBoxEscapeResult(MB_YESNO), 0u);
    EXPECT_EQ(MessageBoxEscapeResult(MB_ABORTRETRYIGNORE | MB_ICONHAND), 0u);

    EXPECT_EQ(MessageBoxDefaultResult(MB_YESNOCANCEL), unsigned(IDYES));
    EXPECT_EQ(MessageBoxDefaultResult(MB_YESNOCANCEL | MB_DEFBUTTON2), unsigned(IDNO));
    EXPECT_EQ(MessageBoxDefaultResult(MB_ABORTRETRYIGNORE | MB_DEFBUTTON3), unsigned(IDIGNORE));
    EXPECT_EQ(MessageBoxDefaultResult(MB_YESNO | MB_DEFBUTTON3), unsigned(IDYES));  // no third: the first
    EXPECT_EQ(MessageBoxDefaultResult(MB_OK | MB_DEFBUTTON4), unsigned(IDOK));
}

TEST(MessageBoxRules, TextSizes)
{
    const std::string small(100, 'a'), large(40001, 'b'), huge(50000, 'c');
    // NT keeps every text whole; a large one lifts the boxes' limit.
    CMessageBoxTexts texts = FitMessageBoxTexts(huge, huge, false, 1252);
    EXPECT_EQ(texts.m_strText, huge);
    EXPECT_EQ(texts.m_strDetails, huge);
    EXPECT_TRUE(texts.m_bLiftLimit);
    EXPECT_FALSE(FitMessageBoxTexts(std::string(25000, 'a'), small, false, 1252).m_bLiftLimit);
    EXPECT_TRUE(FitMessageBoxTexts(small, std::string(25001, 'a'), false, 1252).m_bLiftLimit);

    // The 95 family: 40000 alone, 25000 when the other text is over 20000.
    texts = FitMessageBoxTexts(large, small, true, 1252);
    EXPECT_EQ(texts.m_strText, large.substr(0, 40000) + "...");
    EXPECT_EQ(texts.m_strDetails, small);
    texts = FitMessageBoxTexts(large, std::string(20001, 'd'), true, 1252);
    EXPECT_EQ(texts.m_strText, large.substr(0, 25000) + "...");
    EXPECT_EQ(texts.m_strDetails, std::string(20001, 'd'));
    texts = FitMessageBoxTexts(std::string(20001, 'd'), large, true, 1252);
    EXPECT_EQ(texts.m_strDetails, large.substr(0, 25000) + "...");
    EXPECT_EQ(FitMessageBoxTexts(std::string(40000, 'e'), small, true, 1252).m_strText, std::string(40000, 'e'));

    // A cut never leaves half of a double-byte character: "a" then 汉 汉 ...
    std::string gbk = "a";
    while (gbk.size() < 40010)
        gbk += "\xBA\xBA";
    texts = FitMessageBoxTexts(gbk, small, true, 936);
    EXPECT_EQ(texts.m_strText, gbk.substr(0, 39999) + "...");
}

// ------------------------------------------------------------ on screen

TEST(MessageBoxShown, EachButtonSetInOrderFromTheRightWithItsCaptions)
{
    CFixedLanguage english(1033);
    for (const CButtonSet& set : kButtonSets) {
        for (size_t nPress = 0; nPress < set.m_arrButtons.size(); ++nPress) {
            CBoxScript script;
            std::vector<std::string> captions;
            std::vector<RECT> places;
            RECT client = {};
            const unsigned nResult = Show(script, set.m_nStyle, {
                [&](HWND hBox) {
                    for (unsigned nId : set.m_arrButtons) {
                        const HWND hButton = ::GetDlgItem(hBox, static_cast<int>(nId));
                        captions.push_back(hButton && ::IsWindowVisible(hButton) ? TextIn(hButton, 1252) : "-");
                        RECT rc = ScreenRect(hButton);
                        ::MapWindowPoints(nullptr, hBox, reinterpret_cast<POINT*>(&rc), 2);
                        places.push_back(rc);
                    }
                    ::GetClientRect(hBox, &client);
                    Click(hBox, static_cast<int>(set.m_arrButtons[nPress]));
                },
            });
            EXPECT_EQ(nResult, set.m_arrButtons[nPress]) << "style " << set.m_nStyle << " button " << nPress;
            if (nPress != 0)
                continue;
            EXPECT_EQ(captions, set.m_arrCaptions) << "style " << set.m_nStyle;
            ASSERT_EQ(places.size(), set.m_arrButtons.size());
            for (size_t i = 1; i < places.size(); ++i) {
                EXPECT_LT(places[i - 1].right, places[i].left) << "style " << set.m_nStyle;
                EXPECT_EQ(places[i - 1].top, places[i].top);
            }
            // The last button keeps the same place at the right in every set.
            EXPECT_GT(places.back().right, client.right - 20);
            EXPECT_LE(places.back().right, client.right);
        }
    }
}

TEST(MessageBoxShown, EscapeAnswersOkOrCancelOnly)
{
    CFixedLanguage english(1033);
    CBoxScript script;
    EXPECT_EQ(Show(script, MB_OK, {[](HWND) { PressKey(VK_ESCAPE); }}), unsigned(IDOK));
    EXPECT_EQ(Show(script, MB_OKCANCEL, {[](HWND) { PressKey(VK_ESCAPE); }}), unsigned(IDCANCEL));
    EXPECT_EQ(Show(script, MB_RETRYCANCEL | MB_DEFBUTTON1, {[](HWND) { PressKey(VK_ESCAPE); }}), unsigned(IDCANCEL));
    EXPECT_EQ(Show(script, MB_YESNOCANCEL, {[](HWND) { ::PostMessageA(::GetActiveWindow(), WM_CLOSE, 0, 0); }}),
              unsigned(IDCANCEL));

    // Yes-No and Abort-Retry-Ignore: neither Escape nor Close ends the box.
    for (unsigned nStyle : {unsigned(MB_YESNO), unsigned(MB_ABORTRETRYIGNORE)}) {
        bool bOpenAfterEscape = false, bOpenAfterClose = false;
        UINT nCloseState = 0;
        const unsigned nLast = nStyle == MB_YESNO ? IDNO : IDIGNORE;
        const unsigned nResult = Show(script, nStyle, {
            [](HWND) { PressKey(VK_ESCAPE); },
            [&](HWND hBox) {
                bOpenAfterEscape = ::IsWindowVisible(hBox) != FALSE;
                nCloseState = ::GetMenuState(::GetSystemMenu(hBox, FALSE), SC_CLOSE, MF_BYCOMMAND);
                ::PostMessageA(hBox, WM_CLOSE, 0, 0);
            },
            [&](HWND hBox) {
                bOpenAfterClose = ::IsWindowVisible(hBox) != FALSE;
                Click(hBox, static_cast<int>(nLast));
            },
        });
        EXPECT_EQ(nResult, nLast) << nStyle;
        EXPECT_TRUE(bOpenAfterEscape) << nStyle;
        EXPECT_TRUE(bOpenAfterClose) << nStyle;
        EXPECT_TRUE(nCloseState & MF_GRAYED) << nStyle;
    }
}

TEST(MessageBoxShown, EnterPressesTheDefaultButtonWhichGetsTheDefaultLook)
{
    CFixedLanguage english(1033);
    CBoxScript script;
    bool bLookOnSecond = false, bLookOnFirst = true;
    EXPECT_EQ(Show(script, MB_YESNOCANCEL | MB_DEFBUTTON2, {
        [](HWND) {},
        [&](HWND hBox) {
            bLookOnSecond = IsDefaultLook(::GetDlgItem(hBox, IDNO));
            bLookOnFirst = IsDefaultLook(::GetDlgItem(hBox, IDYES));
            PressKey(VK_RETURN);
        },
    }), unsigned(IDNO));
    EXPECT_TRUE(bLookOnSecond);
    EXPECT_FALSE(bLookOnFirst);
    EXPECT_EQ(Show(script, MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {[](HWND) { PressKey(VK_RETURN); }}),
              unsigned(IDIGNORE));
    EXPECT_EQ(Show(script, MB_YESNO, {[](HWND) { PressKey(VK_RETURN); }}), unsigned(IDYES));
    // Enter in a set without OK answers nothing but the default button.
    EXPECT_EQ(Show(script, MB_RETRYCANCEL | MB_DEFBUTTON2, {[](HWND) { PressKey(VK_RETURN); }}), unsigned(IDCANCEL));
}

TEST(MessageBoxShown, EmptyCaptionShowsTheProductName)
{
    CFixedLanguage english(1033);
    CBoxScript script;
    std::string strTitle, strGiven;
    Show(script, MB_OK, {[&](HWND hBox) { strTitle = TextIn(hBox, 1252); Click(hBox, IDOK); }}, "");
    Show(script, MB_OK, {[&](HWND hBox) { strGiven = TextIn(hBox, 1252); Click(hBox, IDOK); }}, "Saving");
    EXPECT_EQ(strTitle, GetMessage(IDS_PXT_PRODUCT));
    EXPECT_EQ(strTitle, "KIVO");
    EXPECT_EQ(strGiven, "Saving");
}

TEST(MessageBoxShown, DetailsOpenAndCloseUnderTheirButton)
{
    CFixedLanguage english(1033);
    CBoxScript script;
    std::vector<std::string> labels;
    std::vector<int> heights;
    std::vector<bool> shown;
    std::string strDetails;
    const unsigned nResult = Show(script, MB_OK, {
        [&](HWND hBox) {
            const HWND hButton = ::GetDlgItem(hBox, kMessageBoxIdDetailsButton);
            labels.push_back(TextIn(hButton, 1252));
            heights.push_back(ClientHeight(hBox));
            shown.push_back(::IsWindowVisible(::GetDlgItem(hBox, kMessageBoxIdDetails)) != FALSE);
            strDetails = TextIn(::GetDlgItem(hBox, kMessageBoxIdDetails), 1252);
            Click(hBox, kMessageBoxIdDetailsButton);
        },
        [&](HWND hBox) {
            labels.push_back(TextIn(::GetDlgItem(hBox, kMessageBoxIdDetailsButton), 1252));
            heights.push_back(ClientHeight(hBox));
            shown.push_back(::IsWindowVisible(::GetDlgItem(hBox, kMessageBoxIdDetails)) != FALSE);
            Click(hBox, kMessageBoxIdDetailsButton);
        },
        [&](HWND hBox) {
            labels.push_back(TextIn(::GetDlgItem(hBox, kMessageBoxIdDetailsButton), 1252));
            heights.push_back(ClientHeight(hBox));
            shown.push_back(::IsWindowVisible(::GetDlgItem(hBox, kMessageBoxIdDetails)) != FALSE);
            Click(hBox, IDOK);
        },
    }, "Test", "line one\nline two");
    EXPECT_EQ(nResult, unsigned(IDOK));
    EXPECT_EQ(labels, (std::vector<std::string>{"&Details >>", "<< &Details", "&Details >>"}));
    EXPECT_EQ(shown, (std::vector<bool>{false, true, false}));
    ASSERT_EQ(heights.size(), 3u);
    EXPECT_GT(heights[1], heights[0] + 50);
    EXPECT_EQ(heights[2], heights[0]);
    EXPECT_EQ(strDetails, "line one\r\nline two");

    // Without details there is no details button.
    bool bButtonShown = true;
    Show(script, MB_OK, {[&](HWND hBox) {
        bButtonShown = ::IsWindowVisible(::GetDlgItem(hBox, kMessageBoxIdDetailsButton)) != FALSE;
        Click(hBox, IDOK);
    }});
    EXPECT_FALSE(bButtonShown);
}

TEST(MessageBoxShown, HelpKeysAskForHelpInsteadOfOpeningDetails)
{
    CFixedLanguage english(1033);
    std::vector<unsigned> topics;
    const MessageBoxHelp help = [&](unsigned nTopic) { topics.push_back(nTopic); };
    for (const char* key : {"PX_HELP_UG_CODE_TRANSFER", "PX_HELP_UG_SYS_REQ"}) {
        CBoxScript script;
        int nBefore = 0, nAfter = 0;
        script.Run([&] { return ShowMessageBox("Text", "", MB_OK, nullptr, key, false, nullptr, help); },
                   {
                       [&](HWND hBox) {
                           nBefore = ClientHeight(hBox);
                           Click(hBox, kMessageBoxIdDetailsButton);
                       },
                       [&](HWND hBox) {
                           nAfter = ClientHeight(hBox);
                           Click(hBox, IDOK);
                       },
                   });
        EXPECT_EQ(nBefore, nAfter) << key;
    }
    EXPECT_EQ(topics, (std::vector<unsigned>{26, 201}));

    // With no help to ask, the button does nothing at all.
    CBoxScript script;
    bool bOpened = true;
    EXPECT_EQ(script.Run([&] { return ShowMessageBox("Text", "", MB_OK, nullptr, "PX_HELP_UG_SYS_REQ"); },
                         {
                             [&](HWND hBox) { Click(hBox, kMessageBoxIdDetailsButton); },
                             [&](HWND hBox) {
                                 bOpened = ::IsWindowVisible(::GetDlgItem(hBox, kMessageBoxIdDetails)) != FALSE;
                                 Click(hBox, IDOK);
                             },
                         }),
              unsigned(IDOK));
    EXPECT_FALSE(bOpened);
}

TEST(MessageBoxShown, CheckBoxStartsAsGivenAndReportsItsFinalState)
{
    CFixedLanguage english(1033);
    CBoxScript script;
    bool bChecked = true;
    std::string strLabel;
    bool bStartedChecked = false;
    EXPECT_EQ(script.Run([&] { return ShowMessageBox("Text", "", MB_OKCANCEL, nullptr, "", true, &bChecked); },
                         {[&](HWND hBox) {
                             const HWND hCheck = ::GetDlgItem(hBox, kMessageBoxIdCheck);
                             strLabel = TextIn(hCheck, 1252);
                             bStartedChecked = ::SendMessageA(hCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
                             Click(hBox, kMessageBoxIdCheck);
                             PressKey(VK_ESCAPE);
                         }}),
              unsigned(IDCANCEL));
    EXPECT_TRUE(bStartedChecked);
    EXPECT_FALSE(bChecked);
    EXPECT_EQ(strLabel, "&Show this message next time");

    // Unchecked without a flag to start from; hidden when not asked for.
    bool bVisible = true;
    script.Run([&] { return ShowMessageBox("Text", "", MB_OK); }, {[&](HWND hBox) {
        bVisible = ::IsWindowVisible(::GetDlgItem(hBox, kMessageBoxIdCheck)) != FALSE;
        Click(hBox, IDOK);
    }});
    EXPECT_FALSE(bVisible);
}

TEST(MessageBoxShown, IconTakesItsPlaceAndTheBoxFitsItsText)
{
    CFixedLanguage english(1033);
    CBoxScript script;
    auto measure = [&](unsigned nStyle, const std::string& strText, RECT& rcText, bool& bIcon, int& nHeight) {
        script.Run([&] { return ShowMessageBox(strText, "", nStyle); }, {[&](HWND hBox) {
            rcText = ScreenRect(::GetDlgItem(hBox, kMessageBoxIdText));
            ::MapWindowPoints(nullptr, hBox, reinterpret_cast<POINT*>(&rcText), 2);
            bIcon = ::IsWindowVisible(::GetDlgItem(hBox, kMessageBoxIdIcon)) != FALSE;
            nHeight = ScreenRect(hBox).bottom - ScreenRect(hBox).top;
            Click(hBox, IDOK);
        }});
    };
    RECT rcPlain = {}, rcIcon = {}, rcLong = {}, rcHuge = {};
    bool bPlainIcon = true, bIcon = false, bDummy = false;
    int nPlain = 0, nWithIcon = 0, nLong = 0, nHuge = 0;
    measure(MB_OK, "Short.", rcPlain, bPlainIcon, nPlain);
    measure(MB_OK | MB_ICONEXCLAMATION, "Short.", rcIcon, bIcon, nWithIcon);
    std::string strLong, strHuge;
    for (int i = 0; i < 8; ++i)
        strLong += "A line of the message.\n";
    for (int i = 0; i < 200; ++i)
        strHuge += "A line of a very long message.\n";
    measure(MB_OK, strLong, rcLong, bDummy, nLong);
    measure(MB_OK, strHuge, rcHuge, bDummy, nHuge);

    EXPECT_FALSE(bPlainIcon);
    EXPECT_TRUE(bIcon);
    EXPECT_GT(rcIcon.left, rcPlain.left + 20);  // the icon takes the text's left
    EXPECT_GT(nLong, nPlain + 40);              // eight lines need more room
    EXPECT_LE(nHuge - nPlain, 264 + 200);       // growth is bounded
    EXPECT_GT(nHuge, nLong);
}

// English and Simplified Chinese boxes, kept as screenshots; the Chinese one
// must show its texts in a font of the GB2312 character set.
TEST(MessageBoxShown, ScreenshotsInEnglishAndChinese)
{
    struct CShot {
        std::uint32_t m_nLCID;
        UINT m_nCodePage;
        BYTE m_nCharset;
        const char* m_pszFile;
        std::string m_strText;
    };
    const CShot shots[] = {
        {1033, 1252, ANSI_CHARSET, "message-box-english.bmp",
         "The file could not be saved.\nThe disk may be full or the file read-only."},
        // 文件无法保存。 / 磁盘可能已满，或者文件是只读的。
        {2052, 936, GB2312_CHARSET, "message-box-chinese.bmp",
         "\xCE\xC4\xBC\xFE\xCE\xDE\xB7\xA8\xB1\xA3\xB4\xE6\xA1\xA3\n\xB4\xC5\xC5\xCC\xBF\xC9\xC4\xDC\xD2\xD1\xC2\xFA"
         "\xA3\xAC\xBB\xF2\xD5\xDF\xCE\xC4\xBC\xFE\xCA\xC7\xD6\xBB\xB6\xC1\xB5\xC4\xA1\xA3"},
    };
    for (const CShot& shot : shots) {
        CFixedLanguage language(shot.m_nLCID);
        CBoxScript script;
        std::string strYes, strText;
        BYTE nCharset = 0xFF;
        bool bSaved = false;
        bool bChecked = true;
        script.Run(
            [&] {
                return ShowMessageBox(shot.m_strText, "", MB_YESNOCANCEL | MB_ICONQUESTION, nullptr, "details", true,
                                      &bChecked);
            },
            {
                [](HWND) {},
                [&](HWND hBox) {
                    strYes = TextIn(::GetDlgItem(hBox, IDYES), shot.m_nCodePage);
                    strText = TextIn(::GetDlgItem(hBox, kMessageBoxIdText), shot.m_nCodePage);
                    LOGFONTA font = {};
                    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(::GetDlgItem(hBox, IDYES), WM_GETFONT, 0, 0)),
                                 sizeof font, &font);
                    nCharset = font.lfCharSet;
                    ::RedrawWindow(hBox, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                    std::vector<BYTE> pixels;
                    int cx = 0, cy = 0;
                    bSaved = SaveWindowBitmap(hBox, ArtefactFolder() + "\\" + shot.m_pszFile, pixels, cx, cy);
                    Click(hBox, IDCANCEL);
                },
            });
        std::string strWanted = shot.m_strText;
        strWanted.insert(strWanted.find('\n'), "\r");
        EXPECT_EQ(strYes, GetMessage(IDS_DIALOG_YES_Y)) << shot.m_pszFile;
        EXPECT_EQ(strText, strWanted) << shot.m_pszFile;
        EXPECT_EQ(nCharset, shot.m_nCharset) << shot.m_pszFile;
        EXPECT_TRUE(bSaved) << shot.m_pszFile;
    }
}

// The text-file writer asks through the catalogue and the box: No keeps the
// read-only file as it was, Yes writes it.
TEST(CatalogueMessages, ReadOnlyFilePromptIsAnsweredInTheBox)
{
    CFixedLanguage english(1033);
    CScratchFolder scratch;
    const std::string strPath = scratch / "protected.txt";
    std::string strMessage;
    CCatalogueMessages messages;
    ASSERT_EQ(WriteTextFile(strPath, "old", strMessage, messages), kWriteSucceeded);
    ASSERT_TRUE(::SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_READONLY));

    for (const int nAnswer : {IDNO, IDYES}) {
        CBoxScript script;
        std::string strAsked;
        int nResult = 0;
        script.Run(
            [&] {
                nResult = WriteTextFile(strPath, "new", strMessage, messages);
                return 1u;
            },
            {[&](HWND hBox) {
                strAsked = TextIn(::GetDlgItem(hBox, kMessageBoxIdText), 1252);
                Click(hBox, nAnswer);
            }});
        EXPECT_EQ(strAsked, "File \"" + strPath + "\" is a \"Read-only\" file, are you really decided to write into it?");
        std::string strContent;
        ASSERT_EQ(ReadTextFile(strPath, strContent, true), kReadWhole);
        if (nAnswer == IDNO) {
            EXPECT_EQ(nResult, kWriteCanceled);
            EXPECT_EQ(strMessage, "Operation was canceled by user.");
            EXPECT_EQ(strContent, "old");
        } else {
            EXPECT_EQ(nResult, kWriteSucceeded);
            EXPECT_EQ(strContent, "new");
        }
    }
    EXPECT_TRUE(::GetFileAttributesA(strPath.c_str()) & FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesA(strPath.c_str(), FILE_ATTRIBUTE_NORMAL);
}
