#include "ClassFactory.h"

#include "KIVOCtrl.h"
#include "KIVOPropPage.h"
#include "ServerModule.h"

#include <new>

namespace {

template <class T>
HRESULT CreateObject(REFIID riid, void** ppv)
{
    T* pObject = new (std::nothrow) T();
    if (!pObject)
        return E_OUTOFMEMORY;
    const HRESULT hr = pObject->QueryInterface(riid, ppv);
    pObject->Release();
    return hr;
}

} // namespace

HRESULT CreateKIVOCtrl(REFIID riid, void** ppv)
{
    return CreateObject<CKIVOCtrl>(riid, ppv);
}

HRESULT CreateKIVOPropPage(REFIID riid, void** ppv)
{
    return CreateObject<CKIVOPropPage>(riid, ppv);
}

CClassFactory::CClassFactory(CreateFunction create) : m_create(create)
{
    kivoserver::AddObjectReference();
}

CClassFactory::~CClassFactory()
{
    kivoserver::ReleaseObjectReference();
}

STDMETHODIMP CClassFactory::QueryInterface(REFIID riid, void** ppv)
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

STDMETHODIMP_(ULONG) CClassFactory::AddRef()
{
    return ++m_nReferences;
}

STDMETHODIMP_(ULONG) CClassFactory::Release()
{
    const ULONG n = --m_nReferences;
    if (n == 0)
        delete this;
    return n;
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    try {
        return m_create(riid, ppv);
    } catch (...) {
        return E_FAIL;  // a constructor that threw leaves nothing behind
    }
}

STDMETHODIMP CClassFactory::LockServer(BOOL fLock)
{
    if (fLock)
        kivoserver::AddObjectReference();
    else
        kivoserver::ReleaseObjectReference();
    return S_OK;
}
