// CKIVOCtrl drawn by its container (IViewObject2): the face in the bounds the
// container gives, in any device context, for the content aspect only.
#include "KIVOCtrl.h"

STDMETHODIMP CKIVOCtrl::Draw(DWORD dwDrawAspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdcDraw,
                             LPCRECTL lprcBounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (dwDrawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!hdcDraw)
        return E_INVALIDARG;
    RECT bounds;
    if (lprcBounds) {
        bounds = {lprcBounds->left, lprcBounds->top, lprcBounds->right, lprcBounds->bottom};
    } else {
        // Only an object active in place may be drawn without bounds: into
        // its own window's rectangle.
        if (!m_window.Get())
            return E_INVALIDARG;
        GetClientRect(m_window.Get(), &bounds);
    }
    DrawControlFace(hdcDraw, bounds, m_properties.backColor, m_properties.foreColor);
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** ppColorSet)
{
    if (!ppColorSet)
        return E_POINTER;
    *ppColorSet = nullptr;
    return S_FALSE;  // no particular palette
}

STDMETHODIMP CKIVOCtrl::Freeze(DWORD, LONG, void*, DWORD* pdwFreeze)
{
    if (pdwFreeze)
        *pdwFreeze = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::Unfreeze(DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink)
{
    if (pAdvSink)
        pAdvSink->AddRef();
    if (m_pViewSink)
        m_pViewSink->Release();
    m_pViewSink = pAdvSink;
    m_viewAdviseAspects = aspects;
    m_viewAdviseFlags = advf;
    if (m_pViewSink && (advf & ADVF_PRIMEFIRST))
        NotifyViewChange();
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink)
{
    if (pAspects)
        *pAspects = m_viewAdviseAspects;
    if (pAdvf)
        *pAdvf = m_viewAdviseFlags;
    if (ppAdvSink) {
        *ppAdvSink = m_pViewSink;
        if (m_pViewSink)
            m_pViewSink->AddRef();
    }
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetExtent(DWORD dwDrawAspect, LONG, DVTARGETDEVICE*, LPSIZEL lpsizel)
{
    return GetExtent(dwDrawAspect, lpsizel);
}
