// CKIVOCtrl: the KIVO control object.
//
// Automation: IDispatch over _DKIVO (KIVOCaption, Management, CodeTransfer,
// ConvertText and the stock BackColor and ForeColor) with IProvideClassInfo2.
// Containment: IOleObject, IOleControl, IOleInPlaceObject and
// IOleInPlaceActiveObject (a windowed, inside-out control that draws its
// name), IViewObject2, IPersistStreamInit and IPersistPropertyBag over one
// property exchange (ControlProperties.h), IConnectionPointContainer with
// the points _DKIVOEvents (no events are fired) and IPropertyNotifySink, and
// ISpecifyPropertyPages (the control's page and the stock colour page).
// Safety: IObjectSafety declares automation safe for untrusted callers and
// the persisted properties safe to initialise from; once a host has asked
// for safety for untrusted callers (a browser running a page's script),
// Management, which changes the configuration and may show windows, is
// refused with an automation error.
//
// The object belongs to the apartment that created it; the methods are not
// meant to be called from other threads. No exception leaves a method.
#pragma once

#include "ConnectionPoint.h"
#include "ControlProperties.h"
#include "ControlWindow.h"

#include <objsafe.h>
#include <ocidl.h>
#include <oaidl.h>
#include <oleidl.h>
#include <windows.h>

#include <atomic>
#include <string>

// The control's OLEMISC bits: SETCLIENTSITEFIRST | INVISIBLEATRUNTIME |
// ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE.
constexpr DWORD kKIVOMiscStatus = 0x20591;

class CKIVOCtrl final : public IDispatch,
                        public IProvideClassInfo2,
                        public IOleObject,
                        public IOleControl,
                        public IOleInPlaceObject,
                        public IOleInPlaceActiveObject,
                        public IViewObject2,
                        public IPersistStreamInit,
                        public IPersistPropertyBag,
                        public IConnectionPointContainer,
                        public ISpecifyPropertyPages,
                        public IObjectSafety {
public:
    CKIVOCtrl();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch (KIVOCtrl.cpp)
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** ppTI) override;
    STDMETHODIMP GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

    // IOleObject (KIVOCtrlOle.cpp)
    STDMETHODIMP SetClientSite(IOleClientSite* pClientSite) override;
    STDMETHODIMP GetClientSite(IOleClientSite** ppClientSite) override;
    STDMETHODIMP SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
    STDMETHODIMP Close(DWORD dwSaveOption) override;
    STDMETHODIMP SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
    STDMETHODIMP GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    STDMETHODIMP InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) override;
    STDMETHODIMP GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                        LPCRECT lprcPosRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* pClsid) override;
    STDMETHODIMP GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
    STDMETHODIMP SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    STDMETHODIMP GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    STDMETHODIMP Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
    STDMETHODIMP Unadvise(DWORD dwConnection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
    STDMETHODIMP GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* pLogpal) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* pCI) override;
    STDMETHODIMP OnMnemonic(MSG* pMsg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID dispID) override;
    STDMETHODIMP FreezeEvents(BOOL bFreeze) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL fEnterMode) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP TranslateAccelerator(LPMSG lpmsg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL fActivate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL fActivate) override;
    STDMETHODIMP ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fFrameWindow) override;
    STDMETHODIMP EnableModeless(BOOL fEnable) override;

    // IViewObject2 (KIVOCtrlView.cpp)
    STDMETHODIMP Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd, HDC hdcTargetDev,
                      HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds, BOOL(STDMETHODCALLTYPE* pfnContinue)(ULONG_PTR),
                      ULONG_PTR dwContinue) override;
    STDMETHODIMP GetColorSet(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                             HDC hicTargetDev, LOGPALETTE** ppColorSet) override;
    STDMETHODIMP Freeze(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DWORD* pdwFreeze) override;
    STDMETHODIMP Unfreeze(DWORD dwFreeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) override;
    STDMETHODIMP GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) override;
    STDMETHODIMP GetExtent(DWORD dwDrawAspect, LONG lindex, DVTARGETDEVICE* ptd, LPSIZEL lpsizel) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag (KIVOCtrlPersist.cpp)
    STDMETHODIMP GetClassID(CLSID* pClassID) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM pStm) override;
    STDMETHODIMP Save(LPSTREAM pStm, BOOL fClearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* pCbSize) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    STDMETHODIMP Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;

    // IConnectionPointContainer, ISpecifyPropertyPages
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;
    STDMETHODIMP GetPages(CAUUID* pPages) override;

    // IObjectSafety (KIVOCtrl.cpp)
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID riid, DWORD* pdwSupportedOptions, DWORD* pdwEnabledOptions) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID riid, DWORD dwOptionSetMask, DWORD dwEnabledOptions) override;

private:
    ~CKIVOCtrl();

    // Automation members (KIVOCtrl.cpp)
    HRESULT InvokeCaption(WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult, UINT* puArgErr);
    HRESULT InvokeColor(DISPID dispId, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult, UINT* puArgErr);
    HRESULT InvokeManagement(DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr);
    HRESULT InvokeCodeTransfer(DISPPARAMS* pDispParams, VARIANT* pVarResult, UINT* puArgErr);
    HRESULT InvokeConvertText(DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                              UINT* puArgErr);

    // A property changed through automation or the property page: the
    // container must save it, the property sinks hear of it, and the face is
    // redrawn when it shows the property.
    void OnPropertyChanged(DISPID dispId, bool bVisible);
    // The ambient colour `dispId` of the site, or `fallback`.
    OLE_COLOR AmbientColor(DISPID dispId, OLE_COLOR fallback) const;
    void ResetProperties();
    // What a load read becomes the control's state, saved as it stands.
    void AdoptLoadedProperties(CKIVOProperties&& loaded);
    void NotifyViewChange();

    // In-place activation (KIVOCtrlOle.cpp)
    HRESULT ActivateInPlace(IOleClientSite* pSite, HWND hwndParent, LPCRECT lprcPosRect, bool bUIActivate);
    HRESULT ShowPropertyFrame(HWND hwndParent);

    std::atomic<ULONG> m_nReferences{1};
    CKIVOProperties m_properties;
    bool m_bModified = false;
    DWORD m_dwSafetyOptions = 0;  // INTERFACESAFE_* a host has enabled

    IOleClientSite* m_pClientSite = nullptr;
    IOleInPlaceSite* m_pInPlaceSite = nullptr;  // while active in place
    IOleInPlaceFrame* m_pFrame = nullptr;       // while UI active
    IOleAdviseHolder* m_pOleAdviseHolder = nullptr;
    IAdviseSink* m_pViewSink = nullptr;
    DWORD m_viewAdviseFlags = 0;
    DWORD m_viewAdviseAspects = 0;
    bool m_bUIActive = false;
    CControlWindow m_window;

    CConnectionPoint m_eventsPoint;
    CConnectionPoint m_propertyNotifyPoint;
};
