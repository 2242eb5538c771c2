#include "WindowState.h"

void EnableIfChanged(HWND hWindow, bool bEnable)
{
    if (hWindow == nullptr || !IsWindow(hWindow))
        return;
    if ((IsWindowEnabled(hWindow) != FALSE) != bEnable)
        EnableWindow(hWindow, bEnable ? TRUE : FALSE);
}
