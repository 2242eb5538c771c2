// Screenshots of test windows: the folder they go to, and a 24-bit copy of a
// window as it stands on screen, saved as a BMP file and kept for reading
// pixels back.
#pragma once

#include "DialogHandles.h"
#include "ScopedHandles.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace dialogtest {

// $KIVO_ARTEFACTS, else "artefacts" in the current folder; created on demand.
inline std::string ArtefactFolder()
{
    const char* folder = std::getenv("KIVO_ARTEFACTS");
    std::string path = folder && *folder ? folder : "artefacts";
    ::CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

// The window as it stands on screen, 24 bits per pixel, bottom-up.
inline bool SaveWindowBitmap(HWND hWnd, const std::string& path, std::vector<BYTE>& pixels, int& cx, int& cy)
{
    RECT bounds = {};
    ::GetWindowRect(hWnd, &bounds);
    cx = bounds.right - bounds.left;
    cy = bounds.bottom - bounds.top;
    HDC hWindowDC = ::GetWindowDC(hWnd);
    CMemoryDC copy(hWindowDC);
    CBitmapHandle bitmap(::CreateCompatibleBitmap(hWindowDC, cx, cy));
    {
        CSelectObject select(copy.Get(), bitmap.Get());
        ::BitBlt(copy.Get(), 0, 0, cx, cy, hWindowDC, 0, 0, SRCCOPY);
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (cx * 3 + 3) & ~3;
    pixels.assign(static_cast<size_t>(stride) * cy, 0);
    const int rows = ::GetDIBits(hWindowDC, bitmap.Get(), 0, cy, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(hWnd, hWindowDC);
    if (rows != cy)
        return false;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    info.bmiHeader.biSizeImage = static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                         std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                         std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return std::fclose(out) == 0 && written;
}

inline COLORREF PixelOf(const std::vector<BYTE>& pixels, int cx, int cy, int x, int y)
{
    const int stride = (cx * 3 + 3) & ~3;
    const BYTE* p = &pixels[static_cast<size_t>(cy - 1 - y) * stride + x * 3];
    return RGB(p[2], p[1], p[0]);
}

} // namespace dialogtest
