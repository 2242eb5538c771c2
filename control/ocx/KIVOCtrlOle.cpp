// CKIVOCtrl in its container: IOleObject, IOleControl and in-place
// activation. The control is windowed and inside-out: activated in place it
// shows a child window of the site's window and paints its face there.
#include "KIVOCtrl.h"

#include "KIVOGuids.h"
#include "ScopedCom.h"

#include <olectl.h>

#include <new>

namespace {

// The system's stock colour page, {0BE35201-8F91-11CE-9DE3-00AA004BB851}.
constexpr GUID kStockColorPage = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

template <class T>
void ReplaceReference(T*& pHeld, T* pNew)
{
    if (pNew)
        pNew->AddRef();
    if (pHeld)
        pHeld->Release();
    pHeld = pNew;
}

} // namespace

// ---- IOleObject

STDMETHODIMP CKIVOCtrl::SetClientSite(IOleClientSite* pClientSite)
{
    ReplaceReference(m_pClientSite, pClientSite);
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetClientSite(IOleClientSite** ppClientSite)
{
    if (!ppClientSite)
        return E_POINTER;
    *ppClientSite = m_pClientSite;
    if (m_pClientSite)
        m_pClientSite->AddRef();
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::Close(DWORD dwSaveOption)
{
    InPlaceDeactivate();
    if (m_bModified && m_pClientSite &&
        (dwSaveOption == OLECLOSE_SAVEIFDIRTY || dwSaveOption == OLECLOSE_PROMPTSAVE)) {
        m_pClientSite->SaveObject();
    }
    if (m_pOleAdviseHolder)
        m_pOleAdviseHolder->SendOnClose();
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::SetMoniker(DWORD, IMoniker*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::InitFromData(IDataObject*, BOOL, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::GetClipboardData(DWORD, IDataObject** ppDataObject)
{
    if (ppDataObject)
        *ppDataObject = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND hwndParent,
                               LPCRECT lprcPosRect)
{
    try {
        switch (iVerb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
            return ActivateInPlace(pActiveSite, hwndParent, lprcPosRect, false);
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace(pActiveSite, hwndParent, lprcPosRect, true);
        case OLEIVERB_HIDE:
            m_window.Show(false);
            return S_OK;
        case OLEIVERB_PROPERTIES:
            return ShowPropertyFrame(hwndParent);
        case OLEIVERB_OPEN:
        case OLEIVERB_DISCARDUNDOSTATE:
            return E_NOTIMPL;
        default:
            if (iVerb < 0)
                return E_NOTIMPL;
            // An unknown positive verb runs the primary one, as OLE asks.
            const HRESULT hr = ActivateInPlace(pActiveSite, hwndParent, lprcPosRect, false);
            return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

STDMETHODIMP CKIVOCtrl::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb)
{
    if (!ppEnumOleVerb)
        return E_POINTER;
    return OleRegEnumVerbs(CLSID_KIVOCtrl, ppEnumOleVerb);
}

STDMETHODIMP CKIVOCtrl::Update()
{
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::IsUpToDate()
{
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetUserClassID(CLSID* pClsid)
{
    if (!pClsid)
        return E_POINTER;
    *pClsid = CLSID_KIVOCtrl;
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType)
{
    if (!pszUserType)
        return E_POINTER;
    return OleRegGetUserType(CLSID_KIVOCtrl, dwFormOfType, pszUserType);
}

STDMETHODIMP CKIVOCtrl::SetExtent(DWORD dwDrawAspect, SIZEL* psizel)
{
    if (!psizel)
        return E_POINTER;
    if (dwDrawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (psizel->cx < 0 || psizel->cy < 0)
        return E_INVALIDARG;
    if (psizel->cx != m_properties.extent.cx || psizel->cy != m_properties.extent.cy) {
        m_properties.extent = *psizel;
        m_bModified = true;
    }
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetExtent(DWORD dwDrawAspect, SIZEL* psizel)
{
    if (!psizel)
        return E_POINTER;
    if (dwDrawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    *psizel = m_properties.extent;
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection)
{
    if (!pdwConnection)
        return E_POINTER;
    *pdwConnection = 0;
    if (!m_pOleAdviseHolder) {
        const HRESULT hr = CreateOleAdviseHolder(&m_pOleAdviseHolder);
        if (FAILED(hr))
            return hr;
    }
    return m_pOleAdviseHolder->Advise(pAdvSink, pdwConnection);
}

STDMETHODIMP CKIVOCtrl::Unadvise(DWORD dwConnection)
{
    if (!m_pOleAdviseHolder)
        return OLE_E_NOCONNECTION;
    return m_pOleAdviseHolder->Unadvise(dwConnection);
}

STDMETHODIMP CKIVOCtrl::EnumAdvise(IEnumSTATDATA** ppenumAdvise)
{
    if (!ppenumAdvise)
        return E_POINTER;
    *ppenumAdvise = nullptr;
    if (!m_pOleAdviseHolder)
        return S_OK;  // no connection: an empty enumeration is null
    return m_pOleAdviseHolder->EnumAdvise(ppenumAdvise);
}

STDMETHODIMP CKIVOCtrl::GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus)
{
    if (!pdwStatus)
        return E_POINTER;
    *pdwStatus = dwAspect == DVASPECT_CONTENT ? kKIVOMiscStatus : 0;
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::SetColorScheme(LOGPALETTE*)
{
    return E_NOTIMPL;
}

// ---- IOleControl: no mnemonics, no events to freeze.

STDMETHODIMP CKIVOCtrl::GetControlInfo(CONTROLINFO* pCI)
{
    if (!pCI)
        return E_POINTER;
    pCI->hAccel = nullptr;
    pCI->cAccel = 0;
    pCI->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::OnMnemonic(MSG*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::OnAmbientPropertyChange(DISPID)
{
    m_window.Invalidate();
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::FreezeEvents(BOOL)
{
    return S_OK;
}

// ---- In-place activation

HRESULT CKIVOCtrl::ActivateInPlace(IOleClientSite* pSite, HWND hwndParent, LPCRECT lprcPosRect, bool bUIActivate)
{
    if (!pSite)
        pSite = m_pClientSite;
    if (!pSite)
        return E_UNEXPECTED;
    if (!m_pInPlaceSite) {
        CScopedComPtr<IOleInPlaceSite> site;
        if (FAILED(pSite->QueryInterface(IID_IOleInPlaceSite, site.ReceiveVoid())) || !site)
            return OLEOBJ_S_CANNOT_DOVERB_NOW;
        if (site->CanInPlaceActivate() != S_OK)
            return OLEOBJ_S_CANNOT_DOVERB_NOW;
        site->OnInPlaceActivate();

        HWND hwndSite = nullptr;
        if (FAILED(site->GetWindow(&hwndSite)) || !IsWindow(hwndSite))
            hwndSite = hwndParent;
        CScopedComPtr<IOleInPlaceFrame> frame;
        CScopedComPtr<IOleInPlaceUIWindow> document;
        RECT position = {}, clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof frameInfo;
        if (FAILED(site->GetWindowContext(reinterpret_cast<IOleInPlaceFrame**>(frame.ReceiveVoid()),
                                          reinterpret_cast<IOleInPlaceUIWindow**>(document.ReceiveVoid()),
                                          &position, &clip, &frameInfo))) {
            if (!lprcPosRect) {
                site->OnInPlaceDeactivate();
                return E_FAIL;
            }
        }
        if (lprcPosRect)
            position = *lprcPosRect;
        if (!m_window.Create(hwndSite, position)) {
            site->OnInPlaceDeactivate();
            return E_FAIL;
        }
        m_pInPlaceSite = site.Get();
        m_pInPlaceSite->AddRef();
        if (frame) {
            m_pFrame = frame.Get();
            m_pFrame->AddRef();
        }
    } else if (lprcPosRect) {
        m_window.Move(*lprcPosRect);
    }
    m_window.Show(true);
    if (!bUIActivate || m_bUIActive)
        return S_OK;
    m_bUIActive = true;
    m_pInPlaceSite->OnUIActivate();
    if (m_pFrame)
        m_pFrame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_window.Get();
    return *phwnd ? S_OK : E_FAIL;
}

STDMETHODIMP CKIVOCtrl::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::InPlaceDeactivate()
{
    if (!m_pInPlaceSite)
        return S_OK;
    UIDeactivate();
    m_window.Destroy();
    IOleInPlaceSite* pSite = m_pInPlaceSite;
    m_pInPlaceSite = nullptr;
    pSite->OnInPlaceDeactivate();
    pSite->Release();
    if (m_pFrame) {
        m_pFrame->Release();
        m_pFrame = nullptr;
    }
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::UIDeactivate()
{
    if (!m_bUIActive)
        return S_OK;
    m_bUIActive = false;
    if (m_pFrame)
        m_pFrame->SetActiveObject(nullptr, nullptr);
    if (m_pInPlaceSite)
        m_pInPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::SetObjectRects(LPCRECT lprcPosRect, LPCRECT)
{
    if (!lprcPosRect)
        return E_POINTER;
    m_window.Move(*lprcPosRect);
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::ReactivateAndUndo()
{
    return INPLACE_E_NOTUNDOABLE;
}

// ---- IOleInPlaceActiveObject: the control has no keys, menus or borders.

STDMETHODIMP CKIVOCtrl::TranslateAccelerator(LPMSG)
{
    return S_FALSE;
}

STDMETHODIMP CKIVOCtrl::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return S_OK;
}

STDMETHODIMP CKIVOCtrl::EnableModeless(BOOL)
{
    return S_OK;
}

// ---- Property pages

STDMETHODIMP CKIVOCtrl::GetPages(CAUUID* pPages)
{
    if (!pPages)
        return E_POINTER;
    pPages->cElems = 0;
    pPages->pElems = static_cast<GUID*>(CoTaskMemAlloc(2 * sizeof(GUID)));
    if (!pPages->pElems)
        return E_OUTOFMEMORY;
    pPages->pElems[0] = CLSID_KIVOPropPage;
    pPages->pElems[1] = kStockColorPage;
    pPages->cElems = 2;
    return S_OK;
}

HRESULT CKIVOCtrl::ShowPropertyFrame(HWND hwndParent)
{
    CAUUID pages = {0, nullptr};
    HRESULT hr = GetPages(&pages);
    if (FAILED(hr))
        return hr;
    IUnknown* pObject = static_cast<IDispatch*>(this);
    hr = OleCreatePropertyFrame(hwndParent, 0, 0, L"KIVO", 1, &pObject, pages.cElems, pages.pElems,
                                LOCALE_USER_DEFAULT, 0, nullptr);
    CoTaskMemFree(pages.pElems);
    return hr;
}

// ---- Connection points

STDMETHODIMP CKIVOCtrl::EnumConnectionPoints(IEnumConnectionPoints** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOCtrl::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP)
{
    if (!ppCP)
        return E_POINTER;
    *ppCP = nullptr;
    CConnectionPoint* pPoint = nullptr;
    if (IsEqualIID(riid, m_eventsPoint.Interface()))
        pPoint = &m_eventsPoint;
    else if (IsEqualIID(riid, m_propertyNotifyPoint.Interface()))
        pPoint = &m_propertyNotifyPoint;
    else
        return CONNECT_E_NOCONNECTION;
    *ppCP = pPoint;
    pPoint->AddRef();
    return S_OK;
}
