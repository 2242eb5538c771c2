// The control embedded in a dialog through the platform's control container,
// the way the tester shows it: created from its CLSID by the dialog's
// template, active in place in its own window, drawn in its colours and
// reachable through automation; a screenshot is kept as an artefact.
#include "OcxTestSupport.h"

#include "ActiveXHost.h"
#include "Dialog.h"
#include "DialogTemplate.h"
#include "GuiScript.h"
#include "ScreenCapture.h"

namespace {

using namespace ocxtest;
using lumbratest::CGuiScript;

constexpr WORD kControlId = 100;

CDialogTemplate HostTemplate()
{
    CDialogTemplate dlg("KIVO host", DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 160, 60);
    dlg.AddControl(CDialogTemplate::kStatic, "The control:", 101, SS_LEFT, 7, 7, 60, 9);
    dlg.AddControl(kActiveXHostClassName, kClsidKIVOCtrlText, kControlId, 0, 7, 20, 42, 18);
    dlg.AddControl(CDialogTemplate::kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 103, 39, 50, 14);
    return dlg;
}

class KIVOHostTest : public KIVOServerTest {};

TEST_F(KIVOHostTest, DialogHostsTheControlActiveInPlace)
{
    ASSERT_TRUE(InitActiveXHosting());
    // The module's start-up, with its progress window, runs before the
    // dialog, so that the script's first step meets the dialog.
    ASSERT_TRUE(CreateByProgId());
    CDialog dialog(HostTemplate());
    bool bChecked = false;
    CGuiScript script({
        [&](HWND hDialog) {
            HWND hContainer = GetDlgItem(hDialog, kControlId);
            ASSERT_NE(hContainer, nullptr);
            CScopedComPtr<IDispatch> control;
            ASSERT_EQ(GetHostedControl(hContainer, IID_IDispatch, control.ReceiveVoid()), S_OK);

            // Active in place: its own window, a visible child of the container, filling it.
            CScopedComPtr<IOleInPlaceObject> inPlace;
            ASSERT_EQ(control->QueryInterface(IID_IOleInPlaceObject, inPlace.ReceiveVoid()), S_OK);
            HWND hControl = nullptr;
            ASSERT_EQ(inPlace->GetWindow(&hControl), S_OK);
            EXPECT_EQ(GetParent(hControl), hContainer);
            EXPECT_TRUE(IsWindowVisible(hControl));
            RECT container = {}, own = {};
            GetClientRect(hContainer, &container);
            GetClientRect(hControl, &own);
            EXPECT_EQ(own.right, container.right);
            EXPECT_EQ(own.bottom, container.bottom);

            // The hosted control converts like any other instance.
            std::wstring out;
            EXPECT_EQ(ConvertText(control.Get(), L"\u4E2D\u56FD", 0, 1, out), S_OK);
            EXPECT_EQ(out, L"\u4E2D\u570B");

            // Colours set through automation show at once.
            VARIANT red;
            VariantInit(&red);
            red.vt = VT_I4;
            red.lVal = RGB(255, 0, 0);
            DISPID put = DISPID_PROPERTYPUT;
            DISPPARAMS params = {&red, &put, 1, 1};
            ASSERT_EQ(control->Invoke(DispIdBackColor, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                                      nullptr),
                      S_OK);
            UpdateWindow(hControl);

            std::vector<BYTE> pixels;
            int cx = 0, cy = 0;
            ASSERT_TRUE(dialogtest::SaveWindowBitmap(hDialog, dialogtest::ArtefactFolder() + "\\kivo-hosted.bmp",
                                                     pixels, cx, cy));
            RECT shown = {};
            GetWindowRect(hControl, &shown);
            RECT frame = {};
            GetWindowRect(hDialog, &frame);
            const int x = shown.right - 2 - frame.left, y = shown.bottom - 2 - frame.top;
            EXPECT_EQ(dialogtest::PixelOf(pixels, cx, cy, x, y), RGB(255, 0, 0));
            bChecked = true;
            PostMessageW(hDialog, WM_COMMAND, IDOK, 0);
        },
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(bChecked);
    EXPECT_FALSE(script.Forced());
}

} // namespace
