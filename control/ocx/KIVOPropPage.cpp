#include "KIVOPropPage.h"

#include "ControlResource.h"
#include "KIVOGuids.h"
#include "ServerModule.h"

#include <olectl.h>

#include <new>

namespace {

// The page's template size in dialog units.
constexpr int kPageWidthDlu = 250;
constexpr int kPageHeightDlu = 62;

HRESULT ReadCaption(IDispatch* pObject, std::wstring& caption)
{
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = pObject->Invoke(DispIdKIVOCaption, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                 &value, nullptr, nullptr);
    if (SUCCEEDED(hr))
        hr = VariantChangeType(&value, &value, 0, VT_BSTR);
    if (SUCCEEDED(hr))
        caption.assign(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
    VariantClear(&value);
    return hr;
}

HRESULT WriteCaption(IDispatch* pObject, const std::wstring& caption)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(caption.data(), static_cast<UINT>(caption.size()));
    if (!value.bstrVal)
        return E_OUTOFMEMORY;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters = {&value, &named, 1, 1};
    const HRESULT hr = pObject->Invoke(DispIdKIVOCaption, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                       &parameters, nullptr, nullptr, nullptr);
    VariantClear(&value);
    return hr;
}

LPOLESTR TaskString(const std::wstring& text)
{
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* pText = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (pText)
        memcpy(pText, text.c_str(), bytes);
    return pText;
}


} // namespace

// The page's window: the template IDD_PROPPAGE_KIVO as a child of the frame.
class CKIVOPropPage::CPageDialog final : public CDialog {
public:
    explicit CPageDialog(CKIVOPropPage& page) : CDialog(IDD_PROPPAGE_KIVO, kivoserver::ModuleHandle()), m_page(page) {}

protected:
    bool OnCommand(int nId, int nCode, HWND hCtl) override
    {
        if (nId == IDC_PROPPAGE_CAPTION && nCode == EN_CHANGE) {
            m_page.OnCaptionEdited();
            return true;
        }
        // Enter and Escape belong to the frame, not to the page.
        if (nId == IDOK || nId == IDCANCEL)
            return true;
        return CDialog::OnCommand(nId, nCode, hCtl);
    }

private:
    CKIVOPropPage& m_page;
};

CKIVOPropPage::CKIVOPropPage()
{
    kivoserver::AddObjectReference();
}

CKIVOPropPage::~CKIVOPropPage()
{
    m_pDialog.reset();
    ReleaseObjects();
    if (m_pPageSite)
        m_pPageSite->Release();
    kivoserver::ReleaseObjectReference();
}

STDMETHODIMP CKIVOPropPage::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IPropertyPage))
        return E_NOINTERFACE;
    *ppv = static_cast<IPropertyPage*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CKIVOPropPage::AddRef()
{
    return ++m_nReferences;
}

STDMETHODIMP_(ULONG) CKIVOPropPage::Release()
{
    const ULONG n = --m_nReferences;
    if (n == 0)
        delete this;
    return n;
}

STDMETHODIMP CKIVOPropPage::SetPageSite(IPropertyPageSite* pPageSite)
{
    if (pPageSite)
        pPageSite->AddRef();
    if (m_pPageSite)
        m_pPageSite->Release();
    m_pPageSite = pPageSite;
    return S_OK;
}

