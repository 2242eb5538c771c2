// lumbra.exe [FOLDER]: the Lumbra main window on the installation in FOLDER,
// or as LumbraFolder.h finds one.
#include "LumbraFolder.h"
#include "LumbraWindow.h"

#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShow)
{
    const std::string strArgument = __argc > 1 ? __argv[1] : "";
    CLumbraFolder folder;
    std::string strError;
    if (!FindLumbraFolder(strArgument, folder, strError)) {
        ::MessageBoxA(nullptr, strError.c_str(), "Lumbra", MB_OK | MB_ICONSTOP);
        return 2;
    }
    CLumbraWindow window(folder);
    if (!window.Create(hInstance, nShow))
        return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
