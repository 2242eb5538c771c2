#include "ControlProperties.h"

#include "ScopedHandles.h"

#include <cstdint>
#include <vector>

namespace {

// The product's display name in Simplified Chinese.
const wchar_t kDefaultCaption[] = L"KIVO \u7B80\u7E41\u8F6C\u6362";
constexpr SIZE kInitialExtentPixels = {42, 18};
constexpr std::uint16_t kVersionMajor = 1;
constexpr std::uint16_t kVersionMinor = 0;
constexpr long kBagVersion = (kVersionMajor << 16) | kVersionMinor;

HRESULT WriteBytes(IStream* pStream, const void* pData, ULONG cb)
{
    ULONG written = 0;
    const HRESULT hr = pStream->Write(pData, cb, &written);
    if (FAILED(hr))
        return hr;
    return written == cb ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT ReadBytes(IStream* pStream, void* pData, ULONG cb)
{
    ULONG read = 0;
    const HRESULT hr = pStream->Read(pData, cb, &read);
    if (FAILED(hr))
        return hr;
    return read == cb ? S_OK : STG_E_READFAULT;
}

template <class T>
HRESULT Write(IStream* pStream, T value)
{
    return WriteBytes(pStream, &value, sizeof value);
}

template <class T>
HRESULT Read(IStream* pStream, T& value)
{
    return ReadBytes(pStream, &value, sizeof value);
}

int ScreenPixelsPerInch(int index)
{
    CWindowDC screen(nullptr);
    const int n = screen.Get() ? GetDeviceCaps(screen.Get(), index) : 0;
    return n > 0 ? n : 96;
}

// One value of the bag as `vt`; S_FALSE when the bag lacks it.
HRESULT ReadBagValue(IPropertyBag* pBag, IErrorLog* pErrorLog, const wchar_t* name, VARTYPE vt, VARIANT& value)
{
    // The type asked for, with an empty value: a string asked for is a null
    // BSTR, which a bag may free before it answers.
    value = VARIANT{};
    value.vt = vt;
    HRESULT hr = pBag->Read(name, &value, pErrorLog);
    if (FAILED(hr)) {
        VariantClear(&value);
        return hr == E_INVALIDARG ? S_FALSE : hr;  // E_INVALIDARG: no such value
    }
    if (value.vt == vt)
        return S_OK;
    VARIANT converted;
    VariantInit(&converted);
    hr = VariantChangeType(&converted, &value, 0, vt);
    VariantClear(&value);
    if (FAILED(hr)) {
        if (pErrorLog) {
            EXCEPINFO info = {};
            info.scode = hr;
            info.bstrSource = SysAllocString(L"KIVO.KIVOCtrl");
            info.bstrDescription = SysAllocString(L"The saved value has a type the property cannot take.");
            pErrorLog->AddError(name, &info);
            SysFreeString(info.bstrSource);
            SysFreeString(info.bstrDescription);
        }
        return S_FALSE;
    }
    value = converted;
    return S_OK;
}

HRESULT WriteBagValue(IPropertyBag* pBag, const wchar_t* name, VARIANT& value)
{
    const HRESULT hr = pBag->Write(name, &value);
    VariantClear(&value);
    return hr;
}

VARIANT LongVariant(long n)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = n;
    return value;
}

} // namespace

SIZEL PixelsToHimetric(SIZE pixels)
{
    return {MulDiv(pixels.cx, 2540, ScreenPixelsPerInch(LOGPIXELSX)),
            MulDiv(pixels.cy, 2540, ScreenPixelsPerInch(LOGPIXELSY))};
}

SIZE HimetricToPixels(SIZEL himetric)
{
    return {MulDiv(himetric.cx, ScreenPixelsPerInch(LOGPIXELSX), 2540),
            MulDiv(himetric.cy, ScreenPixelsPerInch(LOGPIXELSY), 2540)};
}

CKIVOProperties CKIVOProperties::Defaults(OLE_COLOR backColor, OLE_COLOR foreColor)
{
    CKIVOProperties properties;
    properties.strKIVOCaption = kDefaultCaption;
    properties.backColor = backColor;
    properties.foreColor = foreColor;
    properties.extent = PixelsToHimetric(kInitialExtentPixels);
    return properties;
}

ULONG CKIVOProperties::StreamSize() const
{
    return static_cast<ULONG>(2 * sizeof(std::uint16_t) + 2 * sizeof(std::int32_t) + 2 * sizeof(std::uint32_t) +
                              sizeof(std::uint32_t) + strKIVOCaption.size() * sizeof(wchar_t));
}

