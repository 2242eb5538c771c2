#include "DragEdit.h"

#include "AreaText.h"
#include "Clipboard.h"
#include "ComObject.h"
#include "ScopedHandles.h"
#include "TextDataObject.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

// The drop target registered for the edit. OLE holds references to it for
// as long as it likes; the edit's object may go first, so it only forwards
// while it is connected.
class CDragEdit::CDropTarget final : public CComObject<IDropTarget, &IID_IDropTarget> {
public:
    explicit CDropTarget(CDragEdit* pOwner) : m_pOwner(pOwner) {}

    void Disconnect() { m_pOwner = nullptr; }

    // No exception leaves these: a failing handler refuses the drop.
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pData, DWORD grfKeyState, POINTL point,
                                        DWORD* pdwEffect) override
    {
        if (!pdwEffect)
            return E_INVALIDARG;
        try {
            *pdwEffect = m_pOwner ? m_pOwner->OnDragEnter(pData, grfKeyState, point, *pdwEffect) : DROPEFFECT_NONE;
        } catch (...) {
            *pdwEffect = DROPEFFECT_NONE;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD grfKeyState, POINTL point, DWORD* pdwEffect) override
    {
        if (!pdwEffect)
            return E_INVALIDARG;
        try {
            *pdwEffect = m_pOwner ? m_pOwner->OnDragOver(grfKeyState, point, *pdwEffect) : DROPEFFECT_NONE;
        } catch (...) {
            *pdwEffect = DROPEFFECT_NONE;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        try {
            if (m_pOwner)
                m_pOwner->OnDragLeave();
        } catch (...) {
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* pData, DWORD grfKeyState, POINTL point, DWORD* pdwEffect) override
    {
        if (!pdwEffect)
            return E_INVALIDARG;
        try {
            *pdwEffect = m_pOwner ? m_pOwner->OnDrop(pData, grfKeyState, point, *pdwEffect) : DROPEFFECT_NONE;
        } catch (...) {
            *pdwEffect = DROPEFFECT_NONE;
        }
        return S_OK;
    }

private:
    ~CDropTarget() override = default;

    CDragEdit* m_pOwner;
};

namespace {

// An edit control of this thread that has the focus gets its caret back the
// way it made it: its own focus handling creates and places it again.
void ReturnCaret(HWND hFocus)
{
    char szClass[16] = {};
    if (!hFocus || ::GetWindowThreadProcessId(hFocus, nullptr) != ::GetCurrentThreadId() ||
        !::GetClassNameA(hFocus, szClass, sizeof szClass) || ::lstrcmpiA(szClass, "Edit") != 0)
        return;
    ::SendMessageA(hFocus, WM_SETFOCUS, 0, 0);
}

} // namespace

CDragEdit::CDragEdit() = default;

CDragEdit::~CDragEdit()
{
    if (m_pbDestroyed)
        *m_pbDestroyed = true;
    Detach();
}

bool CDragEdit::Attach(HWND hEdit)
{
    char szClass[16] = {};
    if (!hEdit || !::GetClassNameA(hEdit, szClass, sizeof szClass) || ::lstrcmpiA(szClass, "Edit") != 0)
        return false;
    if (!CSubclassWindow::Attach(hEdit))
        return false;
    CDropTarget* pTarget = new (std::nothrow) CDropTarget(this);
    if (pTarget)
        *m_target.ReceiveVoid() = pTarget;
    if (!pTarget || FAILED(::RegisterDragDrop(hEdit, m_target.Get()))) {
        // Without OLE the edit stays a plain one.
        if (m_target)
            m_target->Disconnect();
        m_target.Reset();
        CSubclassWindow::Detach();
        return false;
    }
    m_bRegistered = true;
    return true;
}

void CDragEdit::Detach()
{
    if (!GetHwnd())
        return;
    HideDropCaret();
    if (m_bPressPending) {
        m_bPressPending = false;
        if (::GetCapture() == GetHwnd())
            ::ReleaseCapture();
    }
    Revoke();
    CSubclassWindow::Detach();
}

void CDragEdit::Revoke()
{
    if (m_bRegistered && GetHwnd())
        ::RevokeDragDrop(GetHwnd());
    m_bRegistered = false;
    if (m_target)
        m_target->Disconnect();
    m_target.Reset();
}

void CDragEdit::OnWindowDestroyed()
{
    // WM_DESTROY revoked the target while the window still existed.
    m_bRegistered = false;
    if (m_target)
        m_target->Disconnect();
    m_target.Reset();
    m_bPressPending = false;
    m_bCaretShown = m_bOwnCaret = false;
}

LRESULT CDragEdit::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (uMsg) {
    case WM_LBUTTONDOWN:
        if (OnLButtonDown(wParam, point))
            return 0;
        break;
    case WM_MOUSEMOVE:
        if (m_bPressPending) {
            if (std::abs(point.x - m_ptPress.x) > kDragStartDistance ||
                std::abs(point.y - m_ptPress.y) > kDragStartDistance) {
                EndPress();
                BeginDrag();
            }
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (m_bPressPending) {
            // Not a drag after all: a click, which places the caret.
            EndPress();
            const int nPos = CharFromPoint(m_ptPress);
            if (nPos >= 0)
                ::SendMessageA(GetHwnd(), EM_SETSEL, static_cast<WPARAM>(nPos), static_cast<LPARAM>(nPos));
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != GetHwnd())
            m_bPressPending = false;
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == GetHwnd() && LOWORD(lParam) == HTCLIENT) {
            POINT cursor = {};
            ::GetCursorPos(&cursor);
            ::ScreenToClient(GetHwnd(), &cursor);
            if (m_bPressPending || IsOverSelection(cursor)) {
                ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
                return TRUE;
            }
        }
        break;
    case WM_COPY:
        CopySelection(false);
        return 0;
    case WM_CUT:
        CopySelection(true);
        return 0;
    case WM_PASTE:
        PasteClipboard();
        return 0;
    case WM_DESTROY:
        HideDropCaret();
        if (m_bRegistered)
            ::RevokeDragDrop(GetHwnd());
        m_bRegistered = false;
        break;
    default:
        break;
    }
    return CallOriginal(uMsg, wParam, lParam);
}

// ---- The clipboard

void CDragEdit::CopySelection(bool bCut)
{
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    const std::string strText = TextRange(nStart, nEnd);
    if (strText.empty() || !WriteAreaClipboard(GetHwnd(), strText, m_nCodePage))
        return;
    if (bCut && TakesDrops())
        RemoveRange(nStart, nEnd);
}

void CDragEdit::PasteClipboard()
{
    std::string strText;
    if (TakesDrops() && ReadClipboardBytes(GetHwnd(), strText))
        ReplaceAreaSelection(GetHwnd(), strText, m_nCodePage);
}

// ---- The drag source side

bool CDragEdit::OnLButtonDown(WPARAM wParam, POINT point)
{
    // Shift extends the selection as usual.
    if ((wParam & MK_SHIFT) || !IsOverSelection(point))
        return false;
    if (::GetFocus() != GetHwnd())
        ::SetFocus(GetHwnd());
    m_ptPress = point;
    m_bPressPending = true;
    ::SetCapture(GetHwnd());
    return true;
}

void CDragEdit::EndPress()
{
    m_bPressPending = false;
    if (::GetCapture() == GetHwnd())
        ::ReleaseCapture();
}

void CDragEdit::BeginDrag()
{
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    if (nStart >= nEnd)
        return;
    std::string strText = TextRange(nStart, nEnd);
    if (strText.empty())
        return;
    const CScopedComPtr<IDataObject> data = CreateTextDataObject(strText);
    const CScopedComPtr<IDropSource> source = CreateLeftButtonDropSource();
    if (!data || !source)
        return;
    // Text that cannot be removed from here can only be copied.
    const DWORD dwAllowed = DROPEFFECT_COPY | (TakesDrops() ? DROPEFFECT_MOVE : 0);

    m_drag = CDragState();
    m_drag.bActive = true;
    m_drag.nStart = nStart;
    m_drag.nEnd = nEnd;
    m_drag.strText = std::move(strText);
    // The dialog may close while DoDragDrop pumps its messages, taking this
    // object with it.
    bool bDestroyed = false;
    m_pbDestroyed = &bDestroyed;
    DWORD dwEffect = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(data.Get(), source.Get(), dwAllowed, &dwEffect);
    if (bDestroyed)
        return;
    m_pbDestroyed = nullptr;
    const CDragState drag = std::move(m_drag);
    m_drag = CDragState();
    FinishDrag(drag, hr, dwEffect);
}

void CDragEdit::FinishDrag(const CDragState& drag, HRESULT hr, DWORD dwEffect)
{
    if (!GetHwnd() || hr != DRAGDROP_S_DROP)
        return;
    // Whatever happens next removes or inserts the dragged text where it was
    // taken: if the area changed meanwhile, its range no longer holds it.
    const bool bRangeIntact = TextRange(drag.nStart, drag.nEnd) == drag.strText;
    if (drag.bDroppedHere) {
        int nPos = drag.nDropPos;
        if (drag.dwEffect & DROPEFFECT_MOVE) {
            if (!bRangeIntact)
                return;
            RemoveRange(drag.nStart, drag.nEnd);
            if (nPos >= drag.nEnd)
                nPos -= drag.nEnd - drag.nStart;
        }
        InsertText(nPos, drag.strText);
        return;
    }
    if ((dwEffect & DROPEFFECT_MOVE) && bRangeIntact)
        RemoveRange(drag.nStart, drag.nEnd);
}

// ---- The drop target side

bool CDragEdit::TakesDrops() const
{
    const HWND hWnd = GetHwnd();
    return hWnd && ::IsWindowEnabled(hWnd) && !(::GetWindowLongA(hWnd, GWL_STYLE) & ES_READONLY);
}

DWORD CDragEdit::ChooseEffect(DWORD grfKeyState, DWORD dwAllowed, int nPos) const
{
    if (!m_bTakesDrag || !TakesDrops() || nPos < 0)
        return DROPEFFECT_NONE;
    DWORD dwEffect = DROPEFFECT_NONE;
    if ((dwAllowed & DROPEFFECT_MOVE) && !(grfKeyState & MK_CONTROL))
        dwEffect = DROPEFFECT_MOVE;
    else if (dwAllowed & DROPEFFECT_COPY)
        dwEffect = DROPEFFECT_COPY;
    // Moving a text into itself, or next to itself, leaves everything as it is.
    if (dwEffect == DROPEFFECT_MOVE && m_drag.bActive && nPos >= m_drag.nStart && nPos <= m_drag.nEnd)
        dwEffect = DROPEFFECT_NONE;
    return dwEffect;
}

int CDragEdit::DropPosition(POINTL screenPoint)
{
    POINT point = {screenPoint.x, screenPoint.y};
    if (!::ScreenToClient(GetHwnd(), &point))
        return -1;
    return CharFromPoint(point);
}

DWORD CDragEdit::OnDragEnter(IDataObject* pData, DWORD grfKeyState, POINTL point, DWORD dwAllowed)
{
    m_bTakesDrag = HasTextData(pData);
    m_dwLastScroll = ::GetTickCount();
    return OnDragOver(grfKeyState, point, dwAllowed);
}

DWORD CDragEdit::OnDragOver(DWORD grfKeyState, POINTL point, DWORD dwAllowed)
{
    if (!m_bTakesDrag || !TakesDrops())
        return DROPEFFECT_NONE;
    POINT client = {point.x, point.y};
    ::ScreenToClient(GetHwnd(), &client);
    AutoScroll(client);
    const int nPos = CharFromPoint(client);
    const DWORD dwEffect = ChooseEffect(grfKeyState, dwAllowed, nPos);
    if (dwEffect != DROPEFFECT_NONE)
        ShowDropCaret(nPos);
    else
        HideDropCaret();
    return dwEffect;
}

void CDragEdit::OnDragLeave()
{
    HideDropCaret();
    m_bTakesDrag = false;
}

DWORD CDragEdit::OnDrop(IDataObject* pData, DWORD grfKeyState, POINTL point, DWORD dwAllowed)
{
    HideDropCaret();
    const int nPos = DropPosition(point);
    DWORD dwEffect = ChooseEffect(grfKeyState, dwAllowed, nPos);
    m_bTakesDrag = false;
    if (dwEffect == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    if (m_drag.bActive) {
        // Our own text: BeginDrag moves it once DoDragDrop has returned, so
        // that the removal comes first and the position can be corrected.
        m_drag.bDroppedHere = true;
        m_drag.nDropPos = nPos;
        m_drag.dwEffect = dwEffect;
        return dwEffect;
    }
    std::string strText;
    if (!ReadTextData(pData, strText) || strText.empty())
        return DROPEFFECT_NONE;
    if (!InsertText(nPos, strText) && dwEffect == DROPEFFECT_MOVE)
        dwEffect = (dwAllowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return dwEffect;
}

void CDragEdit::AutoScroll(POINT clientPoint)
{
    RECT client = {};
    ::GetClientRect(GetHwnd(), &client);
    const int nLineHeight = LineHeight();
    int nLines = 0;
    if (clientPoint.y < client.top + nLineHeight)
        nLines = -1;
    else if (clientPoint.y >= client.bottom - nLineHeight)
        nLines = 1;
    if (nLines == 0)
        return;
    const DWORD dwNow = ::GetTickCount();
    if (dwNow - m_dwLastScroll < kScrollIntervalMs)
        return;
    m_dwLastScroll = dwNow;
    ::SendMessageA(GetHwnd(), EM_LINESCROLL, 0, nLines);
}

void CDragEdit::ShowDropCaret(int nPos)
{
    POINT at = {};
    if (!PosFromChar(nPos, at))
        return;
    const HWND hWnd = GetHwnd();
    if (!m_bCaretShown) {
        // The focused edit has the thread's caret already; any other area
        // borrows it for the drag.
        if (::GetFocus() != hWnd) {
            if (!::CreateCaret(hWnd, nullptr, 2, LineHeight()))
                return;
            ::ShowCaret(hWnd);
            m_bOwnCaret = true;
        }
        m_bCaretShown = true;
    }
    ::SetCaretPos(at.x, at.y);
}

void CDragEdit::HideDropCaret()
{
    if (!m_bCaretShown)
        return;
    m_bCaretShown = false;
    if (m_bOwnCaret) {
        m_bOwnCaret = false;
        ::DestroyCaret();
    }
    // The focused edit, this one or another, lost its caret or its place.
    ReturnCaret(::GetFocus());
}

// ---- The edit

void CDragEdit::GetSel(int& nStart, int& nEnd) const
{
    // Through the out parameters: the packed return value holds 16 bits each.
    DWORD dwStart = 0, dwEnd = 0;
    ::SendMessageA(GetHwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
    nStart = static_cast<int>(dwStart);
    nEnd = static_cast<int>(dwEnd);
    if (nStart > nEnd)
        std::swap(nStart, nEnd);
}

int CDragEdit::CharFromPoint(POINT clientPoint) const
{
    const HWND hWnd = GetHwnd();
    // The edit answers -1 outside its formatting rectangle; the nearest
    // point inside stands for the mouse at the borders.
    RECT format = {};
    ::SendMessageA(hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    if (format.right <= format.left || format.bottom <= format.top)
        return -1;
    clientPoint.x = std::max(format.left, std::min(clientPoint.x, format.right - 1));
    clientPoint.y = std::max(format.top, std::min(clientPoint.y, format.bottom - 1));
    const LRESULT result =
        ::SendMessageA(hWnd, EM_CHARFROMPOS, 0, MAKELPARAM(clientPoint.x, clientPoint.y));
    if (result == -1)
        return -1;
    // Character index and line come back in 16 bits each. Texts of 64 KB and
    // more are common here (whole files), so both are taken as the low bits
    // of the real numbers: the line is the visible one with those low bits,
    // the index the one on that line.
    const int nLowIndex = LOWORD(result), nLowLine = HIWORD(result);
    const int nFirst = static_cast<int>(::SendMessageA(hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    const int nLineCount = static_cast<int>(::SendMessageA(hWnd, EM_GETLINECOUNT, 0, 0));
    int nLine = nFirst + ((nLowLine - nFirst) & 0xFFFF);
    if (nLine >= nLineCount)
        nLine = nLowLine;
    const int nLineStart = static_cast<int>(::SendMessageA(hWnd, EM_LINEINDEX, static_cast<WPARAM>(nLine), 0));
    if (nLineStart < 0)
        return nLowIndex;
    const int nLineLength = static_cast<int>(::SendMessageA(hWnd, EM_LINELENGTH, static_cast<WPARAM>(nLineStart), 0));
    const int nPos = nLineStart + ((nLowIndex - nLineStart) & 0xFFFF);
    return std::min(nPos, nLineStart + nLineLength);
}

bool CDragEdit::PosFromChar(int nPos, POINT& point) const
{
    const HWND hWnd = GetHwnd();
    LRESULT result = ::SendMessageA(hWnd, EM_POSFROMCHAR, static_cast<WPARAM>(nPos), 0);
    if (result != -1) {
        point = {static_cast<short>(LOWORD(result)), static_cast<short>(HIWORD(result))};
        return true;
    }
    // Some versions of the edit have no position for the end of the text:
    // take the character before it and step past it.
    if (nPos <= 0)
        return false;
    result = ::SendMessageA(hWnd, EM_POSFROMCHAR, static_cast<WPARAM>(nPos - 1), 0);
    if (result == -1)
        return false;
    point = {static_cast<short>(LOWORD(result)), static_cast<short>(HIWORD(result))};
    const LRESULT lineOfEnd = ::SendMessageA(hWnd, EM_LINEFROMCHAR, static_cast<WPARAM>(nPos), 0);
    const LRESULT lineBefore = ::SendMessageA(hWnd, EM_LINEFROMCHAR, static_cast<WPARAM>(nPos - 1), 0);
    if (lineOfEnd != lineBefore) {
        RECT format = {};
        ::SendMessageA(hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        point = {format.left, point.y + LineHeight()};
        return true;
    }
    TEXTMETRICA metrics = {};
    CWindowDC dc(hWnd);
    if (dc) {
        CSelectObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)));
        ::GetTextMetricsA(dc.Get(), &metrics);
    }
    point.x += metrics.tmAveCharWidth;
    return true;
}

int CDragEdit::LineHeight() const
{
    const HWND hWnd = GetHwnd();
    CWindowDC dc(hWnd);
    TEXTMETRICA metrics = {};
    if (dc) {
        const HGDIOBJ hFont = reinterpret_cast<HGDIOBJ>(::SendMessageA(hWnd, WM_GETFONT, 0, 0));
        CSelectObject select(dc.Get(), hFont ? hFont : ::GetStockObject(SYSTEM_FONT));
        ::GetTextMetricsA(dc.Get(), &metrics);
    }
    return metrics.tmHeight > 0 ? metrics.tmHeight : 16;
}

bool CDragEdit::IsOverSelection(POINT clientPoint) const
{
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    if (nStart >= nEnd)
        return false;
    RECT format = {};
    ::SendMessageA(GetHwnd(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    if (!::PtInRect(&format, clientPoint))
        return false;
    // The edit names the character boundary nearest to the point; the
    // character under it is the one to the boundary's left when the point
    // lies left of the boundary.
    const int nBoundary = CharFromPoint(clientPoint);
    if (nBoundary < 0)
        return false;
    const int nLineHeight = LineHeight();
    POINT at = {};
    int nChar = nBoundary;
    if (PosFromChar(nBoundary, at) && clientPoint.y >= at.y && clientPoint.y < at.y + nLineHeight) {
        if (clientPoint.x < at.x) {
            nChar = nBoundary - 1;
        } else {
            // Right of a line's last character is no text at all.
            const HWND hWnd = GetHwnd();
            const int nLineStart = static_cast<int>(::SendMessageA(
                hWnd, EM_LINEINDEX, static_cast<WPARAM>(::SendMessageA(hWnd, EM_LINEFROMCHAR, nBoundary, 0)), 0));
            const int nLineLength =
                static_cast<int>(::SendMessageA(hWnd, EM_LINELENGTH, static_cast<WPARAM>(nLineStart), 0));
            if (nBoundary >= nLineStart + nLineLength)
                return false;
        }
    } else {
        return false;
    }
    return nChar >= nStart && nChar < nEnd;
}

std::string CDragEdit::TextRange(int nStart, int nEnd) const
{
    return GetAreaRangeBytes(GetHwnd(), nStart, nEnd, m_nCodePage);
}

bool CDragEdit::InsertText(int nPos, const std::string& strText)
{
    const HWND hWnd = GetHwnd();
    ::SendMessageA(hWnd, EM_SETSEL, static_cast<WPARAM>(nPos), static_cast<LPARAM>(nPos));
    ReplaceAreaSelection(hWnd, strText, m_nCodePage);
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    // The caret stands after what went in: select it and show it, in an area
    // that has the focus, so the selection can be seen.
    if (::GetFocus() != hWnd)
        ::SetFocus(hWnd);
    ::SendMessageA(hWnd, EM_SETSEL, static_cast<WPARAM>(nPos), static_cast<LPARAM>(nEnd));
    ::SendMessageA(hWnd, EM_SCROLLCARET, 0, 0);
    // A full edit takes only some of the text, or none.
    return nEnd > nPos && TextRange(nPos, nEnd) == strText;
}

void CDragEdit::RemoveRange(int nStart, int nEnd)
{
    const HWND hWnd = GetHwnd();
    ::SendMessageA(hWnd, EM_SETSEL, static_cast<WPARAM>(nStart), static_cast<LPARAM>(nEnd));
    ::SendMessageA(hWnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
}
