// CKIVOCtrl: the KIVO control object, its automation interface _DKIVO
// (IDispatch with a fixed member table) and its class information.
//
// What containers need to site, draw and persist the control (IOleObject and
// the other OLE control interfaces) is not offered yet: QueryInterface
// answers E_NOINTERFACE for them.
#pragma once

#include <ocidl.h>
#include <oaidl.h>
#include <windows.h>

#include <atomic>
#include <string>

class CKIVOCtrl final : public IDispatch, public IProvideClassInfo2 {
public:
    CKIVOCtrl();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** ppTI) override;
    STDMETHODIMP GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

private:
    ~CKIVOCtrl();

    HRESULT InvokeCaption(WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult, UINT* puArgErr);
    HRESULT InvokeManagement(DISPPARAMS* pDispParams, VARIANT* pVarResult, UINT* puArgErr);
    HRESULT InvokeCodeTransfer(DISPPARAMS* pDispParams, VARIANT* pVarResult, UINT* puArgErr);
    HRESULT InvokeConvertText(DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                              UINT* puArgErr);

    std::atomic<ULONG> m_nReferences{1};
    std::wstring m_strKIVOCaption;
};
