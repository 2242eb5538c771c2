// The image button of the tool rows and of the control panel window: a push
// button from the dialog template, drawn by this class with bitmaps instead of
// a caption.
//
// - Two images: the hot one while the mouse is over the button or it is held
//   down, the normal one otherwise; a button with one image always draws that
//   one. A disabled button draws a greyed copy of the normal image. Without
//   images the caption is drawn, so a button whose bitmaps failed to load still
//   says what it does.
// - Images are drawn through a mask of their transparent colour, magenta
//   (red 255, green 0, blue 255) unless told otherwise; what shows through is
//   the parent's button background (its WM_CTLCOLORBTN brush).
// - A click may show a popup menu below the button's lower-left corner (its
//   commands go to the dialog as WM_COMMAND) or open a web address with the
//   shell verb "open"; otherwise the click reaches the dialog's OnCommand as
//   for any button.
// - An optional tooltip.
//
// Use it as a member of the dialog and attach it in OnInitDialog:
//   m_btnOpen.Attach(GetItem(IDC_OPEN));
//   m_btnOpen.LoadImages(IDB_OPEN, IDB_OPEN_HOT);
//   m_btnOpen.SetToolTip(texts.tipOpen, CP_ACP, &m_toolTip);
// Drawing and clicks arrive through the parent CDialog (WM_DRAWITEM and
// WM_COMMAND handed back to the control), so the parent must be a CDialog.
#pragma once

#include "DialogHandles.h"
#include "ScopedHandles.h"
#include "SubclassWindow.h"
#include "ToolTip.h"

#include <windows.h>

#include <memory>
#include <string>

class CImageButton : public CSubclassWindow {
public:
    static constexpr COLORREF kDefaultTransparent = RGB(255, 0, 255);

    CImageButton() = default;
    ~CImageButton() override;

    // Takes over the button and makes it owner-drawn.
    bool Attach(HWND hButton);

    // Bitmap resources of `hResources` (the module this code is linked into
    // when null); `nIdHot` 0 for a one-image button. False when the normal
    // image cannot be loaded; the button then keeps its previous images.
    bool LoadImages(UINT nIdNormal, UINT nIdHot = 0, HINSTANCE hResources = nullptr,
                    COLORREF transparent = kDefaultTransparent);
    // Bitmaps made by the caller; the button takes them over. `hot` may be empty.
    bool SetImages(CBitmapHandle normal, CBitmapHandle hot, COLORREF transparent = kDefaultTransparent);
    bool HasHotImage() const { return static_cast<bool>(m_hot.image); }

    // A popup menu (CreatePopupMenu, or a submenu taken out of its bar) shown
    // on a click; the button owns it. An empty handle removes it.
    void SetPopupMenu(CMenuHandle menu);
    HMENU GetPopupMenu() const { return m_menu.Get(); }
    // A web address opened on a click when there is no menu; empty for none.
    void SetWebAddress(const std::string& url) { m_strWebAddress = url; }
    const std::string& GetWebAddress() const { return m_strWebAddress; }

    // Shows `text` over the button, in `tooltip` when given (a dialog's shared
    // tooltip, which must exist already) or else in a tooltip of the button's
    // own. Calling it again changes the text. Needs an attached button.
    bool SetToolTip(const std::string& text, UINT codePage = CP_ACP, CToolTip* tooltip = nullptr);

    // True while the mouse is over the button.
    bool IsMouseOver() const { return m_bMouseOver; }

    // Paints the button into `item.hDC` as a WM_DRAWITEM for it asks.
    void DrawItem(const DRAWITEMSTRUCT& item);

    bool OnReflectedMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

protected:
    LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed() override;
    // Opens the web address; the shell's "open" verb by default.
    virtual bool OpenWebAddress(const std::string& url);
    // Shows the popup menu below the lower-left corner and returns when it closed.
    virtual void ShowPopupMenu();

private:
    // An image as drawn: the colours with the transparent pixels made black,
    // and a monochrome mask that is white where the image is transparent.
    struct CImage {
        CBitmapHandle image;
        CBitmapHandle mask;
        int cx = 0;
        int cy = 0;
    };
    static bool PrepareImage(HBITMAP hSource, COLORREF transparent, CImage& image, CImage* greyed);
    static void DrawImage(HDC hDC, const CImage& image, int x, int y);
    void SetMouseOver(bool bOver);

    CImage m_normal;
    CImage m_hot;
    CImage m_disabled;
    CMenuHandle m_menu;
    std::string m_strWebAddress;
    std::unique_ptr<CToolTip> m_pOwnToolTip;
    bool m_bMouseOver = false;
};
