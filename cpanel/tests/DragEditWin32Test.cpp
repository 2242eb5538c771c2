// The editor areas' drag and drop worked with the real mouse: two multi-line
// edits of an in-memory dialog, each a CDragEdit, and xdotool pressing,
// moving and releasing the button on the test's X display. Wine's DoDragDrop
// runs its own loop on the real input, so one xdotool run holds a whole drag
// while the test's thread sits in that loop.
#include "BlockDataObject.h"
#include "DialogTestSupport.h"
#include "DragEdit.h"
#include "ScreenCapture.h"
#include "ScopedCom.h"
#include "TextDataObject.h"
#include "XDoTool.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using dialogtest::PumpFor;
using dialogtest::PumpUntil;

enum : WORD { kIdFirst = 101, kIdSecond = 102, kIdLabel = 103 };

class CTwoAreasDlg : public CDialog {
public:
    CTwoAreasDlg() : CDialog(MakeTemplate()) {}

    CDragEdit m_first, m_second;
    bool m_bAttached = false;
    int m_nFirstChanges = 0, m_nSecondChanges = 0;

protected:
    bool OnInitDialog() override
    {
        m_bAttached = m_first.Attach(GetItem(kIdFirst)) && m_second.Attach(GetItem(kIdSecond));
        return true;
    }
    bool OnCommand(int nId, int nCode, HWND hCtl) override
    {
        if (nCode == EN_CHANGE) {
            (nId == kIdFirst ? m_nFirstChanges : m_nSecondChanges)++;
            return true;
        }
        return CDialog::OnCommand(nId, nCode, hCtl);
    }

private:
    static CDialogTemplate MakeTemplate()
    {
        CDialogTemplate dlg("Drag test", WS_POPUP | WS_CAPTION | WS_VISIBLE, 20, 20, 230, 150);
        const DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
        dlg.AddControl(CDialogTemplate::kEdit, "", kIdFirst, style, 5, 5, 220, 55);
        dlg.AddControl(CDialogTemplate::kEdit, "", kIdSecond, style, 5, 70, 220, 55);
        dlg.AddControl(CDialogTemplate::kStatic, "Another program's window", kIdLabel, SS_LEFT, 5, 132, 200, 12);
        return dlg;
    }
};

// Real input, with the dialog's messages pumped while xdotool works.
bool Xdotool(const std::string& strArguments)
{
    const bool bDone = XDoTool(strArguments, [](const std::function<bool()>& condition, DWORD nTimeoutMs) {
        return PumpUntil(condition, nTimeoutMs);
    });
    PumpFor(200);
    return bDone;
}

std::string Text(HWND hEdit)
{
    char szText[512] = {};
    ::GetWindowTextA(hEdit, szText, sizeof szText);
    return szText;
}

std::pair<int, int> Selection(HWND hEdit)
{
    DWORD dwStart = 0, dwEnd = 0;
    ::SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
    return {static_cast<int>(dwStart), static_cast<int>(dwEnd)};
}

// A screen point on the character `nPos`: `dx` pixels right of its left
// edge (2 is inside it, 1 is nearest its left boundary), mid-line.
std::string ScreenAt(HWND hEdit, int nPos, int dx)
{
    const LRESULT result = ::SendMessageA(hEdit, EM_POSFROMCHAR, static_cast<WPARAM>(nPos), 0);
    POINT point = {static_cast<short>(LOWORD(result)) + dx, static_cast<short>(HIWORD(result)) + 6};
    ::ClientToScreen(hEdit, &point);
    return std::to_string(point.x) + " " + std::to_string(point.y);
}

std::string ScreenCentre(HWND hWnd)
{
    RECT rect = {};
    ::GetWindowRect(hWnd, &rect);
    return std::to_string((rect.left + rect.right) / 2) + " " + std::to_string((rect.top + rect.bottom) / 2);
}

// A drag as a hand makes it: press, a first small move out of the start
// rectangle, a pause on the way, the release at the target.
std::string DragMoves(const std::string& strFrom, const std::string& strTo)
{
    const auto comma = strFrom.find(' ');
    const int x = std::stoi(strFrom.substr(0, comma)), y = std::stoi(strFrom.substr(comma + 1));
    return "mousemove " + strFrom + " mousedown 1 sleep 0.3 mousemove " + std::to_string(x + 8) + " " +
           std::to_string(y + 2) + " sleep 0.3 mousemove " + strTo + " sleep 0.3 mousemove_relative 1 0 sleep 0.3 " +
           "mousemove " + strTo + " sleep 0.3 mouseup 1";
}

class DragEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_ole.IsUsable());
        ASSERT_TRUE(m_dlg.Create(nullptr));
        ASSERT_TRUE(m_dlg.m_bAttached);
        m_hFirst = m_dlg.GetItem(kIdFirst);
        m_hSecond = m_dlg.GetItem(kIdSecond);
        ::SetForegroundWindow(m_dlg.GetHwnd());
        PumpFor(300);
    }

    void Fill(HWND hEdit, const std::string& strText, int nStart, int nEnd)
    {
        ::SetWindowTextA(hEdit, strText.c_str());
        ::SetFocus(hEdit);
        ::SendMessageA(hEdit, EM_SETSEL, static_cast<WPARAM>(nStart), static_cast<LPARAM>(nEnd));
        PumpFor(100);
    }

    // A drag that another program runs: the button pressed on the label, then
    // `strMoves` played by xdotool while this thread sits in DoDragDrop.
    HRESULT DragFromElsewhere(IDataObject* pData, IDropSource* pSource, DWORD dwAllowed, const std::string& strMoves,
                              DWORD& dwEffect)
    {
        dwEffect = DROPEFFECT_NONE;
        if (!Xdotool("mousemove " + ScreenCentre(m_dlg.GetItem(kIdLabel)) + " mousedown 1"))
            return E_FAIL;
        bool bMoved = false;
        std::thread moves([&] { bMoved = XDoTool(strMoves); });
        const HRESULT hr = ::DoDragDrop(pData, pSource, dwAllowed, &dwEffect);
        moves.join();
        PumpFor(200);
        EXPECT_TRUE(bMoved);
        return hr;
    }

    CScopedOleInit m_ole;
    CTwoAreasDlg m_dlg;
    HWND m_hFirst = nullptr, m_hSecond = nullptr;
};

TEST_F(DragEdit, MovesASelectionToTheOtherArea)
{
    Fill(m_hSecond, "one two", 0, 0);
    Fill(m_hFirst, "alpha beta gamma", 6, 11);  // "beta "
    m_dlg.m_nFirstChanges = m_dlg.m_nSecondChanges = 0;

    ASSERT_TRUE(Xdotool(DragMoves(ScreenAt(m_hFirst, 8, 2), ScreenAt(m_hSecond, 4, 1))));
    EXPECT_EQ(Text(m_hFirst), "alpha gamma");
    EXPECT_EQ(Text(m_hSecond), "one beta two");
    EXPECT_EQ(Selection(m_hSecond), std::make_pair(4, 9));
    EXPECT_EQ(::GetFocus(), m_hSecond);
    EXPECT_GE(m_dlg.m_nFirstChanges, 1);
    EXPECT_GE(m_dlg.m_nSecondChanges, 1);
    EXPECT_FALSE(m_dlg.m_first.IsDragging());
    std::vector<BYTE> pixels;
    int cx = 0, cy = 0;
    dialogtest::SaveWindowBitmap(m_dlg.GetHwnd(), dialogtest::ArtefactFolder() + "\\drag-edit-moved.bmp", pixels, cx, cy);
}

