// The tooltip helper: tools on child windows and rectangles, texts set and
// changed (Chinese ones too), and the ownership of the tooltip window.
#include "CharsetFont.h"
#include "Dialog.h"
#include "DialogTestSupport.h"
#include "ToolTip.h"

#include <commctrl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

using namespace dialogtest;

namespace {

// What the tooltip control itself holds for a tool.
std::wstring ToolText(HWND hTip, HWND hWindow, UINT_PTR id, UINT flags)
{
    static wchar_t buffer[1024];  // the control's own limit for a tip text
    buffer[0] = L'\0';
    TTTOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = flags;
    info.hwnd = hWindow;
    info.uId = id;
    info.lpszText = buffer;
    ::SendMessageW(hTip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
    return buffer;
}

std::wstring WindowTool(HWND hTip, HWND hTool)
{
    return ToolText(hTip, ::GetParent(hTool), reinterpret_cast<UINT_PTR>(hTool), TTF_IDISHWND);
}

} // namespace

TEST(ToolTip, AttachesToChildWindowsAndChangesTexts)
{
    CDialog dialog(MakeTestTemplate());
    ASSERT_TRUE(dialog.Create());
    CToolTip tip;
    EXPECT_FALSE(tip.AddTool(dialog.GetItem(IDC_TEST_BUTTON), "no tooltip yet"));
    ASSERT_TRUE(tip.Create(dialog.GetHwnd()));
    EXPECT_FALSE(tip.Create(dialog.GetHwnd()));
    EXPECT_EQ(::GetWindow(tip.GetHwnd(), GW_OWNER), dialog.GetHwnd());

    const HWND hButton = dialog.GetItem(IDC_TEST_BUTTON);
    const HWND hEdit = dialog.GetItem(IDC_TEST_EDIT);
    ASSERT_TRUE(tip.AddTool(hButton, "Open"));
    ASSERT_TRUE(tip.AddTool(hEdit, "\xB4\xF2\xBF\xAA", 936));  // 打开 in GBK
    EXPECT_EQ(tip.GetToolCount(), 2);
    EXPECT_TRUE(tip.HasTool(hButton));
    EXPECT_FALSE(tip.HasTool(dialog.GetItem(IDC_TEST_LIST)));
    EXPECT_EQ(WindowTool(tip.GetHwnd(), hButton), L"Open");
    EXPECT_EQ(WindowTool(tip.GetHwnd(), hEdit), L"\x6253\x5F00");

    // Adding again changes the text instead of adding a second tool.
    ASSERT_TRUE(tip.AddTool(hButton, "Open a file"));
    EXPECT_EQ(tip.GetToolCount(), 2);
    EXPECT_EQ(WindowTool(tip.GetHwnd(), hButton), L"Open a file");
    ASSERT_TRUE(tip.UpdateText(hEdit, "\xB6\x7D\xB1\xD2", 950));  // 開啟 in Big5
    EXPECT_EQ(WindowTool(tip.GetHwnd(), hEdit), L"\x958B\x555F");
    EXPECT_FALSE(tip.UpdateText(dialog.GetItem(IDC_TEST_LIST), "not a tool"));

    const RECT area = {0, 0, 20, 10};
    ASSERT_TRUE(tip.AddRectTool(dialog.GetHwnd(), 5, area, "Area"));
    EXPECT_EQ(ToolText(tip.GetHwnd(), dialog.GetHwnd(), 5, 0), L"Area");
    ASSERT_TRUE(tip.UpdateRectText(dialog.GetHwnd(), 5, "Whole area"));
    EXPECT_EQ(ToolText(tip.GetHwnd(), dialog.GetHwnd(), 5, 0), L"Whole area");
    EXPECT_FALSE(tip.UpdateRectText(dialog.GetHwnd(), 6, "no such rectangle"));

    tip.RemoveTool(hButton);
    EXPECT_FALSE(tip.HasTool(hButton));
    EXPECT_EQ(tip.GetToolCount(), 2);

    // The tooltip may keep a copy of the font rather than the font itself.
    CFontHandle font = CreateCharsetFont(dialog.GetHwnd(), GB2312_CHARSET);
    tip.SetFont(font.Get());
    LOGFONTA log = {};
    ASSERT_TRUE(::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(tip.GetHwnd(), WM_GETFONT, 0, 0)), sizeof(log), &log));
    EXPECT_EQ(log.lfCharSet, GB2312_CHARSET);
    tip.Destroy();  // before the font goes
}

TEST(ToolTip, WindowGoesWithTheObjectOrWithTheDialog)
{
    CDialog dialog(MakeTestTemplate());
    ASSERT_TRUE(dialog.Create());
    HWND hTip = nullptr;
    {
        CToolTip tip;
        ASSERT_TRUE(tip.Create(dialog.GetHwnd()));
        hTip = tip.GetHwnd();
    }
    EXPECT_FALSE(::IsWindow(hTip));

    // The dialog ending first takes the tooltip along; the object then only forgets it.
    CToolTip tip;
    ASSERT_TRUE(tip.Create(dialog.GetHwnd()));
    ASSERT_TRUE(tip.AddTool(dialog.GetItem(IDC_TEST_BUTTON), "Gone soon"));
    hTip = tip.GetHwnd();
    dialog.EndDialog(IDOK);
    EXPECT_FALSE(::IsWindow(hTip));
    tip.Destroy();
    EXPECT_EQ(tip.GetHwnd(), nullptr);
    EXPECT_EQ(tip.GetToolCount(), 0);
}
