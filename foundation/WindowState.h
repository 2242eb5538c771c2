// Small helpers on window state. Windows only (WindowStateWin32.cpp).
#pragma once

#include <windows.h>

// Enables or disables the window only when its state differs, so that timer
// handlers refreshing a dialog every second do not make it repaint and flicker.
// A null window is left alone.
void EnableIfChanged(HWND hWindow, bool bEnable);
