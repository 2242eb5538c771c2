// Holders the dialog layer needs beside those of ScopedHandles.h: memory
// device contexts and menus. Each frees its handle with the one function that
// matches how it was made. Move-only.
#pragma once

#include <windows.h>

#include <utility>

// A device context from CreateCompatibleDC, freed with DeleteDC. Select
// objects into it only through CSelectObject, so that they are selected out
// again before either is freed.
// The format of a top-down 32-bit DIB section of cx by cy pixels.
inline BITMAPINFO TopDown32(int cx, int cy)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

class CMemoryDC {
public:
    CMemoryDC() = default;
    // A memory DC compatible with `hReference` (the screen when null).
    explicit CMemoryDC(HDC hReference) : m_hDC(::CreateCompatibleDC(hReference)) {}
    ~CMemoryDC() { Reset(); }
    CMemoryDC(CMemoryDC&& other) noexcept : m_hDC(std::exchange(other.m_hDC, nullptr)) {}
    CMemoryDC& operator=(CMemoryDC&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_hDC = std::exchange(other.m_hDC, nullptr);
        }
        return *this;
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }
    void Reset()
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
        m_hDC = nullptr;
    }

private:
    HDC m_hDC = nullptr;
};

// A menu that no window holds, freed with DestroyMenu. A menu given to a
// window with SetMenu belongs to that window: Release() it from here.
class CMenuHandle {
public:
    CMenuHandle() = default;
    explicit CMenuHandle(HMENU hMenu) : m_hMenu(hMenu) {}
    ~CMenuHandle() { Reset(); }
    CMenuHandle(CMenuHandle&& other) noexcept : m_hMenu(other.Release()) {}
    CMenuHandle& operator=(CMenuHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CMenuHandle(const CMenuHandle&) = delete;
    CMenuHandle& operator=(const CMenuHandle&) = delete;

    HMENU Get() const { return m_hMenu; }
    explicit operator bool() const { return m_hMenu != nullptr; }
    void Reset(HMENU hMenu = nullptr)
    {
        if (m_hMenu && m_hMenu != hMenu)
            ::DestroyMenu(m_hMenu);
        m_hMenu = hMenu;
    }
    HMENU Release() { return std::exchange(m_hMenu, nullptr); }

private:
    HMENU m_hMenu = nullptr;
};
