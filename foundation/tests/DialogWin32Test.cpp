// CDialog against the real dialog manager: modal and modeless runs driven by
// timers and window messages, the typed handlers, message routing for host
// loops and the ownership of the window.
#include "Dialog.h"
#include "DialogTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace dialogtest;

namespace {

constexpr UINT WM_TEST_ASK = WM_APP + 7;

// Writes down what reaches each handler.
class CRecordingDialog : public CDialog {
public:
    CRecordingDialog() : CDialog(MakeTestTemplate()) {}

    std::vector<std::string> m_arrEvents;
    int m_nTimerTicks = 0;
    int m_nCloseOnTick = 0;          // post this on the given tick ...
    UINT m_nCloseMessage = 0;        // ... (WM_COMMAND IDOK, WM_CLOSE ...)
    WPARAM m_closeWParam = 0;
    INT_PTR m_nEndInInit = -2;       // EndDialog inside OnInitDialog unless -2
    bool m_bThrowInInit = false;
    bool m_bThrowOnAsk = false;
    int m_nLastCommandId = 0, m_nLastCommandCode = -1;
    HWND m_hLastCommandCtl = nullptr;
    CBrushHandle m_brushStatic{::CreateSolidBrush(RGB(1, 2, 3))};
    std::vector<UINT> m_arrPreTranslated;
    UINT m_nSwallowKey = 0;
    INT_PTR m_nEndOnSwallow = 0;

protected:
    bool OnInitDialog() override
    {
        m_arrEvents.push_back("init");
        if (m_bThrowInInit)
            throw std::runtime_error("init failed");
        if (m_nEndInInit != -2)
            EndDialog(m_nEndInInit);
        if (m_nCloseOnTick)
            SetTimer(1, 10);
        return true;
    }
    bool OnCommand(int nId, int nCode, HWND hCtl) override
    {
        // Button clicks, menus and accelerators; the edit's focus and change
        // notifications are not what these tests look at.
        if (nCode <= 1) {
            m_arrEvents.push_back("command " + std::to_string(nId));
            m_nLastCommandId = nId;
            m_nLastCommandCode = nCode;
            m_hLastCommandCtl = hCtl;
        }
        return CDialog::OnCommand(nId, nCode, hCtl);
    }
    void OnOK() override
    {
        m_arrEvents.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        m_arrEvents.push_back("cancel");
        CDialog::OnCancel();
    }
    void OnTimer(UINT_PTR nIdEvent) override
    {
        if (nIdEvent != 1)
            return;
        if (++m_nTimerTicks == m_nCloseOnTick) {
            KillTimer(1);
            m_arrEvents.push_back("timer");
            ::PostMessageA(GetHwnd(), m_nCloseMessage, m_closeWParam, 0);
        }
    }
    void OnDestroy() override { m_arrEvents.push_back("destroy"); }
    bool OnNotify(int nId, NMHDR& header, LRESULT& lResult) override
    {
        if (nId != IDC_TEST_LIST || header.code != 77)
            return false;
        lResult = 4242;
        return true;
    }
    HBRUSH OnCtlColor(HDC, HWND hCtl, UINT nCtlType) override
    {
        return nCtlType == CTLCOLOR_STATIC && hCtl == GetItem(IDC_TEST_STATIC) ? m_brushStatic.Get() : nullptr;
    }
    bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM, LRESULT& lResult) override
    {
        if (uMsg != WM_TEST_ASK)
            return false;
        if (m_bThrowOnAsk)
            throw std::runtime_error("handler failed");
        lResult = static_cast<LRESULT>(wParam) * 2;
        return true;
    }
    bool PreTranslateMessage(MSG& msg) override
    {
        if (msg.message == WM_KEYDOWN) {
            m_arrPreTranslated.push_back(static_cast<UINT>(msg.wParam));
            if (msg.wParam == m_nSwallowKey) {
                EndDialog(m_nEndOnSwallow);
                return true;
            }
        }
        return false;
    }
};

using Events = std::vector<std::string>;

} // namespace

TEST(DialogModal, TimerPostsOkAndTheRunReturnsIt)
{
    CRecordingDialog dialog;
    dialog.m_nCloseOnTick = 3;
    dialog.m_nCloseMessage = WM_COMMAND;
    dialog.m_closeWParam = MAKEWPARAM(IDOK, BN_CLICKED);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nTimerTicks, 3);
    EXPECT_EQ(dialog.m_arrEvents, (Events{"init", "timer", "command 1", "ok", "destroy"}));
    EXPECT_EQ(dialog.m_nLastCommandCode, BN_CLICKED);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(dialog.GetResult(), IDOK);
}

