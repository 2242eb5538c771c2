#include "ScopedHandles.h"

CWindowDC::CWindowDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}

CWindowDC::~CWindowDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, m_hDC);
}

CSelectObject::CSelectObject(HDC hDC, HGDIOBJ hObject)
    : m_hDC(hDC), m_hOld(hDC && hObject ? ::SelectObject(hDC, hObject) : nullptr)
{
}

CSelectObject::~CSelectObject()
{
    if (Succeeded())
        ::SelectObject(m_hDC, m_hOld);
}
