// The IUnknown of a small COM object of the program's own that offers one
// interface (a drop target, a drop source, a data object): made with new,
// given out with one reference, deleted when the last one goes.
//
//   class CDropSource final : public CComObject<IDropSource, &IID_IDropSource> { ...IDropSource... };
#pragma once

#include <objbase.h>
#include <windows.h>

template <class TInterface, const IID* pInterfaceId>
class CComObject : public TInterface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, *pInterfaceId)) {
            *ppv = static_cast<TInterface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG nRefs = ::InterlockedDecrement(&m_nRefs);
        if (nRefs == 0)
            delete this;
        return static_cast<ULONG>(nRefs);
    }

protected:
    CComObject() = default;
    virtual ~CComObject() = default;

private:
    LONG m_nRefs = 1;
};