TEST(DialogModal, CloseBoxBecomesCancel)
{
    CRecordingDialog dialog;
    dialog.m_nCloseOnTick = 1;
    dialog.m_nCloseMessage = WM_CLOSE;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_arrEvents, (Events{"init", "timer", "command 2", "cancel", "destroy"}));
}

TEST(DialogModal, EndDialogDuringInitialisationAndFailures)
{
    {
        CRecordingDialog dialog;
        dialog.m_nEndInInit = 0;  // a real result of 0 is not mistaken for a failure
        EXPECT_EQ(dialog.DoModal(), 0);
    }
    {
        CRecordingDialog dialog;
        dialog.m_bThrowInInit = true;
        EXPECT_EQ(dialog.DoModal(), -1);
        EXPECT_FALSE(dialog.IsOpen());
    }
    {
        CDialog missing(IDD_TEST_MISSING);
        EXPECT_EQ(missing.DoModal(), -1);
        EXPECT_FALSE(missing.Create());
    }
    {
        CRecordingDialog dialog;
        dialog.m_nEndInInit = 5;
        EXPECT_FALSE(dialog.Create());
        EXPECT_EQ(dialog.GetResult(), 5);
        EXPECT_EQ(dialog.m_arrEvents, (Events{"init", "destroy"}));
    }
}

TEST(DialogModal, PreTranslateMessageSeesTheModalLoop)
{
    // The dialog manager's own loop runs here; accelerators must still work.
    struct CPoster : CRecordingDialog {
        bool OnInitDialog() override
        {
            CRecordingDialog::OnInitDialog();
            ::PostMessageA(GetItem(IDC_TEST_EDIT), WM_KEYDOWN, 'A', 0);
            ::PostMessageA(GetItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_F7, 0);
            return true;
        }
    } poster;
    poster.m_nSwallowKey = VK_F7;
    poster.m_nEndOnSwallow = 77;
    EXPECT_EQ(poster.DoModal(), 77);
    EXPECT_EQ(poster.m_arrPreTranslated, (std::vector<UINT>{'A', VK_F7}));
}

TEST(DialogModeless, ClickReachesOnCommandWithItsArguments)
{
    CRecordingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ASSERT_TRUE(dialog.IsOpen());
    EXPECT_EQ(CDialog::FromHandle(dialog.GetHwnd()), &dialog);
    dialog.Button(IDC_TEST_BUTTON).Click();
    EXPECT_EQ(dialog.m_nLastCommandId, IDC_TEST_BUTTON);
    EXPECT_EQ(dialog.m_nLastCommandCode, BN_CLICKED);
    EXPECT_EQ(dialog.m_hLastCommandCtl, dialog.GetItem(IDC_TEST_BUTTON));
    EXPECT_TRUE(dialog.IsOpen());

    dialog.Button(IDOK).Click();
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(dialog.GetResult(), IDOK);
    EXPECT_EQ(dialog.m_arrEvents.back(), "destroy");
    // Ending twice, or running a closed dialog's helpers, is harmless.
    dialog.EndDialog(3);
    EXPECT_EQ(dialog.GetResult(), IDOK);
    EXPECT_EQ(dialog.GetItem(IDC_TEST_EDIT), nullptr);
    EXPECT_FALSE(dialog.SetTimer(1, 10));
}

