// The child-control helpers and fonts by character set on a live dialog.
#include "CharsetFont.h"
#include "ChildControls.h"
#include "Dialog.h"
#include "DialogTestSupport.h"
#include "ToolTip.h"
#include "UnicodeWindows.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dialogtest;

namespace {

const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";   // 中文 in GBK
const std::string kBig5Chinese = "\xA4\xA4\xA4\xE5";  // 中文 in Big5
const std::wstring kUnicodeChinese = L"\x4E2D\x6587";

class CChildControlsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dialog.Create()); }
    CDialog m_dialog{MakeTestTemplate()};
};

std::wstring WideText(HWND hWnd)
{
    wchar_t buffer[64] = {};
    ::GetWindowTextW(hWnd, buffer, 64);
    return buffer;
}

// What a dialog shows of a Chinese title and label, read back through the
// windows' own procedures (as a screen reader or another program reads
// them), and whether the dialog, every control and a tooltip of it are
// Unicode windows.
struct CShownTexts {
    std::wstring strTitle;
    std::wstring strLabel;
    std::wstring strTip;
    std::vector<std::string> arrAnsiWindows;
};

CShownTexts ShowChinese(CDialog& dialog)
{
    CShownTexts shown;
    const HWND hDlg = dialog.GetHwnd();
    dialog.SetTitle(kBig5Chinese, 950);
    dialog.SetItemText(IDC_TEST_STATIC, kGbkChinese, 936);
    shown.strTitle = WideText(hDlg);
    shown.strLabel = WideText(dialog.GetItem(IDC_TEST_STATIC));
    CToolTip tip;
    if (tip.Create(hDlg) && tip.AddTool(dialog.GetItem(IDC_TEST_BUTTON), kBig5Chinese, 950)) {
        wchar_t szTip[64] = {};
        TTTOOLINFOW info = {};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.uFlags = TTF_IDISHWND;
        info.hwnd = hDlg;
        info.uId = reinterpret_cast<UINT_PTR>(dialog.GetItem(IDC_TEST_BUTTON));
        info.lpszText = szTip;
        ::SendMessageW(tip.GetHwnd(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&info));
        shown.strTip = szTip;
    }
    shown.arrAnsiWindows = AnsiWindowsIn(hDlg);
    if (!::IsWindowUnicode(tip.GetHwnd()))
        shown.arrAnsiWindows.push_back("tooltip");
    return shown;
}

class CShowingDialog : public CDialog {
public:
    CShowingDialog() : CDialog(MakeTestTemplate()) {}
    CShownTexts m_shown;

protected:
    bool OnInitDialog() override
    {
        m_shown = ShowChinese(*this);
        EndDialog(IDOK);
        return true;
    }
};

} // namespace

TEST(UnicodeDialogs, ModalAndModelessDialogsKeepChineseWholeOnAnySystemCodePage)
{
    CShowingDialog modal;
    ASSERT_EQ(modal.DoModal(), IDOK);
    CDialog modeless(MakeTestTemplate());
    ASSERT_TRUE(modeless.Create());
    for (const CShownTexts& shown : {modal.m_shown, ShowChinese(modeless)}) {
        EXPECT_EQ(shown.arrAnsiWindows, std::vector<std::string>());
        EXPECT_EQ(shown.strTitle, kUnicodeChinese);
        EXPECT_EQ(shown.strLabel, kUnicodeChinese);
        EXPECT_EQ(shown.strTip, kUnicodeChinese);
    }
}

