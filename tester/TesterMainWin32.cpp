// kivotester.exe: runs the tester dialog, or hands over to the control panel
// when the dialog cannot be made because the control is missing.
#include "ActiveXHost.h"
#include "ControlPanelStart.h"
#include "PathUtil.h"
#include "ScopedCom.h"
#include "TesterDlg.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CScopedOleInit ole;
    // Without a container the template's control window cannot be made and
    // the dialog fails below, like a control that is not registered.
    InitActiveXHosting();
    const INT_PTR nResult = CTesterDlg().DoModal(nullptr);
    if (nResult == IDOK || nResult == IDCANCEL)
        return 0;
    StartControlPanel(GetModulePath(ModulePathFolder));
    return 0;
}