TEST(DialogModeless, AnswersTravelBackThroughTheTypedHandlers)
{
    CRecordingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    const HWND hDlg = dialog.GetHwnd();

    NMHDR header = {dialog.GetItem(IDC_TEST_LIST), IDC_TEST_LIST, 77};
    EXPECT_EQ(::SendMessageA(hDlg, WM_NOTIFY, IDC_TEST_LIST, reinterpret_cast<LPARAM>(&header)), 4242);
    header.code = 78;  // not handled: the dialog manager's answer
    EXPECT_EQ(::SendMessageA(hDlg, WM_NOTIFY, IDC_TEST_LIST, reinterpret_cast<LPARAM>(&header)), 0);

    CWindowDC dc(dialog.GetItem(IDC_TEST_STATIC));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(::SendMessageA(hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                                                      reinterpret_cast<LPARAM>(dialog.GetItem(IDC_TEST_STATIC)))),
              dialog.m_brushStatic.Get());
    // Another control gets the default brush, not ours.
    EXPECT_NE(reinterpret_cast<HBRUSH>(::SendMessageA(hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                                                      reinterpret_cast<LPARAM>(dialog.GetItem(IDC_TEST_CHECK)))),
              dialog.m_brushStatic.Get());

    EXPECT_EQ(::SendMessageA(hDlg, WM_TEST_ASK, 21, 0), 42);
    // A throwing handler leaves the window procedure quietly and the dialog alive.
    dialog.m_bThrowOnAsk = true;
    EXPECT_EQ(::SendMessageA(hDlg, WM_TEST_ASK, 21, 0), 0);
    EXPECT_TRUE(dialog.IsOpen());
    dialog.EndDialog(IDCANCEL);
}

TEST(DialogModeless, HostLoopRoutesKeysThroughTheDialog)
{
    CRecordingDialog dialog;
    dialog.m_nSwallowKey = VK_F7;
    dialog.m_nEndOnSwallow = 55;
    ASSERT_TRUE(dialog.Create());
    const HWND hEdit = dialog.GetItem(IDC_TEST_EDIT);
    // Escape does something only through IsDialogMessage: it becomes IDCANCEL.
    ::PostMessageA(hEdit, WM_KEYDOWN, 'Q', 0);
    ::PostMessageA(hEdit, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !dialog.IsOpen(); }));
    EXPECT_EQ(dialog.GetResult(), IDCANCEL);
    EXPECT_EQ(dialog.m_arrPreTranslated, (std::vector<UINT>{'Q', VK_ESCAPE}));

    // PreTranslateMessage may swallow a key before the dialog keys see it.
    ASSERT_TRUE(dialog.Create());
    ::PostMessageA(dialog.GetItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_F7, 0);
    EXPECT_TRUE(PumpUntil([&] { return !dialog.IsOpen(); }));
    EXPECT_EQ(dialog.GetResult(), 55);

    // Messages of other windows are not the dialog layer's.
    MSG foreign = {};
    foreign.hwnd = ::GetDesktopWindow();
    foreign.message = WM_KEYDOWN;
    EXPECT_FALSE(CDialog::RouteDialogMessage(foreign));
}

TEST(DialogModeless, TimersTickUntilKilled)
{
    struct CCounter : CDialog {
        CCounter() : CDialog(MakeTestTemplate()) {}
        int m_nTicks = 0;
        void OnTimer(UINT_PTR nId) override
        {
            if (nId == 9 && ++m_nTicks == 2)
                KillTimer(9);
        }
    } counter;
    ASSERT_TRUE(counter.Create());
    ASSERT_TRUE(counter.SetTimer(9, 5));
    EXPECT_TRUE(PumpUntil([&] { return counter.m_nTicks == 2; }));
    PumpFor(100);
    EXPECT_EQ(counter.m_nTicks, 2);
    EXPECT_FALSE(counter.KillTimer(9));  // already gone
}

TEST(DialogModeless, TheObjectOwnsItsWindow)
{
    HWND hWnd = nullptr;
    std::vector<std::string> events;
    {
        CRecordingDialog dialog;
        ASSERT_TRUE(dialog.Create());
        hWnd = dialog.GetHwnd();
        ASSERT_TRUE(::IsWindow(hWnd));
        EXPECT_FALSE(dialog.Create());  // one window per object
        events = dialog.m_arrEvents;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CDialog::FromHandle(hWnd), nullptr);
    // The derived object was gone: none of its handlers ran for the destruction.
    EXPECT_EQ(events, (Events{"init"}));
}

TEST(DialogModeless, SelfDeletingDialogEndsInOnFinalMessage)
{
    struct CSelfDeleting : CDialog {
        explicit CSelfDeleting(bool& deleted) : CDialog(MakeTestTemplate()), m_deleted(deleted) {}
        ~CSelfDeleting() override { m_deleted = true; }
        void OnFinalMessage() override { delete this; }
        bool& m_deleted;
    };
    bool deleted = false;
    auto* dialog = new CSelfDeleting(deleted);
    ASSERT_TRUE(dialog->Create());
    // The Close box posts IDCANCEL; the host loop delivers it.
    ::SendMessageA(dialog->GetHwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return deleted; }));
}