TEST_F(CChildControlsTest, TextsInTheProcessCodePageAndInChineseCodePages)
{
    EXPECT_TRUE(m_dialog.SetItemText(IDC_TEST_EDIT, "plain text"));
    EXPECT_EQ(m_dialog.GetItemText(IDC_TEST_EDIT), "plain text");
    EXPECT_TRUE(m_dialog.SetItemText(IDC_TEST_EDIT, ""));
    EXPECT_EQ(m_dialog.GetItemText(IDC_TEST_EDIT), "");

    // Chinese bytes reach the control as the characters they stand for,
    // whatever the ANSI code page of the process is.
    ASSERT_TRUE(m_dialog.SetItemText(IDC_TEST_STATIC, kGbkChinese, 936));
    EXPECT_EQ(WideText(m_dialog.GetItem(IDC_TEST_STATIC)), kUnicodeChinese);
    EXPECT_EQ(m_dialog.GetItemText(IDC_TEST_STATIC, 936), kGbkChinese);
    EXPECT_EQ(m_dialog.GetItemText(IDC_TEST_STATIC, 950), kBig5Chinese);

    EXPECT_TRUE(m_dialog.SetTitle(kBig5Chinese, 950));
    EXPECT_EQ(m_dialog.GetTitle(936), kGbkChinese);

    // A missing item takes nothing and gives nothing.
    EXPECT_FALSE(m_dialog.SetItemText(IDD_TEST_MISSING, "x"));
    EXPECT_EQ(m_dialog.GetItemText(IDD_TEST_MISSING), "");
    EXPECT_EQ(m_dialog.Combo(IDD_TEST_MISSING).AddString("x"), -1);
    EXPECT_EQ(m_dialog.List(IDD_TEST_MISSING).GetCurSel(), -1);
    EXPECT_EQ(m_dialog.GetCheck(IDD_TEST_MISSING), 0);
}

TEST_F(CChildControlsTest, EnableShowAndCheckBoxes)
{
    m_dialog.EnableItem(IDC_TEST_BUTTON, false);
    EXPECT_FALSE(m_dialog.Item(IDC_TEST_BUTTON).IsEnabled());
    m_dialog.EnableItem(IDC_TEST_BUTTON, true);
    EXPECT_TRUE(m_dialog.Item(IDC_TEST_BUTTON).IsEnabled());

    m_dialog.ShowItem(IDC_TEST_EDIT, false);
    EXPECT_FALSE(m_dialog.Item(IDC_TEST_EDIT).IsVisible());
    m_dialog.ShowItem(IDC_TEST_EDIT, true);
    EXPECT_TRUE(m_dialog.Item(IDC_TEST_EDIT).IsVisible());  // though the dialog itself is hidden

    EXPECT_EQ(m_dialog.GetCheck(IDC_TEST_CHECK), BST_UNCHECKED);
    m_dialog.SetCheck(IDC_TEST_CHECK, BST_CHECKED);
    EXPECT_TRUE(m_dialog.Button(IDC_TEST_CHECK).IsChecked());
    m_dialog.Button(IDC_TEST_CHECK).Click();  // the user's click toggles an auto check box
    EXPECT_EQ(m_dialog.GetCheck(IDC_TEST_CHECK), BST_UNCHECKED);
    EXPECT_EQ(m_dialog.Item(IDC_TEST_CHECK).GetId(), IDC_TEST_CHECK);
}

TEST_F(CChildControlsTest, ComboAndListBoxesAddSelectAndRead)
{
    for (CListControlRef list : {static_cast<CListControlRef>(m_dialog.Combo(IDC_TEST_COMBO)),
                                 static_cast<CListControlRef>(m_dialog.List(IDC_TEST_LIST))}) {
        SCOPED_TRACE(list.GetId());
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetCurSel(), -1);
        EXPECT_FALSE(list.SetCurSel(0));
        EXPECT_EQ(list.AddString("English"), 0);
        EXPECT_EQ(list.AddString(kGbkChinese, 936), 1);
        EXPECT_EQ(list.InsertString(0, "First"), 0);
        EXPECT_EQ(list.GetCount(), 3);
        EXPECT_EQ(list.GetItemText(1), "English");
        EXPECT_EQ(list.GetItemText(2, 950), kBig5Chinese);
        EXPECT_EQ(list.GetItemText(3), "");
        EXPECT_EQ(list.GetItemText(-1), "");
        EXPECT_EQ(list.FindStringExact("english"), 1);
        EXPECT_EQ(list.FindStringExact("none"), -1);
        EXPECT_TRUE(list.SetItemData(2, 936));
        EXPECT_EQ(list.GetItemData(2), 936);

        EXPECT_TRUE(list.SetCurSel(2));
        EXPECT_EQ(list.GetCurSel(), 2);
        EXPECT_FALSE(list.SetCurSel(3));
        EXPECT_EQ(list.GetCurSel(), 2);
        EXPECT_TRUE(list.SetCurSel(-1));
        EXPECT_EQ(list.GetCurSel(), -1);

        EXPECT_TRUE(list.DeleteString(0));
        EXPECT_EQ(list.GetItemText(0), "English");
        list.ResetContent();
        EXPECT_EQ(list.GetCount(), 0);
    }
}