STDMETHODIMP CKIVOPropPage::Activate(HWND hWndParent, LPCRECT pRect, BOOL)
{
    if (!pRect)
        return E_POINTER;
    if (m_pDialog)
        return E_UNEXPECTED;
    try {
        if (!m_objects.empty() && !m_bDirty)
            ReadCaption(m_objects.front(), m_strCaption);
        m_pDialog.reset(new CPageDialog(*this));
        if (!m_pDialog->Create(hWndParent)) {
            m_pDialog.reset();
            return E_FAIL;
        }
        CaptionToEdit();
        Move(pRect);
        return S_OK;
    } catch (const std::bad_alloc&) {
        m_pDialog.reset();
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP CKIVOPropPage::Deactivate()
{
    if (!m_pDialog)
        return E_UNEXPECTED;
    try {
        EditToCaption();  // an edit not yet applied survives a change of page
    } catch (...) {
    }
    m_pDialog.reset();
    return S_OK;
}

STDMETHODIMP CKIVOPropPage::GetPageInfo(PROPPAGEINFO* pPageInfo)
{
    if (!pPageInfo)
        return E_POINTER;
    const LONG units = GetDialogBaseUnits();
    pPageInfo->cb = sizeof(PROPPAGEINFO);
    try {
        pPageInfo->pszTitle = TaskString(kivoserver::ModuleString(IDS_PROPPAGE_CAPTION));
    } catch (const std::bad_alloc&) {
        pPageInfo->pszTitle = nullptr;
    }
    pPageInfo->size.cx = MulDiv(kPageWidthDlu, LOWORD(units), 4);
    pPageInfo->size.cy = MulDiv(kPageHeightDlu, HIWORD(units), 8);
    pPageInfo->pszDocString = nullptr;
    pPageInfo->pszHelpFile = nullptr;
    pPageInfo->dwHelpContext = 0;
    return pPageInfo->pszTitle ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CKIVOPropPage::SetObjects(ULONG cObjects, IUnknown** ppUnk)
{
    if (cObjects > 0 && !ppUnk)
        return E_POINTER;
    ReleaseObjects();
    try {
        m_objects.reserve(cObjects);  // push_back below cannot throw then
        for (ULONG i = 0; i < cObjects; ++i) {
            IDispatch* pObject = nullptr;
            if (!ppUnk[i] || FAILED(ppUnk[i]->QueryInterface(DIID_DKIVO, reinterpret_cast<void**>(&pObject))) ||
                !pObject) {
                ReleaseObjects();
                return E_NOINTERFACE;
            }
            m_objects.push_back(pObject);
        }
        m_bDirty = false;
        if (!m_objects.empty() && m_pDialog) {
            ReadCaption(m_objects.front(), m_strCaption);
            CaptionToEdit();
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        ReleaseObjects();
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP CKIVOPropPage::Show(UINT nCmdShow)
{
    if (!m_pDialog)
        return E_UNEXPECTED;
    ShowWindow(m_pDialog->GetHwnd(), static_cast<int>(nCmdShow));
    return S_OK;
}

STDMETHODIMP CKIVOPropPage::Move(LPCRECT pRect)
{
    if (!pRect)
        return E_POINTER;
    if (!m_pDialog)
        return E_UNEXPECTED;
    MoveWindow(m_pDialog->GetHwnd(), pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top,
               TRUE);
    return S_OK;
}

STDMETHODIMP CKIVOPropPage::IsPageDirty()
{
    return m_bDirty ? S_OK : S_FALSE;
}

STDMETHODIMP CKIVOPropPage::Apply()
{
    try {
        EditToCaption();
        HRESULT result = S_OK;
        for (IDispatch* pObject : m_objects) {
            const HRESULT hr = WriteCaption(pObject, m_strCaption);
            if (FAILED(hr))
                result = hr;
        }
        if (FAILED(result))
            return result;  // stays dirty, so that nothing typed is lost
        m_bDirty = false;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP CKIVOPropPage::Help(LPCOLESTR)
{
    return E_NOTIMPL;
}

STDMETHODIMP CKIVOPropPage::TranslateAccelerator(MSG* pMsg)
{
    if (!pMsg)
        return E_POINTER;
    if (!m_pDialog)
        return S_FALSE;
    return IsDialogMessageW(m_pDialog->GetHwnd(), pMsg) ? S_OK : S_FALSE;
}

void CKIVOPropPage::ReleaseObjects()
{
    std::vector<IDispatch*> objects;
    objects.swap(m_objects);
    for (IDispatch* pObject : objects)
        pObject->Release();
}

void CKIVOPropPage::OnCaptionEdited()
{
    if (m_bFilling)
        return;
    m_bDirty = true;
    if (m_pPageSite)
        m_pPageSite->OnStatusChange(PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE);
}

void CKIVOPropPage::CaptionToEdit()
{
    if (!m_pDialog)
        return;
    m_bFilling = true;
    SetWindowTextW(m_pDialog->GetItem(IDC_PROPPAGE_CAPTION), m_strCaption.c_str());
    m_bFilling = false;
}

void CKIVOPropPage::EditToCaption()
{
    if (!m_pDialog)
        return;
    HWND hEdit = m_pDialog->GetItem(IDC_PROPPAGE_CAPTION);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hEdit)) + 1, L'\0');
    const int n = GetWindowTextW(hEdit, &text[0], static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    m_strCaption.swap(text);
}
