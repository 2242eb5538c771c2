// The module's class factories: one IClassFactory over a creation function,
// instantiated for the control and for its property page.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <atomic>

class CClassFactory final : public IClassFactory {
public:
    // Makes a new object and queries it for `riid`.
    using CreateFunction = HRESULT (*)(REFIID riid, void** ppv);

    explicit CClassFactory(CreateFunction create);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL fLock) override;

private:
    ~CClassFactory();

    std::atomic<ULONG> m_nReferences{1};
    CreateFunction m_create;
};

HRESULT CreateKIVOCtrl(REFIID riid, void** ppv);
HRESULT CreateKIVOPropPage(REFIID riid, void** ppv);
