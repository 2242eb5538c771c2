#include "TextDataObject.h"

#include "Clipboard.h"
#include "ComObject.h"

#include <shlobj.h>

#include <cstring>
#include <new>

namespace {

// The storage medium GetData filled, released once read.
class CScopedStgMedium {
public:
    CScopedStgMedium() = default;
    ~CScopedStgMedium()
    {
        if (m_bFilled)
            ::ReleaseStgMedium(&m_medium);
    }
    CScopedStgMedium(const CScopedStgMedium&) = delete;
    CScopedStgMedium& operator=(const CScopedStgMedium&) = delete;

    STGMEDIUM* Receive() { return &m_medium; }
    // After GetData succeeded: the medium is ours to release.
    void Keep() { m_bFilled = true; }
    const STGMEDIUM& Get() const { return m_medium; }

private:
    STGMEDIUM m_medium = {};
    bool m_bFilled = false;
};

FORMATETC TextFormat()
{
    FORMATETC format = {};
    format.cfFormat = CF_TEXT;
    format.ptd = nullptr;
    format.dwAspect = DVASPECT_CONTENT;
    format.lindex = -1;
    format.tymed = TYMED_HGLOBAL;
    return format;
}

class CTextDataObject final : public CComObject<IDataObject, &IID_IDataObject> {
public:
    explicit CTextDataObject(std::string strText) : m_strText(std::move(strText)) {}

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) override
    {
        if (!pMedium)
            return E_POINTER;
        const HRESULT hr = QueryGetData(pFormat);
        if (hr != S_OK)
            return hr;
        CGlobalBlock block = MakeGlobalBlock(m_strText.data(), m_strText.size(), 1);
        if (!block.Get())
            return E_OUTOFMEMORY;
        const HGLOBAL hBlock = block.Release();  // the receiver frees it
        pMedium->tymed = TYMED_HGLOBAL;
        pMedium->hGlobal = hBlock;
        pMedium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pFormat) override
    {
        if (!pFormat)
            return E_POINTER;
        if (pFormat->cfFormat != CF_TEXT)
            return DV_E_FORMATETC;
        if (pFormat->dwAspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!(pFormat->tymed & TYMED_HGLOBAL))
            return DV_E_TYMED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pOut) override
    {
        if (pOut)
            pOut->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) override
    {
        if (!ppEnum)
            return E_POINTER;
        *ppEnum = nullptr;
        if (dwDirection != DATADIR_GET)
            return E_NOTIMPL;
        const FORMATETC format = TextFormat();
        return ::SHCreateStdEnumFmtEtc(1, &format, ppEnum);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~CTextDataObject() override = default;

    const std::string m_strText;
};

class CLeftButtonDropSource final : public CComObject<IDropSource, &IID_IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL bEscapePressed, DWORD grfKeyState) override
    {
        if (bEscapePressed || (grfKeyState & MK_RBUTTON))
            return DRAGDROP_S_CANCEL;
        if (!(grfKeyState & MK_LBUTTON))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ~CLeftButtonDropSource() override = default;
};

// Hands a new object (holding its first reference) to a holder.
template <class I, class T>
CScopedComPtr<I> Adopt(T* pObject, REFIID iid)
{
    CScopedComPtr<I> holder;
    if (pObject) {
        pObject->QueryInterface(iid, holder.ReceiveVoid());
        pObject->Release();
    }
    return holder;
}

} // namespace

CScopedComPtr<IDataObject> CreateTextDataObject(const std::string& strText)
{
    try {
        return Adopt<IDataObject>(new CTextDataObject(strText), IID_IDataObject);
    } catch (const std::bad_alloc&) {
        return CScopedComPtr<IDataObject>();
    }
}

CScopedComPtr<IDropSource> CreateLeftButtonDropSource()
{
    return Adopt<IDropSource>(new (std::nothrow) CLeftButtonDropSource(), IID_IDropSource);
}

bool HasTextData(IDataObject* pData)
{
    if (!pData)
        return false;
    FORMATETC format = TextFormat();
    return pData->QueryGetData(&format) == S_OK;
}

bool ReadTextData(IDataObject* pData, std::string& strText)
{
    strText.clear();
    if (!pData)
        return false;
    FORMATETC format = TextFormat();
    CScopedStgMedium medium;
    if (pData->GetData(&format, medium.Receive()) != S_OK)
        return false;
    medium.Keep();
    if (medium.Get().tymed != TYMED_HGLOBAL || !medium.Get().hGlobal)
        return false;
    const CGlobalLock block(medium.Get().hGlobal);
    if (!block.Get())
        return false;
    const char* pText = static_cast<const char*>(block.Get());
    const SIZE_T nSize = block.Size();
    const void* pZero = std::memchr(pText, 0, nSize);
    try {
        strText.assign(pText, pZero ? static_cast<const char*>(pZero) - pText : nSize);
    } catch (const std::bad_alloc&) {
        strText.clear();
        return false;
    }
    return true;
}
