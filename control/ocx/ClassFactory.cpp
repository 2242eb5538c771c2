#include "ClassFactory.h"

#include "KIVOCtrl.h"
#include "ServerModule.h"

#include <new>

CKIVOCtrlFactory::CKIVOCtrlFactory()
{
    kivoserver::AddObjectReference();
}

CKIVOCtrlFactory::~CKIVOCtrlFactory()
{
    kivoserver::ReleaseObjectReference();
}

STDMETHODIMP CKIVOCtrlFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CKIVOCtrlFactory::AddRef()
{
    return ++m_nReferences;
}

STDMETHODIMP_(ULONG) CKIVOCtrlFactory::Release()
{
    const ULONG n = --m_nReferences;
    if (n == 0)
        delete this;
    return n;
}

STDMETHODIMP CKIVOCtrlFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    CKIVOCtrl* pControl = new (std::nothrow) CKIVOCtrl();
    if (!pControl)
        return E_OUTOFMEMORY;
    const HRESULT hr = pControl->QueryInterface(riid, ppv);
    pControl->Release();
    return hr;
}

STDMETHODIMP CKIVOCtrlFactory::LockServer(BOOL fLock)
{
    if (fLock)
        kivoserver::AddObjectReference();
    else
        kivoserver::ReleaseObjectReference();
    return S_OK;
}
