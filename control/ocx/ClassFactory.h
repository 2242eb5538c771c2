// The class factory of CKIVOCtrl. Creating a control is refused (before any
// object exists) when the module's start-up fails.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <atomic>

class CKIVOCtrlFactory final : public IClassFactory {
public:
    CKIVOCtrlFactory();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL fLock) override;

private:
    ~CKIVOCtrlFactory();

    std::atomic<ULONG> m_nReferences{1};
};