HRESULT CKIVOProperties::Save(IStream* pStream) const
{
    if (!pStream)
        return E_POINTER;
    if (strKIVOCaption.size() > kMaxStoredCaption)
        return E_FAIL;
    HRESULT hr = Write(pStream, kVersionMajor);
    if (SUCCEEDED(hr))
        hr = Write(pStream, kVersionMinor);
    if (SUCCEEDED(hr))
        hr = Write(pStream, static_cast<std::int32_t>(extent.cx));
    if (SUCCEEDED(hr))
        hr = Write(pStream, static_cast<std::int32_t>(extent.cy));
    if (SUCCEEDED(hr))
        hr = Write(pStream, static_cast<std::uint32_t>(backColor));
    if (SUCCEEDED(hr))
        hr = Write(pStream, static_cast<std::uint32_t>(foreColor));
    if (SUCCEEDED(hr))
        hr = Write(pStream, static_cast<std::uint32_t>(strKIVOCaption.size()));
    if (SUCCEEDED(hr) && !strKIVOCaption.empty())
        hr = WriteBytes(pStream, strKIVOCaption.data(), static_cast<ULONG>(strKIVOCaption.size() * sizeof(wchar_t)));
    return hr;
}

HRESULT CKIVOProperties::Load(IStream* pStream)
{
    if (!pStream)
        return E_POINTER;
    std::uint16_t major = 0, minor = 0;
    HRESULT hr = Read(pStream, major);
    if (SUCCEEDED(hr))
        hr = Read(pStream, minor);
    if (FAILED(hr))
        return hr;
    if (major != kVersionMajor)
        return E_FAIL;  // written by a version whose layout this one does not know
    std::int32_t cx = 0, cy = 0;
    std::uint32_t back = 0, fore = 0, length = 0;
    hr = Read(pStream, cx);
    if (SUCCEEDED(hr))
        hr = Read(pStream, cy);
    if (SUCCEEDED(hr))
        hr = Read(pStream, back);
    if (SUCCEEDED(hr))
        hr = Read(pStream, fore);
    if (SUCCEEDED(hr))
        hr = Read(pStream, length);
    if (FAILED(hr))
        return hr;
    if (length > kMaxStoredCaption || cx < 0 || cy < 0)
        return E_FAIL;
    std::wstring caption(length, L'\0');
    if (length > 0) {
        hr = ReadBytes(pStream, &caption[0], length * static_cast<ULONG>(sizeof(wchar_t)));
        if (FAILED(hr))
            return hr;
    }
    strKIVOCaption.swap(caption);
    backColor = back;
    foreColor = fore;
    extent = {cx, cy};
    return S_OK;
}

HRESULT CKIVOProperties::Save(IPropertyBag* pBag) const
{
    if (!pBag)
        return E_POINTER;
    VARIANT value = LongVariant(kBagVersion);
    HRESULT hr = WriteBagValue(pBag, L"_Version", value);
    if (SUCCEEDED(hr)) {
        value = LongVariant(extent.cx);
        hr = WriteBagValue(pBag, L"_ExtentX", value);
    }
    if (SUCCEEDED(hr)) {
        value = LongVariant(extent.cy);
        hr = WriteBagValue(pBag, L"_ExtentY", value);
    }
    if (SUCCEEDED(hr)) {
        value = LongVariant(static_cast<long>(backColor));
        hr = WriteBagValue(pBag, L"BackColor", value);
    }
    if (SUCCEEDED(hr)) {
        value = LongVariant(static_cast<long>(foreColor));
        hr = WriteBagValue(pBag, L"ForeColor", value);
    }
    if (FAILED(hr))
        return hr;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(strKIVOCaption.data(), static_cast<UINT>(strKIVOCaption.size()));
    if (!value.bstrVal)
        return E_OUTOFMEMORY;
    return WriteBagValue(pBag, L"KIVOCaption", value);
}

HRESULT CKIVOProperties::Load(IPropertyBag* pBag, IErrorLog* pErrorLog)
{
    if (!pBag)
        return E_POINTER;
    CKIVOProperties loaded = *this;
    VARIANT value;
    HRESULT hr = ReadBagValue(pBag, pErrorLog, L"_Version", VT_I4, value);
    if (FAILED(hr))
        return hr;
    if (hr == S_OK && (value.lVal >> 16) != kVersionMajor)
        return E_FAIL;
    struct LongProperty {
        const wchar_t* name;
        long* pTarget;
    };
    long cx = loaded.extent.cx, cy = loaded.extent.cy;
    long back = static_cast<long>(loaded.backColor), fore = static_cast<long>(loaded.foreColor);
    const LongProperty longs[] = {
        {L"_ExtentX", &cx}, {L"_ExtentY", &cy}, {L"BackColor", &back}, {L"ForeColor", &fore}};
    for (const LongProperty& property : longs) {
        hr = ReadBagValue(pBag, pErrorLog, property.name, VT_I4, value);
        if (FAILED(hr))
            return hr;
        if (hr == S_OK)
            *property.pTarget = value.lVal;
    }
    if (cx < 0 || cy < 0)
        return E_FAIL;
    hr = ReadBagValue(pBag, pErrorLog, L"KIVOCaption", VT_BSTR, value);
    if (FAILED(hr))
        return hr;
    if (hr == S_OK) {
        loaded.strKIVOCaption.assign(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
        VariantClear(&value);
    }
    loaded.extent = {cx, cy};
    loaded.backColor = static_cast<OLE_COLOR>(back);
    loaded.foreColor = static_cast<OLE_COLOR>(fore);
    *this = std::move(loaded);
    return S_OK;
}
