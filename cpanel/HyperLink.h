// A static control of a dialog made to behave as a web link: coloured and
// underlined text on the dialog's background, a hand cursor, a tooltip with
// the address, and the page opened in the browser on a click or the space key.
//
//   m_link.Attach(GetItem(IDC_ABOUT_LINK));      // in OnInitDialog
//   m_link.SetUrl(VendorHomePage(...));
//
// The control needs neither SS_NOTIFY nor an owner-drawn style: the link
// answers the hit test itself, so the static receives the mouse. Its colours
// come through WM_CTLCOLORSTATIC, which the parent CDialog hands back to it.
#pragma once

#include "ScopedHandles.h"
#include "SubclassWindow.h"
#include "ToolTip.h"

#include <windows.h>

#include <string>

class CHyperLink : public CSubclassWindow {
public:
    enum EFlags : unsigned {
        kUnderline = 1,        // underline the text
        kUseHover = 2,         // hover colour while the mouse is over the link
        kAutoSize = 4,         // fit the control to its text
        kDownClick = 8,        // open on button down instead of button up
        kGetFocusOnClick = 16, // a click gives the link the focus
        kNoHandCursor = 32,    // keep the normal cursor
        kNoActiveColour = 64,  // no pressed colour
    };
    static constexpr unsigned kDefaultFlags = kUnderline | kAutoSize | kGetFocusOnClick;

    static constexpr COLORREF kLinkColour = RGB(0, 0, 255);
    static constexpr COLORREF kVisitedColour = RGB(128, 0, 128);
    static constexpr COLORREF kHoverColour = RGB(255, 0, 0);
    static constexpr COLORREF kPressedColour = RGB(0, 128, 128);

    CHyperLink() = default;
    ~CHyperLink() override;

    // Takes over a static control: the address from its text when none was
    // set, its text from the address when it has none; the link font, the
    // size, the cursor and the tooltip.
    bool Attach(HWND hStatic);

    // Address and text. On a live control the change hides it, resizes it
    // (kAutoSize) and shows it again; the tooltip follows.
    void SetUrl(const std::string& strUrl);
    const std::string& GetUrl() const { return m_strUrl; }
    void SetText(const std::string& strText);
    // The tooltip's text; empty shows the address.
    void SetToolTipText(const std::string& strText, UINT codePage = CP_ACP);
    // A font for the tooltip (the interface language's, for Chinese tips).
    void SetToolTipFont(HFONT hFont);
    // Flags may change at any time; the font and size follow.
    void SetFlags(unsigned nFlags);
    unsigned GetFlags() const { return m_nFlags; }

    bool IsHovering() const { return m_bHovering; }
    bool IsPressed() const { return m_bPressed; }
    bool IsVisited() const { return m_bVisited; }
    void SetVisited(bool bVisited);
    // The colour the text is drawn in now.
    COLORREF GetColour() const;

    // Opens the address as a click does: on failure a beep and a message box
    // with the reason, on success the link turns visited. True on success.
    bool Open();

    // The hand cursor of the process (see the source), or null when it
    // could not be loaded and the normal cursor stays.
    static HCURSOR HandCursor();

    bool OnReflectedMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

protected:
    LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed() override;

private:
    void FitToText();
    void UpdateToolTip();
    bool HideForChange();
    void ShowAfterChange(bool bWasVisible);
    void SetLinkFont(HFONT hBase);
    void Redraw();
    void EndHover();

    std::string m_strUrl;
    std::string m_strToolTip;
    UINT m_nToolTipCodePage = CP_ACP;
    unsigned m_nFlags = kDefaultFlags;
    HFONT m_hBaseFont = nullptr;  // the font the control was given; not ours
    LOGFONTA m_baseLogFont = {};  // what it looked like, for rebuilding the link font
    CFontHandle m_linkFont;
    CToolTip m_toolTip;
    bool m_bHovering = false;
    bool m_bPressed = false;
    bool m_bVisited = false;
};

// The colour of a link in a state, by the rules of the flags: hovering with
// kUseHover, else pressed without kNoActiveColour, else visited, else the
// plain link colour.
COLORREF HyperLinkColour(bool bHovering, bool bPressed, bool bVisited, unsigned nFlags);
