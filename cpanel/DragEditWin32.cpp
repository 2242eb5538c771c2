#include "DragEdit.h"

#include "AreaText.h"
#include "Clipboard.h"

CDragEdit::~CDragEdit() = default;

bool CDragEdit::Attach(HWND hEdit)
{
    return CSubclassWindow::Attach(hEdit);
}

void CDragEdit::CopySelection(bool bCut)
{
    const std::string bytes = GetAreaSelectionBytes(GetHwnd(), m_nCodePage);
    if (bytes.empty() || !WriteAreaClipboard(GetHwnd(), bytes, m_nCodePage))
        return;
    if (bCut && (::GetWindowLongA(GetHwnd(), GWL_STYLE) & ES_READONLY) == 0)
        ReplaceAreaSelection(GetHwnd(), std::string(), m_nCodePage);
}

void CDragEdit::PasteClipboard()
{
    if ((::GetWindowLongA(GetHwnd(), GWL_STYLE) & ES_READONLY) != 0)
        return;
    std::string bytes;
    if (ReadClipboardBytes(GetHwnd(), bytes))
        ReplaceAreaSelection(GetHwnd(), bytes, m_nCodePage);
}

LRESULT CDragEdit::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_COPY:
        CopySelection(false);
        return 0;
    case WM_CUT:
        CopySelection(true);
        return 0;
    case WM_PASTE:
        PasteClipboard();
        return 0;
    default:
        return CSubclassWindow::WindowProc(uMsg, wParam, lParam);
    }
}
