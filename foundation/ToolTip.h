// A tooltip control (comctl32) that shows texts over child windows of a dialog.
//
// The object owns the tooltip window and destroys it; the tooltip is owned by
// the dialog as well, so it also goes away with the dialog if that ends first.
// Tools are whole child windows (buttons, edits) or rectangles of one. The
// tooltip watches the mouse over enabled tools itself; for disabled ones, which
// get no mouse messages, relay the dialog's mouse messages with RelayEvent
// (from CDialog::PreTranslateMessage).
//
// Texts are multibyte strings in a code page as in ChildControls.h; set the
// font of the interface language with SetFont so that Chinese tips show.
#pragma once

#include <windows.h>

#include <string>

class CToolTip {
public:
    CToolTip() = default;
    ~CToolTip();
    CToolTip(const CToolTip&) = delete;
    CToolTip& operator=(const CToolTip&) = delete;

    // Creates the tooltip window for the dialog `hOwner`. Fails when one exists.
    bool Create(HWND hOwner);
    void Destroy();
    HWND GetHwnd() const { return m_hWnd; }

    // Adds `hTool` (a child of the owner) with `text`, or replaces the text of
    // a tool already added.
    bool AddTool(HWND hTool, const std::string& text, UINT codePage = CP_ACP);
    // A tool covering `rect` (client coordinates of `hWindow`), told apart from
    // the other rectangles of that window by `nId`.
    bool AddRectTool(HWND hWindow, UINT nId, const RECT& rect, const std::string& text, UINT codePage = CP_ACP);
    bool SetToolRect(HWND hWindow, UINT nId, const RECT& rect);
    // New text of a tool added before; false when there is no such tool.
    bool UpdateText(HWND hTool, const std::string& text, UINT codePage = CP_ACP);
    bool UpdateRectText(HWND hWindow, UINT nId, const std::string& text, UINT codePage = CP_ACP);
    void RemoveTool(HWND hTool);
    bool HasTool(HWND hTool) const;
    int GetToolCount() const;

    void SetFont(HFONT hFont);
    void Activate(bool bActive);
    // Lines longer than `nPixels` wrap; tips with CR LF show several lines once a width is set.
    void SetMaxTipWidth(int nPixels);
    // Hands a mouse message over the owner's windows to the tooltip.
    void RelayEvent(const MSG& msg);

private:
    bool SendTool(UINT msgA, UINT msgW, HWND hWindow, UINT_PTR id, UINT flags, const RECT* rect,
                  const std::string& text, UINT codePage);

    HWND m_hWnd = nullptr;
    HWND m_hOwner = nullptr;
};
