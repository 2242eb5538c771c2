// The edit control class of the sample text editor's areas. An area holds
// bytes of its display language (AreaText.h); this class keeps them so when
// text leaves or enters the area through the clipboard: Cut, Copy and Paste,
// from the keyboard or sent by the editor, move CF_TEXT bytes decoded and
// encoded with the area's code page rather than the system's.
#pragma once

#include "SubclassWindow.h"

#include <windows.h>

class CDragEdit : public CSubclassWindow {
public:
    CDragEdit() = default;
    ~CDragEdit() override;

    // Takes over a multi-line edit control.
    bool Attach(HWND hEdit);
    // The code page of the area's display language (936 or 950).
    void SetCodePage(UINT nCodePage) { m_nCodePage = nCodePage; }
    UINT GetCodePage() const { return m_nCodePage; }

protected:
    LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

private:
    void CopySelection(bool bCut);
    void PasteClipboard();

    UINT m_nCodePage = 936;
};
