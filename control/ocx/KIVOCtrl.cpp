#include "KIVOCtrl.h"

#include "CodeTransfer.h"
#include "KIVOApp.h"
#include "KIVOGuids.h"
#include "ServerModule.h"
#include "TextConversion.h"

#include <olectl.h>

#include <new>
#include <string>

namespace {

struct MemberName {
    const wchar_t* name;
    DISPID id;
};
const MemberName kMembers[] = {
    {L"KIVOCaption", DispIdKIVOCaption},
    {L"Management", DispIdManagement},
    {L"CodeTransfer", DispIdCodeTransfer},
    {L"ConvertText", DispIdConvertText},
    {L"BackColor", DispIdBackColor},
    {L"ForeColor", DispIdForeColor},
};

// An in-process host passes the arrays of Management and CodeTransfer as a
// pointer to their first element (VT_I2|VT_BYREF); the array's length does
// not travel. CodeTransfer may write as many elements as its 16-bit result
// can count, so a host's CharCode array must hold kMaxTransferElements
// (32,767) elements, and ControlCodes three; Management reads pCommand[1]
// only for operation 0.
short* ShortArrayArgument(const VARIANT& argument)
{
    return argument.vt == (VT_I2 | VT_BYREF) ? argument.piVal : nullptr;
}

HRESULT ShortResult(VARIANT* pVarResult, short nValue)
{
    if (pVarResult) {
        VariantInit(pVarResult);
        pVarResult->vt = VT_I2;
        pVarResult->iVal = nValue;
    }
    return S_OK;
}

HRESULT CheckMethodCall(const DISPPARAMS* pDispParams, UINT nExpected)
{
    if (!pDispParams || (pDispParams->cArgs > 0 && !pDispParams->rgvarg))
        return E_INVALIDARG;
    if (pDispParams->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    return pDispParams->cArgs == nExpected ? S_OK : DISP_E_BADPARAMCOUNT;
}

// A property put carries its one value as the named argument DISPID_PROPERTYPUT.
HRESULT CheckPropertyPut(const DISPPARAMS* pDispParams)
{
    if (pDispParams->cArgs != 1 || !pDispParams->rgvarg)
        return DISP_E_BADPARAMCOUNT;
    if (pDispParams->cNamedArgs != 1 || !pDispParams->rgdispidNamedArgs ||
        pDispParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTOPTIONAL;
    return S_OK;
}

// Argument `index` (in the caller's order) as a value of type `vt`.
HRESULT CoerceArgument(const DISPPARAMS* pDispParams, UINT index, VARTYPE vt, VARIANT& value, UINT* puArgErr)
{
    const UINT position = pDispParams->cArgs - 1 - index;  // arguments arrive last first
    VariantInit(&value);
    const VARIANT& argument = pDispParams->rgvarg[position];
    const VARTYPE base = argument.vt & VT_TYPEMASK;
    HRESULT hr = (base == VT_NULL || base == VT_EMPTY || base == VT_ERROR)
                     ? DISP_E_TYPEMISMATCH
                     : VariantChangeType(&value, const_cast<VARIANT*>(&argument), 0, vt);
    if (FAILED(hr)) {
        if (puArgErr)
            *puArgErr = position;
        return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT ReportException(EXCEPINFO* pExcepInfo, HRESULT scode, const wchar_t* description)
{
    if (!pExcepInfo)
        return scode;
    *pExcepInfo = EXCEPINFO{};
    pExcepInfo->bstrSource = SysAllocString(L"KIVO.KIVOCtrl");
    pExcepInfo->bstrDescription = SysAllocString(description);
    pExcepInfo->scode = scode;
    return DISP_E_EXCEPTION;
}

TransferServices ControlServices()
{
    TransferServices services;
    services.messagePump = PlatformMessagePump();
    services.wordAdjustment = &CKIVOApp::Instance().WordAdjustment();
    return services;
}

short RunManagement(const short* pCommand)
{
    CKIVOApp& app = CKIVOApp::Instance();
    switch (pCommand[0]) {
    case 0: {
        const int nLanguage = pCommand[1];
        if (nLanguage < 0 || nLanguage > 2 || static_cast<std::size_t>(nLanguage) >= app.m_arrLanguageNames.size())
            return 0;
        app.SwitchLanguage(app.m_arrLanguageNames[static_cast<std::size_t>(nLanguage)]);
        return 1;
    }
    case 1:
        return static_cast<short>(app.ReloadWordAdjustment());
    case 2:
        return 1;
    default:
        return 0;
    }
}

} // namespace

CKIVOCtrl::CKIVOCtrl()
    : m_properties(CKIVOProperties::Defaults(kSystemWindowColor, kSystemWindowTextColor)),
      m_window([this](HDC hDC, const RECT& bounds) {
          DrawControlFace(hDC, bounds, m_properties.backColor, m_properties.foreColor);
      }),
      m_eventsPoint(this, DIID_DKIVOEvents),
      m_propertyNotifyPoint(this, IID_IPropertyNotifySink)
{
    kivoserver::AddObjectReference();
}

CKIVOCtrl::~CKIVOCtrl()
{
    m_window.Destroy();
    if (m_pFrame)
        m_pFrame->Release();
    if (m_pInPlaceSite)
        m_pInPlaceSite->Release();
    if (m_pClientSite)
        m_pClientSite->Release();
    if (m_pOleAdviseHolder)
        m_pOleAdviseHolder->Release();
    if (m_pViewSink)
        m_pViewSink->Release();
    kivoserver::ReleaseObjectReference();
}

STDMETHODIMP CKIVOCtrl::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID_DKIVO))
        *ppv = static_cast<IDispatch*>(this);
    else if (IsEqualIID(riid, IID_IProvideClassInfo) || IsEqualIID(riid, IID_IProvideClassInfo2))
        *ppv = static_cast<IProvideClassInfo2*>(this);
    else if (IsEqualIID(riid, IID_IOleObject))
        *ppv = static_cast<IOleObject*>(this);
    else if (IsEqualIID(riid, IID_IOleControl))
        *ppv = static_cast<IOleControl*>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceObject))
        *ppv = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(riid, IID_IOleInPlaceActiveObject))
        *ppv = static_cast<IOleInPlaceActiveObject*>(this);
    else if (IsEqualIID(riid, IID_IViewObject) || IsEqualIID(riid, IID_IViewObject2))
        *ppv = static_cast<IViewObject2*>(this);
    else if (IsEqualIID(riid, IID_IPersist) || IsEqualIID(riid, IID_IPersistStreamInit))
        *ppv = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(riid, IID_IPersistPropertyBag))
        *ppv = static_cast<IPersistPropertyBag*>(this);
    else if (IsEqualIID(riid, IID_IConnectionPointContainer))
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(riid, IID_ISpecifyPropertyPages))
        *ppv = static_cast<ISpecifyPropertyPages*>(this);
    else if (IsEqualIID(riid, IID_IObjectSafety))
        *ppv = static_cast<IObjectSafety*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CKIVOCtrl::AddRef()
{
    return ++m_nReferences;
}