TEST_F(DragEdit, MovesInsideOneAreaToTheRightPlace)
{
    const struct {
        const char* pszName;
        std::string strText;
        int nStart, nEnd;  // the selection
        int nPress;        // a character inside it
        int nDrop;         // the boundary the mouse is released on
        std::string strExpected;
        std::pair<int, int> selected;
    } cases[] = {
        // After the moved text: the position counts in the shortened text.
        {"later on the line", "one two three four", 4, 8, 5, 14, "one three two four", {10, 14}},
        {"to the start", "one two three four", 8, 14, 10, 0, "three one two four", {0, 6}},
        {"a line down past another", "first\r\nsecond\r\nthird", 0, 7, 2, 15, "second\r\nfirst\r\nthird", {8, 15}},
        // Into the moved text itself: nothing changes.
        {"onto itself", "one two three four", 4, 13, 5, 10, "one two three four", {4, 13}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        Fill(m_hFirst, c.strText, c.nStart, c.nEnd);
        m_dlg.m_nFirstChanges = 0;
        ASSERT_TRUE(Xdotool(DragMoves(ScreenAt(m_hFirst, c.nPress, 2), ScreenAt(m_hFirst, c.nDrop, 1))));
        EXPECT_EQ(Text(m_hFirst), c.strExpected);
        if (c.strExpected != c.strText) {
            EXPECT_EQ(Selection(m_hFirst), c.selected);
            EXPECT_GE(m_dlg.m_nFirstChanges, 1);
        } else {
            EXPECT_EQ(m_dlg.m_nFirstChanges, 0);
        }
    }
}

TEST_F(DragEdit, APressThatDoesNotDragPlacesTheCaretUnderAnArrow)
{
    Fill(m_hFirst, "alpha beta gamma", 6, 16);  // "beta gamma"
    m_dlg.m_nFirstChanges = 0;
    const HCURSOR hArrow = ::LoadCursor(nullptr, IDC_ARROW);

    ASSERT_TRUE(Xdotool("mousemove " + ScreenAt(m_hFirst, 2, 2)));
    EXPECT_NE(::GetCursor(), hArrow);  // the I-beam over unselected text
    ASSERT_TRUE(Xdotool("mousemove " + ScreenAt(m_hFirst, 12, 2)));
    EXPECT_EQ(::GetCursor(), hArrow);

    // Moving within the start rectangle is still a click.
    ASSERT_TRUE(Xdotool("mousedown 1 sleep 0.2 mousemove_relative 3 2 sleep 0.2 mouseup 1"));
    EXPECT_EQ(Selection(m_hFirst), std::make_pair(12, 12));
    EXPECT_EQ(Text(m_hFirst), "alpha beta gamma");
    EXPECT_EQ(m_dlg.m_nFirstChanges, 0);
    EXPECT_FALSE(m_dlg.m_first.IsDragging());
}

TEST_F(DragEdit, TakesTextThatAnotherProgramDrags)
{
    const struct {
        const char* pszName;
        const char* pszKeys;  // held while the button is released
        int nLimit;           // the area's text limit, 0 for none
        DWORD dwEffect;
        std::string strExpected;
    } cases[] = {
        {"a move by default", "", 0, DROPEFFECT_MOVE, "one new text two"},
        {"a copy with Ctrl", "keydown Control_L sleep 0.3 ", 0, DROPEFFECT_COPY, "one new text two"},
        // Moving what does not fit would lose the rest at the source.
        {"a full area answers a copy", "", 10, DROPEFFECT_COPY, "one newtwo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        Fill(m_hSecond, "one two", 0, 0);
        ::SendMessageA(m_hSecond, EM_SETLIMITTEXT, static_cast<WPARAM>(c.nLimit), 0);
        m_dlg.m_nSecondChanges = 0;
        // The block carries no terminating zero.
        CBlockDataObject data("new text ");
        const CScopedComPtr<IDropSource> source = CreateLeftButtonDropSource();

        DWORD dwEffect = DROPEFFECT_NONE;
        const HRESULT hr = DragFromElsewhere(&data, source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE,
                                             "sleep 0.5 mousemove " + ScreenAt(m_hSecond, 2, 2) + " sleep 0.3 mousemove " +
                                                 ScreenAt(m_hSecond, 4, 1) + " sleep 0.3 " + c.pszKeys + "mouseup 1" +
                                                 (*c.pszKeys ? " keyup Control_L" : ""),
                                             dwEffect);
        EXPECT_EQ(hr, DRAGDROP_S_DROP);
        EXPECT_EQ(dwEffect, c.dwEffect);
        EXPECT_EQ(Text(m_hSecond), c.strExpected);
        EXPECT_EQ(Selection(m_hSecond), std::make_pair(4, static_cast<int>(c.strExpected.size()) - 3));
        EXPECT_GE(m_dlg.m_nSecondChanges, 1);
        EXPECT_GE(data.GetDataCalls(), 1);
    }
}


// The left button's drop source that also notes, each time DoDragDrop asks
// it, where the thread's caret is and how far an area has scrolled.
class CWatchingDropSource final : public IDropSource {
public:
    struct CSample {
        HWND hCaretWindow;
        POINT caret;
        int nFirstLine;
    };

    explicit CWatchingDropSource(HWND hWatched) : m_hWatched(hWatched) {}
    virtual ~CWatchingDropSource() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
            *ppv = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL bEscape, DWORD grfKeyState) override
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(::GetCurrentThreadId(), &info);
        m_arrSamples.push_back({info.hwndCaret, {info.rcCaret.left, info.rcCaret.top},
                                static_cast<int>(::SendMessageA(m_hWatched, EM_GETFIRSTVISIBLELINE, 0, 0))});
        return m_rules->QueryContinueDrag(bEscape, grfKeyState);
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

    std::vector<CSample> m_arrSamples;

private:
    HWND m_hWatched;
    CScopedComPtr<IDropSource> m_rules = CreateLeftButtonDropSource();
};

TEST_F(DragEdit, TheCaretFollowsADragAndTheAreaScrollsNearItsBorder)
{
    std::string strLines;
    for (int i = 0; i < 40; ++i)
        strLines += "line " + std::to_string(10 + i) + "\r\n";
    Fill(m_hSecond, strLines, 0, 0);
    Fill(m_hFirst, "focus stays here", 0, 0);  // the area dragged over has no caret of its own
    const int nLineHeight = [&] {
        const LRESULT first = ::SendMessageA(m_hSecond, EM_POSFROMCHAR, 0, 0);
        const LRESULT second = ::SendMessageA(m_hSecond, EM_POSFROMCHAR, 9, 0);  // "line 10\r\n" is 9 bytes
        return static_cast<short>(HIWORD(second)) - static_cast<short>(HIWORD(first));
    }();
    ASSERT_GT(nLineHeight, 0);
    const LRESULT onSecondLine = ::SendMessageA(m_hSecond, EM_POSFROMCHAR, 9 + 2, 0);
    const POINT expectedCaret = {static_cast<short>(LOWORD(onSecondLine)), static_cast<short>(HIWORD(onSecondLine))};
    RECT client = {};
    ::GetClientRect(m_hSecond, &client);
    POINT nearBottom = {client.right / 2, client.bottom - nLineHeight / 2};
    ::ClientToScreen(m_hSecond, &nearBottom);

    CBlockDataObject data("dropped ");
    CWatchingDropSource source(m_hSecond);
    DWORD dwEffect = DROPEFFECT_NONE;
    EXPECT_EQ(DragFromElsewhere(&data, &source, DROPEFFECT_COPY,
                                "sleep 0.5 mousemove " + ScreenAt(m_hSecond, 9 + 2, 1) + " sleep 0.6 mousemove " +
                                    std::to_string(nearBottom.x) + " " + std::to_string(nearBottom.y) +
                                    " sleep 1.5 mousemove " + ScreenAt(m_hSecond, 9 + 2, 1) + " sleep 0.6 mouseup 1",
                                dwEffect),
              DRAGDROP_S_DROP);

    // Over the second line, before any scrolling: the caret at its third character.
    bool bCaretFollowed = false;
    int nScrolled = 0;
    for (const auto& sample : source.m_arrSamples) {
        if (sample.nFirstLine == 0 && sample.hCaretWindow == m_hSecond && sample.caret.x == expectedCaret.x &&
            sample.caret.y == expectedCaret.y)
            bCaretFollowed = true;
        nScrolled = std::max(nScrolled, sample.nFirstLine);
    }
    EXPECT_TRUE(bCaretFollowed) << source.m_arrSamples.size() << " samples";
    // Near the bottom border for 1.5 seconds: a line every tenth of a second at most.
    EXPECT_GE(nScrolled, 3);
    EXPECT_LE(nScrolled, 16);

    // The release came back to the same screen point, now over a later line.
    EXPECT_EQ(dwEffect, static_cast<DWORD>(DROPEFFECT_COPY));
    const int nFirstLine = static_cast<int>(::SendMessageA(m_hSecond, EM_GETFIRSTVISIBLELINE, 0, 0));
    const int nDropPos = 9 * (nFirstLine + 1) + 2;
    EXPECT_EQ(Text(m_hSecond).substr(static_cast<size_t>(nDropPos), 8), "dropped ");
    EXPECT_EQ(Selection(m_hSecond), std::make_pair(nDropPos, nDropPos + 8));
}

} // namespace
