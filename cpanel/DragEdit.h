// The edit control of the sample text editor's two areas, with OLE drag and
// drop of text inside an area, between the areas and with other programs.
//
// - Pressing the left button inside a non-empty selection and moving the
//   mouse more than kDragStartDistance pixels away from the press point
//   drags the selected text as CF_TEXT (the bytes the edit holds, lines
//   joined with CR LF). A press that is released before that places the
//   caret at the pressed character. Over a selection the cursor is the arrow.
// - When the drop was a move, the selection leaves this area. A move inside
//   the same area removes the text first and inserts it at the drop position
//   counted in the shortened text; a drop inside the moved text itself
//   changes nothing.
// - Text dragged over the area moves the caret with the mouse and, near the
//   top or bottom border (within a line's height), scrolls the area a line at
//   a time. A drop inserts the text at the character under the mouse with
//   EM_REPLACESEL, selects it, scrolls it into view and focuses the area.
// - Drops take CF_TEXT only. The default is a move when the source allows
//   one and Ctrl is not held, a copy otherwise. A read-only or disabled area
//   takes no drops, and drags from it are copies.
// - When the area could not take all of a moved text (its text limit), the
//   drop answers as a copy, so the source keeps its text.
//
// The text is bytes of the area's language (GBK or Big5, SetCodePage), read
// and written through AreaText.h so that they leave and enter the area
// unchanged whatever the system's code page. The same holds for the
// clipboard: Cut, Copy and Paste, from the keyboard or sent by the editor,
// move the area's bytes as CF_TEXT (with their UTF-16 beside them for other
// programs) instead of text narrowed through the system's code page.
//
// Use it as a member of the dialog, attached in OnInitDialog. The thread must
// have initialised OLE (CScopedOleInit) before Attach:
//   m_editSource.Attach(GetItem(IDC_SOURCE_EDIT));
// The parent sees the edits' own notifications only: EN_CHANGE for every
// insertion and removal a drop makes (the modified flag), and EN_SETFOCUS
// when a drop focuses an area or when a drag that passed over the focused
// area hands its caret back.
#pragma once

#include "ScopedCom.h"
#include "SubclassWindow.h"

#include <ole2.h>
#include <windows.h>

#include <string>

class CDragEdit : public CSubclassWindow {
public:
    // The drag-start rectangle: how far the mouse may move from the press
    // point, in pixels each way, before the press becomes a drag.
    static constexpr int kDragStartDistance = 5;
    // The least time between two lines of scrolling near a border.
    static constexpr DWORD kScrollIntervalMs = 100;

    CDragEdit();
    ~CDragEdit() override;

    // Takes over an edit control and registers it as a drop target. Fails on
    // anything but an edit, on a window already taken, and when the thread
    // has not initialised OLE (the edit is then left as it was).
    bool Attach(HWND hEdit);
    // Revokes the drop target and gives the edit back.
    void Detach();

    // True while a drag of this area's selection runs.
    bool IsDragging() const { return m_drag.bActive; }

    // The code page of the area's language (936 or 950).
    void SetCodePage(UINT nCodePage) { m_nCodePage = nCodePage; }
    UINT GetCodePage() const { return m_nCodePage; }

protected:
    LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed() override;

private:
    class CDropTarget;
    friend class CDropTarget;

    // A drag of this area's selection while DoDragDrop runs.
    struct CDragState {
        bool bActive = false;
        int nStart = 0, nEnd = 0;  // the dragged range, in the edit's own units
        std::string strText;
        bool bDroppedHere = false;  // the drop landed in this area
        int nDropPos = 0;
        DWORD dwEffect = DROPEFFECT_NONE;
    };

    // ---- The drag source side
    bool OnLButtonDown(WPARAM wParam, POINT point);
    void EndPress();
    void BeginDrag();
    void FinishDrag(const CDragState& drag, HRESULT hr, DWORD dwEffect);

    // ---- The drop target side (called by CDropTarget)
    DWORD OnDragEnter(IDataObject* pData, DWORD grfKeyState, POINTL point, DWORD dwAllowed);
    DWORD OnDragOver(DWORD grfKeyState, POINTL point, DWORD dwAllowed);
    void OnDragLeave();
    DWORD OnDrop(IDataObject* pData, DWORD grfKeyState, POINTL point, DWORD dwAllowed);
    DWORD ChooseEffect(DWORD grfKeyState, DWORD dwAllowed, int nPos) const;
    bool TakesDrops() const;
    int DropPosition(POINTL screenPoint);
    void AutoScroll(POINT clientPoint);
    void ShowDropCaret(int nPos);
    void HideDropCaret();

    // ---- The clipboard
    void CopySelection(bool bCut);
    void PasteClipboard();

    // ---- The edit
    void GetSel(int& nStart, int& nEnd) const;
    int CharFromPoint(POINT clientPoint) const;
    bool PosFromChar(int nPos, POINT& point) const;
    bool IsOverSelection(POINT clientPoint) const;
    int LineHeight() const;
    std::string TextRange(int nStart, int nEnd) const;
    bool InsertText(int nPos, const std::string& strText);
    void RemoveRange(int nStart, int nEnd);
    void Revoke();

    CScopedComPtr<CDropTarget> m_target;
    bool m_bRegistered = false;

    bool m_bPressPending = false;  // pressed in the selection, not yet a drag
    POINT m_ptPress = {};
    CDragState m_drag;
    bool* m_pbDestroyed = nullptr;  // set when the object goes during DoDragDrop

    bool m_bTakesDrag = false;   // the text dragged over the area is CF_TEXT
    bool m_bCaretShown = false;  // the caret follows the drag over this area
    bool m_bOwnCaret = false;    // ... and is one this object made
    DWORD m_dwLastScroll = 0;
    UINT m_nCodePage = 936;
};
