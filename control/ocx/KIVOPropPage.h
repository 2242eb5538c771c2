// CKIVOPropPage: the control's own property page ("General"), one edit box
// bound to KIVOCaption of every object the frame gives it. The page reads the
// first object's caption when it is activated and writes the edit's text to
// all of them on Apply.
#pragma once

#include "Dialog.h"

#include <ocidl.h>
#include <oaidl.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class CKIVOPropPage final : public IPropertyPage {
public:
    CKIVOPropPage();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* pPageSite) override;
    STDMETHODIMP Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* pPageInfo) override;
    STDMETHODIMP SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
    STDMETHODIMP Show(UINT nCmdShow) override;
    STDMETHODIMP Move(LPCRECT pRect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR pszHelpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* pMsg) override;

private:
    class CPageDialog;

    ~CKIVOPropPage();
    void ReleaseObjects();
    void OnCaptionEdited();
    // Data exchange between m_strCaption and the edit box.
    void CaptionToEdit();
    void EditToCaption();

    std::atomic<ULONG> m_nReferences{1};
    IPropertyPageSite* m_pPageSite = nullptr;
    std::vector<IDispatch*> m_objects;  // each holds a reference
    std::unique_ptr<CPageDialog> m_pDialog;
    std::wstring m_strCaption;
    bool m_bDirty = false;
    bool m_bFilling = false;  // the page itself is writing the edit box
};
