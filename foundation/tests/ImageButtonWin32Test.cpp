// CImageButton on a live dialog: drawing through the magenta mask into a
// memory DC, the hot and normal images with the real mouse, the popup menu
// below the button, the web address, and a screenshot of a dialog with image
// buttons and Chinese text (kept as a test artefact).
#include "CharsetFont.h"
#include "Dialog.h"
#include "DialogTestSupport.h"
#include "ScreenCapture.h"
#include "ImageButton.h"
#include "ToolTip.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace dialogtest;

namespace {

constexpr COLORREF kBackground = RGB(10, 200, 30);  // the dialog's button background
constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kHot = RGB(0, 160, 0);
constexpr COLORREF kSingle = RGB(0, 0, 220);
constexpr int kImageSide = 16;

class CLinkButton : public CImageButton {
public:
    std::vector<std::string> m_arrOpened;

protected:
    bool OpenWebAddress(const std::string& url) override
    {
        m_arrOpened.push_back(url);
        return true;
    }
};

class CImageDialog : public CDialog {
public:
    explicit CImageDialog(bool bVisible = true) : CDialog(MakeTestTemplate(bVisible, "Image buttons")) {}

    CImageButton m_btnImage, m_btnSingle, m_btnMenu;
    CLinkButton m_btnLink;
    CToolTip m_toolTip;
    std::vector<int> m_arrCommands;
    CBrushHandle m_brushButton{::CreateSolidBrush(kBackground)};

protected:
    bool OnInitDialog() override
    {
        m_btnImage.Attach(GetItem(IDC_TEST_IMAGE));
        m_btnImage.SetImages(MakeHalfMagentaBitmap(kImageSide, kImageSide, kNormal),
                             MakeHalfMagentaBitmap(kImageSide, kImageSide, kHot));
        m_btnSingle.Attach(GetItem(IDC_TEST_IMAGE_SINGLE));
        m_btnSingle.SetImages(MakeHalfMagentaBitmap(kImageSide, kImageSide, kSingle), CBitmapHandle());
        m_btnMenu.Attach(GetItem(IDC_TEST_IMAGE_MENU));
        m_btnMenu.SetImages(MakeHalfMagentaBitmap(kImageSide, kImageSide, kNormal), CBitmapHandle());
        CMenuHandle menu(::CreatePopupMenu());
        ::AppendMenuA(menu.Get(), MF_STRING, IDM_TEST_FIRST, "First");
        ::AppendMenuA(menu.Get(), MF_STRING, IDM_TEST_SECOND, "Second");
        m_btnMenu.SetPopupMenu(std::move(menu));
        m_btnLink.Attach(GetItem(IDC_TEST_IMAGE_LINK));
        m_btnLink.SetWebAddress("http://www.example.com/kivo");
        m_toolTip.Create(GetHwnd());
        return true;
    }
    bool OnCommand(int nId, int nCode, HWND hCtl) override
    {
        if (nCode == BN_CLICKED)  // menus send 0 too; the edit's notifications are left out
            m_arrCommands.push_back(nId);
        return CDialog::OnCommand(nId, nCode, hCtl);
    }
    HBRUSH OnCtlColor(HDC, HWND, UINT nCtlType) override
    {
        return nCtlType == CTLCOLOR_BTN ? m_brushButton.Get() : nullptr;
    }
};

// Draws button `nId` through the dialog's WM_DRAWITEM into a fresh canvas.
struct CDrawn {
    CCanvas canvas;
    int imageLeft, imageTop;
    COLORREF Transparent() const { return canvas.Pixel(imageLeft + 2, imageTop + kImageSide / 2); }
    COLORREF Opaque() const { return canvas.Pixel(imageLeft + kImageSide - 3, imageTop + kImageSide / 2); }
    COLORREF Corner() const { return canvas.Pixel(0, 0); }
};

CDrawn Draw(const CDialog& dialog, int nId, UINT state)
{
    const HWND hButton = dialog.GetItem(nId);
    RECT client = {};
    ::GetClientRect(hButton, &client);
    CDrawn drawn{CCanvas(client.right, client.bottom, RGB(255, 255, 255)), (client.right - kImageSide) / 2,
                 (client.bottom - kImageSide) / 2};
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(nId);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = hButton;
    item.hDC = drawn.canvas.Get();
    item.rcItem = client;
    EXPECT_EQ(::SendMessageA(dialog.GetHwnd(), WM_DRAWITEM, static_cast<WPARAM>(nId), reinterpret_cast<LPARAM>(&item)),
              TRUE);
    return drawn;
}

POINT ScreenCentre(HWND hWnd)
{
    RECT bounds = {};
    ::GetWindowRect(hWnd, &bounds);
    return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

// Where the popup menu stood, read while it is open; then its first command is chosen.
struct CMenuWatch {
    static RECT s_rcMenu;
    static bool s_bSeen;
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR nId, DWORD)
    {
        const HWND hMenu = ::FindWindowA("#32768", nullptr);
        if (!hMenu || !::IsWindowVisible(hMenu))
            return;
        ::KillTimer(nullptr, nId);
        s_bSeen = true;
        ::GetWindowRect(hMenu, &s_rcMenu);
        ::PostMessageA(hMenu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(hMenu, WM_KEYDOWN, VK_RETURN, 0);
    }
    static void CALLBACK GiveUp(HWND, UINT, UINT_PTR nId, DWORD)
    {
        ::KillTimer(nullptr, nId);
        ::EndMenu();
    }
};
RECT CMenuWatch::s_rcMenu = {};
bool CMenuWatch::s_bSeen = false;

} // namespace

TEST(ImageButton, MagentaShowsTheBackgroundAndTheRestIsDrawn)
{
    CImageDialog dialog(false);
    ASSERT_TRUE(dialog.Create());
    const CDrawn normal = Draw(dialog, IDC_TEST_IMAGE, 0);
    EXPECT_EQ(normal.Transparent(), kBackground);
    EXPECT_EQ(normal.Opaque(), kNormal);
    EXPECT_EQ(normal.Corner(), kBackground);

    // Held down: the hot image.
    const CDrawn pressed = Draw(dialog, IDC_TEST_IMAGE, ODS_SELECTED);
    EXPECT_EQ(pressed.Transparent(), kBackground);
    EXPECT_EQ(pressed.Opaque(), kHot);

    // One image is drawn whatever the state.
    EXPECT_EQ(Draw(dialog, IDC_TEST_IMAGE_SINGLE, 0).Opaque(), kSingle);
    EXPECT_EQ(Draw(dialog, IDC_TEST_IMAGE_SINGLE, ODS_SELECTED).Opaque(), kSingle);

    // Disabled: a grey copy of the normal image, still transparent where it was.
    const CDrawn disabled = Draw(dialog, IDC_TEST_IMAGE, ODS_DISABLED | ODS_SELECTED);
    const COLORREF grey = disabled.Opaque();
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_GT(GetRValue(grey), 128);
    EXPECT_EQ(disabled.Transparent(), kBackground);

    // Without images the caption is drawn: something other than background.
    const CDrawn caption = Draw(dialog, IDC_TEST_IMAGE_LINK, 0);
    int inked = 0;
    RECT client = {};
    ::GetClientRect(dialog.GetItem(IDC_TEST_IMAGE_LINK), &client);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            inked += caption.canvas.Pixel(x, y) != kBackground;
    EXPECT_GT(inked, 10);
}

TEST(ImageButton, StaysOwnerDrawnAndRejectsOtherWindows)
{
    CImageDialog dialog(false);
    ASSERT_TRUE(dialog.Create());
    const HWND hButton = dialog.GetItem(IDC_TEST_IMAGE);
    EXPECT_EQ(::GetWindowLongA(hButton, GWL_STYLE) & 0x0F, BS_OWNERDRAW);
    ::SendMessageA(hButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(::GetWindowLongA(hButton, GWL_STYLE) & 0x0F, BS_OWNERDRAW);

    // A subclassed control still takes a Chinese caption through the wide
    // functions without narrowing it to the system's code page, and still
    // takes texts of that code page through the ANSI ones.
    CImageButton plain;
    const HWND hPlain = dialog.GetItem(IDC_TEST_BUTTON);
    ASSERT_TRUE(plain.Attach(hPlain));
    ASSERT_TRUE(CControlRef(hPlain).SetText("\xD6\xD0\xCE\xC4", 936));
    wchar_t caption[16] = {};
    ::GetWindowTextW(hPlain, caption, 16);
    EXPECT_STREQ(caption, L"\x4E2D\x6587");
    ASSERT_TRUE(CControlRef(hPlain).SetText("Plain"));
    EXPECT_EQ(CControlRef(hPlain).GetText(), "Plain");
    plain.Detach();
    EXPECT_EQ(CControlRef(hPlain).GetText(), "Plain");

    CImageButton other;
    EXPECT_FALSE(other.Attach(hButton));  // taken already
    EXPECT_FALSE(other.Attach(dialog.GetItem(IDC_TEST_EDIT)));
    EXPECT_FALSE(other.Attach(nullptr));
    EXPECT_FALSE(other.SetImages(CBitmapHandle(), CBitmapHandle()));
    EXPECT_FALSE(other.LoadImages(IDD_TEST_MISSING));
    EXPECT_FALSE(other.SetToolTip("unattached"));

    // Detached, the window draws as a plain owner-drawn button again and
    // accepts a new owner.
    dialog.m_btnImage.Detach();
    EXPECT_TRUE(other.Attach(hButton));
}

TEST(ImageButton, HotWhileTheMouseIsOver)
{
    CImageDialog dialog;
    ASSERT_TRUE(dialog.Create());
    PumpFor(100);
    const HWND hButton = dialog.GetItem(IDC_TEST_IMAGE);
    const POINT centre = ScreenCentre(hButton);
    ::SetCursorPos(centre.x, centre.y);
    ASSERT_TRUE(PumpUntil([&] { return dialog.m_btnImage.IsMouseOver(); }));
    EXPECT_EQ(Draw(dialog, IDC_TEST_IMAGE, 0).Opaque(), kHot);

    RECT dialogBounds = {};
    ::GetWindowRect(dialog.GetHwnd(), &dialogBounds);
    ::SetCursorPos(dialogBounds.right + 50, dialogBounds.bottom + 50);
    ASSERT_TRUE(PumpUntil([&] { return !dialog.m_btnImage.IsMouseOver(); }));
    EXPECT_EQ(Draw(dialog, IDC_TEST_IMAGE, 0).Opaque(), kNormal);
}

TEST(ImageButton, ClicksOpenTheMenuOrTheWebAddressOrReachTheDialog)
{
    CImageDialog dialog;
    ASSERT_TRUE(dialog.Create());
    PumpFor(100);

    dialog.Button(IDC_TEST_IMAGE).Click();
    EXPECT_EQ(dialog.m_arrCommands, (std::vector<int>{IDC_TEST_IMAGE}));

    dialog.m_arrCommands.clear();
    dialog.Button(IDC_TEST_IMAGE_LINK).Click();
    EXPECT_EQ(dialog.m_btnLink.m_arrOpened, (std::vector<std::string>{"http://www.example.com/kivo"}));
    EXPECT_TRUE(dialog.m_arrCommands.empty());

    CMenuWatch::s_bSeen = false;
    const UINT_PTR watch = ::SetTimer(nullptr, 0, 20, &CMenuWatch::OnTick);
    const UINT_PTR giveUp = ::SetTimer(nullptr, 0, 3000, &CMenuWatch::GiveUp);
    dialog.Button(IDC_TEST_IMAGE_MENU).Click();  // returns when the menu closed
    ::KillTimer(nullptr, watch);
    ::KillTimer(nullptr, giveUp);
    ASSERT_TRUE(CMenuWatch::s_bSeen);
    RECT button = {};
    ::GetWindowRect(dialog.GetItem(IDC_TEST_IMAGE_MENU), &button);
    EXPECT_EQ(CMenuWatch::s_rcMenu.left, button.left);
    EXPECT_EQ(CMenuWatch::s_rcMenu.top, button.bottom);
    // The click itself is the button's; the chosen item reaches the dialog.
    PumpFor(50);
    EXPECT_EQ(dialog.m_arrCommands, (std::vector<int>{IDM_TEST_FIRST}));
}

TEST(ImageButton, ToolTipsOwnOrShared)
{
    CImageDialog dialog(false);
    ASSERT_TRUE(dialog.Create());
    ASSERT_TRUE(dialog.m_btnImage.SetToolTip("Open", CP_ACP, &dialog.m_toolTip));
    ASSERT_TRUE(dialog.m_btnSingle.SetToolTip("Save", CP_ACP, &dialog.m_toolTip));
    EXPECT_EQ(dialog.m_toolTip.GetToolCount(), 2);
    EXPECT_TRUE(dialog.m_toolTip.HasTool(dialog.GetItem(IDC_TEST_IMAGE)));
    // A button's own tooltip, text changed in place.
    ASSERT_TRUE(dialog.m_btnMenu.SetToolTip("Menu"));
    ASSERT_TRUE(dialog.m_btnMenu.SetToolTip("\xB2\xCB\xB5\xA5", 936));  // 菜单
    EXPECT_EQ(dialog.m_toolTip.GetToolCount(), 2);
}

TEST(ImageButton, ScreenshotOfADialogWithImageButtonsAndChineseText)
{
    CImageDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ASSERT_TRUE(dialog.ApplyCharsetFont(GB2312_CHARSET));
    // 简体中文界面 (Simplified Chinese interface) in GBK, on a system of any code page.
    ASSERT_TRUE(dialog.SetItemText(IDC_TEST_STATIC, "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4\xBD\xE7\xC3\xE6", 936));
    ASSERT_TRUE(dialog.m_btnImage.SetToolTip("\xB4\xF2\xBF\xAA", 936, &dialog.m_toolTip));
    dialog.m_toolTip.SetFont(dialog.GetCharsetFont());
    ::RedrawWindow(dialog.GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(300);

    std::vector<BYTE> pixels;
    int cx = 0, cy = 0;
    const std::string path = ArtefactFolder() + "\\image-button-dialog.bmp";
    ASSERT_TRUE(SaveWindowBitmap(dialog.GetHwnd(), path, pixels, cx, cy)) << path;

    RECT window = {};
    ::GetWindowRect(dialog.GetHwnd(), &window);
    auto onScreen = [&](HWND hCtl, int x, int y) {
        POINT p = {x, y};
        ::ClientToScreen(hCtl, &p);
        return PixelOf(pixels, cx, cy, p.x - window.left, p.y - window.top);
    };
    // The image button as painted by the real WM_DRAWITEM.
    const HWND hImage = dialog.GetItem(IDC_TEST_IMAGE);
    RECT client = {};
    ::GetClientRect(hImage, &client);
    const int left = (client.right - kImageSide) / 2, top = (client.bottom - kImageSide) / 2;
    EXPECT_EQ(onScreen(hImage, left + kImageSide - 3, top + kImageSide / 2), kNormal);
    EXPECT_EQ(onScreen(hImage, left + 2, top + kImageSide / 2), kBackground);

    // The Chinese line left ink across its width: two glyphs' worth at least.
    const HWND hStatic = dialog.GetItem(IDC_TEST_STATIC);
    ::GetClientRect(hStatic, &client);
    const COLORREF paper = onScreen(hStatic, client.right - 1, client.bottom - 1);
    int inkedColumns = 0;
    for (int x = 0; x < client.right; ++x) {
        bool inked = false;
        for (int y = 0; y < client.bottom && !inked; ++y)
            inked = onScreen(hStatic, x, y) != paper;
        inkedColumns += inked;
    }
    EXPECT_GT(inkedColumns, 20);
}
