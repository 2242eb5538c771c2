// A host whose control cannot start: Lumbra's folder is missing and the user
// cancels the Mini Control Panel. The control is then refused to every
// creation in the process, without asking again, and the host goes on.
// (Its own executable: the module starts once per process.)
#include "OcxTestSupport.h"

#include "GuiScript.h"

namespace {

using namespace ocxtest;

class KIVOStartupTest : public KIVOServerTest {
protected:
    static void SetUpTestSuite()
    {
        KIVOServerTest::SetUpTestSuite();
        PointLumbraAt("Z:\\no\\such\\lumbra");
    }
    static void TearDownTestSuite()
    {
        PointLumbraAt(lumbratest::LumbraData());
        KIVOServerTest::TearDownTestSuite();
    }
    static void PointLumbraAt(const std::string& folder)
    {
        ASSERT_TRUE(settingstest::PutString(HKEY_LOCAL_MACHINE, ocxtest::kLumbraKey, "Lumbra Root Folder", folder));
    }
};

TEST_F(KIVOStartupTest, CancelledConfigurationRefusesTheControlForTheWholeProcess)
{
    int nDialogs = 0;
    const lumbratest::CGuiScript::Step cancel = [&](HWND hDialog) {
        ++nDialogs;
        PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0);
    };
    CScopedComPtr<IDispatch> control;
    {
        lumbratest::CGuiScript script({cancel, cancel, cancel});
        EXPECT_TRUE(FAILED(CoCreateInstance(CLSID_KIVOCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                            control.ReceiveVoid())));
        EXPECT_FALSE(script.Forced());
    }
    EXPECT_FALSE(control);
    EXPECT_GE(nDialogs, 1);  // the Mini Control Panel asked for the folder

    // Asked again, the process gets the same answer at once, with no window.
    const int nShown = nDialogs;
    lumbratest::CGuiScript script({cancel});
    EXPECT_TRUE(FAILED(CoCreateInstance(CLSID_KIVOCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                        control.ReceiveVoid())));
    EXPECT_EQ(nDialogs, nShown);
    CLSID clsid = {};
    EXPECT_EQ(CLSIDFromProgID(L"KIVO.KIVOCtrl.1", &clsid), S_OK);  // still registered, only refused
}

} // namespace
