// kivocp.exe: the control panel program. Everything happens in its
// application object; the process ends when that is done.
#include "KIVOCPApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCommandLine, int)
{
    return CKIVOCPApp::Instance().Run(pszCommandLine ? pszCommandLine : "");
}