STDMETHODIMP_(ULONG) CKIVOCtrl::Release()
{
    const ULONG n = --m_nReferences;
    if (n == 0)
        delete this;
    return n;
}

STDMETHODIMP CKIVOCtrl::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo)
{
    if (!ppTInfo)
        return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0)
        return DISP_E_BADINDEX;
    return kivoserver::LoadTypeInfo(DIID_DKIVO, ppTInfo);
}

STDMETHODIMP CKIVOCtrl::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId)
{
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (!rgszNames || !rgDispId || cNames == 0)
        return E_INVALIDARG;
    bool bAllKnown = true;
    for (UINT i = 0; i < cNames; ++i) {
        rgDispId[i] = DISPID_UNKNOWN;
        // Only the first name is a member; the others would name its parameters.
        if (i == 0 && rgszNames[0]) {
            for (const MemberName& member : kMembers)
                if (lstrcmpiW(rgszNames[0], member.name) == 0)
                    rgDispId[0] = member.id;
        }
        bAllKnown = bAllKnown && rgDispId[i] != DISPID_UNKNOWN;
    }
    return bAllKnown ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CKIVOCtrl::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                               VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    try {
        if (dispIdMember == DispIdKIVOCaption)
            return InvokeCaption(wFlags, pDispParams, pVarResult, puArgErr);
        if (dispIdMember == DispIdBackColor || dispIdMember == DispIdForeColor)
            return InvokeColor(dispIdMember, wFlags, pDispParams, pVarResult, puArgErr);
        if (!(wFlags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;  // the methods cannot be read or written as properties
        switch (dispIdMember) {
        case DispIdManagement:
            return InvokeManagement(pDispParams, pVarResult, pExcepInfo, puArgErr);
        case DispIdCodeTransfer:
            return InvokeCodeTransfer(pDispParams, pVarResult, puArgErr);
        case DispIdConvertText:
            return InvokeConvertText(pDispParams, pVarResult, pExcepInfo, puArgErr);
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT CKIVOCtrl::InvokeCaption(WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult, UINT* puArgErr)
{
    if (!pDispParams)
        return E_INVALIDARG;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        HRESULT hr = CheckPropertyPut(pDispParams);
        if (FAILED(hr))
            return hr;
        VARIANT value;
        hr = CoerceArgument(pDispParams, 0, VT_BSTR, value, puArgErr);
        if (FAILED(hr))
            return hr;
        m_properties.strKIVOCaption.assign(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
        VariantClear(&value);
        OnPropertyChanged(DispIdKIVOCaption, false);
        return S_OK;
    }
    if (!(wFlags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (pDispParams->cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    if (!pVarResult)
        return S_OK;
    VariantInit(pVarResult);
    const std::wstring& text = m_properties.strKIVOCaption;
    BSTR caption = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!caption)
        return E_OUTOFMEMORY;
    pVarResult->vt = VT_BSTR;
    pVarResult->bstrVal = caption;
    return S_OK;
}

HRESULT CKIVOCtrl::InvokeColor(DISPID dispId, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                               UINT* puArgErr)
{
    if (!pDispParams)
        return E_INVALIDARG;
    OLE_COLOR& color = dispId == DispIdBackColor ? m_properties.backColor : m_properties.foreColor;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        HRESULT hr = CheckPropertyPut(pDispParams);
        if (FAILED(hr))
            return hr;
        VARIANT value;
        hr = CoerceArgument(pDispParams, 0, VT_I4, value, puArgErr);
        if (FAILED(hr))
            return hr;
        const OLE_COLOR newColor = static_cast<OLE_COLOR>(value.lVal);
        if (FAILED(OleTranslateColor(newColor, nullptr, nullptr))) {
            if (puArgErr)
                *puArgErr = 0;
            return CTL_E_INVALIDPROPERTYVALUE;
        }
        color = newColor;
        OnPropertyChanged(dispId, true);
        return S_OK;
    }
    if (!(wFlags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (pDispParams->cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    if (pVarResult) {
        VariantInit(pVarResult);
        pVarResult->vt = VT_I4;
        pVarResult->lVal = static_cast<LONG>(color);
    }
    return S_OK;
}

HRESULT CKIVOCtrl::InvokeManagement(DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                    UINT* puArgErr)
{
    if (m_dwSafetyOptions & INTERFACESAFE_FOR_UNTRUSTED_CALLER)
        return ReportException(pExcepInfo, E_ACCESSDENIED,
                               L"Management changes the control's configuration; it is not offered to an "
                               L"untrusted caller.");
    const HRESULT hr = CheckMethodCall(pDispParams, 1);
    if (FAILED(hr))
        return hr;
    const short* pCommand = ShortArrayArgument(pDispParams->rgvarg[0]);
    if (!pCommand) {
        if (puArgErr)
            *puArgErr = 0;
        return DISP_E_TYPEMISMATCH;
    }
    return ShortResult(pVarResult, RunManagement(pCommand));
}

HRESULT CKIVOCtrl::InvokeCodeTransfer(DISPPARAMS* pDispParams, VARIANT* pVarResult, UINT* puArgErr)
{
    const HRESULT hr = CheckMethodCall(pDispParams, 2);
    if (FAILED(hr))
        return hr;
    short* pCharCode = ShortArrayArgument(pDispParams->rgvarg[1]);
    const short* pControlCodes = ShortArrayArgument(pDispParams->rgvarg[0]);
    if (!pCharCode || !pControlCodes) {
        if (puArgErr)
            *puArgErr = pCharCode ? 0 : 1;
        return DISP_E_TYPEMISMATCH;
    }
    return ShortResult(pVarResult, CodeTransfer(pCharCode, kMaxTransferElements, pControlCodes, ControlServices()));
}

HRESULT CKIVOCtrl::InvokeConvertText(DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                     UINT* puArgErr)
{
    HRESULT hr = CheckMethodCall(pDispParams, 3);
    if (FAILED(hr))
        return hr;
    VARIANT text, source, destination;
    VariantInit(&source);
    VariantInit(&destination);
    hr = CoerceArgument(pDispParams, 0, VT_BSTR, text, puArgErr);
    if (SUCCEEDED(hr))
        hr = CoerceArgument(pDispParams, 1, VT_I2, source, puArgErr);
    if (SUCCEEDED(hr))
        hr = CoerceArgument(pDispParams, 2, VT_I2, destination, puArgErr);
    if (FAILED(hr)) {
        VariantClear(&text);
        return hr;
    }
    std::u16string input(reinterpret_cast<const char16_t*>(text.bstrVal ? text.bstrVal : L""),
                         SysStringLen(text.bstrVal));
    VariantClear(&text);

    std::u16string output;
    switch (ConvertText(input, source.iVal, destination.iVal, ControlServices(), output)) {
    case TextConversionResult::Done:
        break;
    case TextConversionResult::InvalidCodes:
        return ReportException(pExcepInfo, E_INVALIDARG, L"The source and destination codes must be 0 to 5.");
    case TextConversionResult::HoldsZero:
        return ReportException(pExcepInfo, E_INVALIDARG, L"The text holds a zero character.");
    case TextConversionResult::Failed:
        return ReportException(pExcepInfo, E_FAIL, L"The text could not be converted in its code page.");
    }
    if (!pVarResult)
        return S_OK;
    BSTR result = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(output.data()), static_cast<UINT>(output.size()));
    if (!result)
        return E_OUTOFMEMORY;
    VariantInit(pVarResult);
    pVarResult->vt = VT_BSTR;
    pVarResult->bstrVal = result;
    return S_OK;
}

namespace {

// The options each interface can be made safe for; 0 for an interface the
// control does not declare safe.
DWORD SupportedSafetyOptions(REFIID riid)
{
    if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID_DKIVO))
        return INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    if (IsEqualIID(riid, IID_IPersistPropertyBag) || IsEqualIID(riid, IID_IPersistStreamInit) ||
        IsEqualIID(riid, IID_IPersist))
        return INTERFACESAFE_FOR_UNTRUSTED_DATA;
    return 0;
}

} // namespace

STDMETHODIMP CKIVOCtrl::GetInterfaceSafetyOptions(REFIID riid, DWORD* pdwSupportedOptions, DWORD* pdwEnabledOptions)
{
    if (!pdwSupportedOptions || !pdwEnabledOptions)
        return E_POINTER;
    *pdwSupportedOptions = SupportedSafetyOptions(riid);
    *pdwEnabledOptions = m_dwSafetyOptions & *pdwSupportedOptions;
    return *pdwSupportedOptions ? S_OK : E_NOINTERFACE;
}

STDMETHODIMP CKIVOCtrl::SetInterfaceSafetyOptions(REFIID riid, DWORD dwOptionSetMask, DWORD dwEnabledOptions)
{
    const DWORD supported = SupportedSafetyOptions(riid);
    if (!supported)
        return E_NOINTERFACE;
    if (dwOptionSetMask & ~supported)
        return E_FAIL;
    m_dwSafetyOptions = (m_dwSafetyOptions & ~dwOptionSetMask) | (dwEnabledOptions & dwOptionSetMask);
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetClassInfo(ITypeInfo** ppTI)
{
    return kivoserver::LoadTypeInfo(CLSID_KIVOCtrl, ppTI);
}

STDMETHODIMP CKIVOCtrl::GetGUID(DWORD dwGuidKind, GUID* pGUID)
{
    if (!pGUID)
        return E_POINTER;
    if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *pGUID = GUID_NULL;
        return E_INVALIDARG;
    }
    *pGUID = DIID_DKIVOEvents;
    return S_OK;
}

void CKIVOCtrl::OnPropertyChanged(DISPID dispId, bool bVisible)
{
    m_bModified = true;
    m_propertyNotifyPoint.ForEachSink([dispId](IUnknown* pSink) {
        static_cast<IPropertyNotifySink*>(pSink)->OnChanged(dispId);
    });
    if (!bVisible)
        return;
    m_window.Invalidate();
    NotifyViewChange();
}

void CKIVOCtrl::NotifyViewChange()
{
    if (m_pViewSink && (m_viewAdviseAspects & DVASPECT_CONTENT))
        m_pViewSink->OnViewChange(DVASPECT_CONTENT, -1);
    if (m_pViewSink && (m_viewAdviseFlags & ADVF_ONLYONCE)) {
        m_pViewSink->Release();
        m_pViewSink = nullptr;
    }
}

OLE_COLOR CKIVOCtrl::AmbientColor(DISPID dispId, OLE_COLOR fallback) const
{
    if (!m_pClientSite)
        return fallback;
    IDispatch* pAmbient = nullptr;
    if (FAILED(m_pClientSite->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pAmbient))) || !pAmbient)
        return fallback;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = pAmbient->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                                  nullptr, nullptr);
    pAmbient->Release();
    if (SUCCEEDED(hr))
        hr = VariantChangeType(&value, &value, 0, VT_I4);
    const OLE_COLOR color = SUCCEEDED(hr) ? static_cast<OLE_COLOR>(value.lVal) : fallback;
    VariantClear(&value);
    return color;
}

void CKIVOCtrl::ResetProperties()
{
    m_properties = CKIVOProperties::Defaults(AmbientColor(DISPID_AMBIENT_BACKCOLOR, kSystemWindowColor),
                                             AmbientColor(DISPID_AMBIENT_FORECOLOR, kSystemWindowTextColor));
    m_bModified = false;
    m_window.Invalidate();
}
