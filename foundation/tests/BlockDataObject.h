// A data object as another program might make it: CF_TEXT in a global block
// of exactly the bytes given, with no terminating zero unless the bytes hold
// one. Tests hand it to readers and drop targets of text.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <cstring>
#include <string>

class CBlockDataObject final : public IDataObject {
public:
    explicit CBlockDataObject(std::string strBlock) : m_strBlock(std::move(strBlock)) {}
    // A broken one: GetData succeeds without a block.
    static CBlockDataObject WithoutBlock()
    {
        CBlockDataObject data("");
        data.m_bNoBlock = true;
        return data;
    }
    virtual ~CBlockDataObject() = default;

    // Handed to OLE on the stack of a test: the count only has to balance.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *ppv = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pFormat, STGMEDIUM* pMedium) override
    {
        ++m_nGetData;
        if (QueryGetData(pFormat) != S_OK)
            return DV_E_FORMATETC;
        // GMEM_FIXED: the block is exactly as large as asked, no rounding up
        // that would bring zero bytes with it.
        HGLOBAL hBlock = nullptr;
        if (!m_bNoBlock) {
            hBlock = ::GlobalAlloc(GMEM_FIXED, m_strBlock.size());
            if (!hBlock)
                return E_OUTOFMEMORY;
            std::memcpy(hBlock, m_strBlock.data(), m_strBlock.size());
        }
        pMedium->tymed = TYMED_HGLOBAL;
        pMedium->hGlobal = hBlock;
        pMedium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pFormat) override
    {
        return pFormat && pFormat->cfFormat == CF_TEXT && (pFormat->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    int GetDataCalls() const { return m_nGetData; }

private:
    std::string m_strBlock;
    bool m_bNoBlock = false;
    ULONG m_nRefs = 1;
    int m_nGetData = 0;
};