TEST_F(CChildControlsTest, EditLimitsAndSelection)
{
    const CEditRef edit = m_dialog.Edit(IDC_TEST_EDIT);
    edit.LimitText(8);
    EXPECT_EQ(edit.GetLimitText(), 8);
    edit.SetText("abcdef");
    edit.SetSel(2, 4);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 4);
    edit.ReplaceSel("XY");
    EXPECT_EQ(edit.GetText(), "abXYef");
    // The limit binds what is typed and pasted into the selection.
    edit.SetSel(6, 6);
    edit.ReplaceSel("1234");
    EXPECT_EQ(edit.GetText(), "abXYef12");
}

TEST_F(CChildControlsTest, CharsetFontReachesEveryControl)
{
    EXPECT_EQ(CharsetCodePage(GB2312_CHARSET), 936u);
    EXPECT_EQ(CharsetCodePage(CHINESEBIG5_CHARSET), 950u);
    EXPECT_EQ(CharsetCodePage(ANSI_CHARSET), 1252u);

    const HFONT templateFont = reinterpret_cast<HFONT>(::SendMessageA(m_dialog.GetHwnd(), WM_GETFONT, 0, 0));
    LOGFONTA templateLog = {};
    ASSERT_TRUE(::GetObjectA(templateFont, sizeof(templateLog), &templateLog));

    for (BYTE charset : {BYTE(GB2312_CHARSET), BYTE(CHINESEBIG5_CHARSET)}) {
        SCOPED_TRACE(int(charset));
        ASSERT_TRUE(m_dialog.ApplyCharsetFont(charset));
        const HFONT font = m_dialog.GetCharsetFont();
        LOGFONTA log = {};
        ASSERT_TRUE(::GetObjectA(font, sizeof(log), &log));
        EXPECT_EQ(log.lfCharSet, charset);
        EXPECT_EQ(log.lfHeight, templateLog.lfHeight);
        EXPECT_STREQ(log.lfFaceName, CharsetFaceName(charset));
        for (int id : {int(IDC_TEST_EDIT), int(IDC_TEST_BUTTON), int(IDC_TEST_COMBO), int(IDC_TEST_LIST), int(IDC_TEST_STATIC), IDOK})
            EXPECT_EQ(m_dialog.Item(id).GetFont(), font) << id;
        // The dialog keeps its template font, so the next font is made the same size.
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(m_dialog.GetHwnd(), WM_GETFONT, 0, 0)), templateFont);

        // The font mapper found a font that really has the character set.
        CWindowDC dc(m_dialog.GetItem(IDC_TEST_STATIC));
        CSelectObject select(dc.Get(), font);
        EXPECT_EQ(::GetTextCharsetInfo(dc.Get(), nullptr, 0), charset);
    }
    // A Western set keeps the template's face.
    ASSERT_TRUE(m_dialog.ApplyCharsetFont(ANSI_CHARSET));
    LOGFONTA log = {};
    ASSERT_TRUE(::GetObjectA(m_dialog.GetCharsetFont(), sizeof(log), &log));
    EXPECT_STREQ(log.lfFaceName, templateLog.lfFaceName);
}
