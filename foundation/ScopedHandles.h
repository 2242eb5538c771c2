// Owners of GDI objects and device contexts: each gives its object back when
// it goes out of scope, so no early return leaks one.
//
// (Kernel handles, registry keys and COM pointers have their holders in
// ScopedKernelHandles.h, ScopedRegKey.h and ScopedCom.h.)
#pragma once

#include <windows.h>

// A GDI object made by the program (font, bitmap, brush, pen, region),
// deleted with DeleteObject. Move-only.
template <class T>
class CGdiObjectHandle {
public:
    CGdiObjectHandle() = default;
    explicit CGdiObjectHandle(T hObject) : m_hObject(hObject) {}
    ~CGdiObjectHandle() { Reset(); }
    CGdiObjectHandle(CGdiObjectHandle&& other) noexcept : m_hObject(other.Release()) {}
    CGdiObjectHandle& operator=(CGdiObjectHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CGdiObjectHandle(const CGdiObjectHandle&) = delete;
    CGdiObjectHandle& operator=(const CGdiObjectHandle&) = delete;

    T Get() const { return m_hObject; }
    explicit operator bool() const { return m_hObject != nullptr; }

    void Reset(T hObject = nullptr)
    {
        if (m_hObject != nullptr)
            ::DeleteObject(m_hObject);
        m_hObject = hObject;
    }
    T Release()
    {
        T hObject = m_hObject;
        m_hObject = nullptr;
        return hObject;
    }

private:
    T m_hObject = nullptr;
};

using CFontHandle = CGdiObjectHandle<HFONT>;
using CBitmapHandle = CGdiObjectHandle<HBITMAP>;
using CBrushHandle = CGdiObjectHandle<HBRUSH>;
using CPenHandle = CGdiObjectHandle<HPEN>;

// The device context of a window (GetDC), released with ReleaseDC.
class CWindowDC {
public:
    explicit CWindowDC(HWND hWnd);
    ~CWindowDC();
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// Selects an object into a device context and selects the previous one back
// on exit, so that the object can be deleted afterwards.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ hObject);
    ~CSelectObject();
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

    bool Succeeded() const { return m_hDC != nullptr && m_hOld != nullptr && m_hOld != HGDI_ERROR; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};
