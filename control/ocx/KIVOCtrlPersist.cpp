// CKIVOCtrl saved and restored by its container: IPersistStreamInit and
// IPersistPropertyBag over the one property exchange of CKIVOProperties.
// A failed load leaves the control as it was.
#include "KIVOCtrl.h"

#include "KIVOGuids.h"

#include <olectl.h>

#include <new>

STDMETHODIMP CKIVOCtrl::GetClassID(CLSID* pClassID)
{
    if (!pClassID)
        return E_POINTER;
    *pClassID = CLSID_KIVOCtrl;
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::IsDirty()
{
    return m_bModified ? S_OK : S_FALSE;
}

STDMETHODIMP CKIVOCtrl::InitNew()
{
    try {
        ResetProperties();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP CKIVOCtrl::Load(LPSTREAM pStm)
{
    if (!pStm)
        return E_POINTER;
    try {
        CKIVOProperties loaded = m_properties;
        const HRESULT hr = loaded.Load(pStm);
        if (SUCCEEDED(hr))
            AdoptLoadedProperties(std::move(loaded));
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP CKIVOCtrl::Save(LPSTREAM pStm, BOOL fClearDirty)
{
    if (!pStm)
        return E_POINTER;
    const HRESULT hr = m_properties.Save(pStm);
    if (SUCCEEDED(hr) && fClearDirty)
        m_bModified = false;
    return hr;
}

STDMETHODIMP CKIVOCtrl::GetSizeMax(ULARGE_INTEGER* pCbSize)
{
    if (!pCbSize)
        return E_POINTER;
    pCbSize->QuadPart = m_properties.StreamSize();
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog)
{
    if (!pPropBag)
        return E_POINTER;
    try {
        // Values the bag lacks take their defaults, not what the object held.
        CKIVOProperties loaded =
            CKIVOProperties::Defaults(AmbientColor(DISPID_AMBIENT_BACKCOLOR, kSystemWindowColor),
                                      AmbientColor(DISPID_AMBIENT_FORECOLOR, kSystemWindowTextColor));
        const HRESULT hr = loaded.Load(pPropBag, pErrorLog);
        if (SUCCEEDED(hr))
            AdoptLoadedProperties(std::move(loaded));
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP CKIVOCtrl::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL)
{
    if (!pPropBag)
        return E_POINTER;
    const HRESULT hr = m_properties.Save(pPropBag);
    if (SUCCEEDED(hr) && fClearDirty)
        m_bModified = false;
    return hr;
}

void CKIVOCtrl::AdoptLoadedProperties(CKIVOProperties&& loaded)
{
    m_properties = std::move(loaded);
    m_bModified = false;
    m_window.Invalidate();
}
