// kivo.ocx as a container sees it: the OLE control interfaces, its extent
// and status bits, drawing, persistence through streams and property bags,
// connection points and property pages.
#include "OcxTestSupport.h"

#include "ControlResource.h"
#include "DialogHandles.h"
#include "GuiScript.h"
#include "ScopedHandles.h"

#include <map>

namespace {

using namespace ocxtest;

class KIVOControlTest : public KIVOServerTest {
protected:
    void SetUp() override
    {
        KIVOServerTest::SetUp();
        m_control = CreateByProgId();
        ASSERT_TRUE(m_control);
    }

    template <class T>
    CScopedComPtr<T> Query(REFIID iid)
    {
        CScopedComPtr<T> p;
        EXPECT_EQ(m_control->QueryInterface(iid, p.ReceiveVoid()), S_OK);
        return p;
    }

    std::wstring Caption()
    {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(m_control->Invoke(DispIdKIVOCaption, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                    nullptr),
                  S_OK);
        std::wstring text = result.vt == VT_BSTR ? std::wstring(result.bstrVal, SysStringLen(result.bstrVal)) : L"?";
        VariantClear(&result);
        return text;
    }

    HRESULT Put(DISPID id, VARIANT value)
    {
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS params = {&value, &put, 1, 1};
        return m_control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    }

    HRESULT PutCaption(const std::wstring& text)
    {
        CBstr value(text);
        return Put(DispIdKIVOCaption, Text(value.Get()));
    }

    HRESULT PutColor(DISPID id, OLE_COLOR color)
    {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = static_cast<LONG>(color);
        return Put(id, value);
    }

    LONG Color(DISPID id)
    {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(m_control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
        return result.vt == VT_I4 ? result.lVal : -1;
    }

    CScopedComPtr<IDispatch> m_control;
};

const wchar_t kDefaultCaption[] = L"KIVO \u7B80\u7E41\u8F6C\u6362";

TEST_F(KIVOControlTest, OffersTheInterfacesContainersAskFor)
{
    const IID offered[] = {IID_IOleObject,           IID_IOleControl,     IID_IOleWindow,
                           IID_IOleInPlaceObject,    IID_IOleInPlaceActiveObject,
                           IID_IViewObject,          IID_IViewObject2,    IID_IPersist,
                           IID_IPersistStreamInit,   IID_IPersistPropertyBag,
                           IID_IConnectionPointContainer, IID_ISpecifyPropertyPages, IID_IProvideClassInfo2};
    for (const IID& iid : offered) {
        CScopedComPtr<IUnknown> p;
        EXPECT_EQ(m_control->QueryInterface(iid, p.ReceiveVoid()), S_OK);
        // Every interface leads back to the one identity.
        CScopedComPtr<IUnknown> identity, again;
        ASSERT_EQ(p->QueryInterface(IID_IUnknown, identity.ReceiveVoid()), S_OK);
        ASSERT_EQ(m_control->QueryInterface(IID_IUnknown, again.ReceiveVoid()), S_OK);
        EXPECT_EQ(identity.Get(), again.Get());
    }
    CScopedComPtr<IUnknown> storage;
    EXPECT_EQ(m_control->QueryInterface(IID_IPersistStorage, storage.ReceiveVoid()), E_NOINTERFACE);
}

TEST_F(KIVOControlTest, StatusBitsExtentAndClass)
{
    auto object = Query<IOleObject>(IID_IOleObject);
    DWORD status = 0;
    EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 0x20591u);
    EXPECT_EQ(status & OLEMISC_SETCLIENTSITEFIRST, static_cast<DWORD>(OLEMISC_SETCLIENTSITEFIRST));
    EXPECT_EQ(status & OLEMISC_INVISIBLEATRUNTIME, static_cast<DWORD>(OLEMISC_INVISIBLEATRUNTIME));

    // 42 by 18 pixels, in HIMETRIC at the screen's resolution.
    CWindowDC screen(nullptr);
    const int dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX), dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    SIZEL extent = {};
    ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_EQ(extent.cx, MulDiv(42, 2540, dpiX));
    EXPECT_EQ(extent.cy, MulDiv(18, 2540, dpiY));
    EXPECT_EQ(object->GetExtent(DVASPECT_ICON, &extent), DV_E_DVASPECT);
    SIZEL bigger = {2000, 1000};
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &bigger), S_OK);
    auto view = Query<IViewObject2>(IID_IViewObject2);
    EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
    EXPECT_EQ(extent.cx, 2000);
    SIZEL negative = {-1, 10};
    EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &negative), E_INVALIDARG);

    CLSID clsid = {};
    EXPECT_EQ(object->GetUserClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_KIVOCtrl));
    LPOLESTR typeName = nullptr;
    ASSERT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &typeName), S_OK);
    EXPECT_EQ(std::wstring(typeName), L"KIVO Control");
    CoTaskMemFree(typeName);

    auto control = Query<IOleControl>(IID_IOleControl);
    CONTROLINFO info = {};
    info.cb = sizeof info;
    EXPECT_EQ(control->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 0);
}

TEST_F(KIVOControlTest, StockColoursAreReadWrittenAndChecked)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"BackColor"), const_cast<LPOLESTR>(L"ForeColor")};
    DISPID ids[2] = {};
    EXPECT_EQ(m_control->GetIDsOfNames(IID_NULL, &names[0], 1, 0, &ids[0]), S_OK);
    EXPECT_EQ(m_control->GetIDsOfNames(IID_NULL, &names[1], 1, 0, &ids[1]), S_OK);
    EXPECT_EQ(ids[0], -501);
    EXPECT_EQ(ids[1], -513);

    // Without a site the defaults follow the system's window colours.
    EXPECT_EQ(static_cast<OLE_COLOR>(Color(DispIdBackColor)), 0x80000000u | COLOR_WINDOW);
    EXPECT_EQ(static_cast<OLE_COLOR>(Color(DispIdForeColor)), 0x80000000u | COLOR_WINDOWTEXT);
    EXPECT_EQ(PutColor(DispIdBackColor, RGB(255, 0, 0)), S_OK);
    EXPECT_EQ(Color(DispIdBackColor), RGB(255, 0, 0));
    EXPECT_EQ(PutColor(DispIdForeColor, 0x7F000000u), CTL_E_INVALIDPROPERTYVALUE);  // no such colour
    EXPECT_EQ(static_cast<OLE_COLOR>(Color(DispIdForeColor)), 0x80000000u | COLOR_WINDOWTEXT);
}

TEST_F(KIVOControlTest, DrawsItsNameInItsColours)
{
    ASSERT_EQ(PutColor(DispIdBackColor, RGB(0, 0, 255)), S_OK);
    ASSERT_EQ(PutColor(DispIdForeColor, RGB(255, 255, 0)), S_OK);
    auto view = Query<IViewObject2>(IID_IViewObject2);

    CWindowDC screen(nullptr);
    CMemoryDC memory(screen.Get());
    CBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 60, 30));
    CSelectObject select(memory.Get(), bitmap.Get());
    CBrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
    RECT all = {0, 0, 60, 30};
    FillRect(memory.Get(), &all, white.Get());
    RECTL bounds = {5, 5, 47, 23};  // 42 x 18
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory.Get(), &bounds, nullptr, nullptr, 0),
              S_OK);
    int background = 0, strokes = 0;  // strokes: yellowish, smoothed edges included
    for (int y = 5; y < 23; ++y) {
        for (int x = 5; x < 47; ++x) {
            const COLORREF pixel = GetPixel(memory.Get(), x, y);
            background += pixel == RGB(0, 0, 255);
            strokes += GetRValue(pixel) > 128 && GetGValue(pixel) > 128;
        }
    }
    EXPECT_GT(background, 42 * 18 / 2);
    EXPECT_GT(strokes, 10);
    EXPECT_EQ(GetPixel(memory.Get(), 2, 2), RGB(255, 255, 255));  // nothing outside the bounds
    EXPECT_EQ(GetPixel(memory.Get(), 50, 25), RGB(255, 255, 255));

    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, memory.Get(), &bounds, nullptr, nullptr, 0),
              DV_E_DVASPECT);
    // Not active in place, so there is nothing to draw without bounds.
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory.Get(), nullptr, nullptr, nullptr, 0),
              E_INVALIDARG);
}

TEST_F(KIVOControlTest, ResetGivesTheDefaultsBackAndClearsTheModifiedMark)
{
    auto persist = Query<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(Caption(), kDefaultCaption);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    ASSERT_EQ(PutCaption(L"changed"), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);  // the container must save it
    ASSERT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(Caption(), kDefaultCaption);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
}

TEST_F(KIVOControlTest, StreamPersistenceRoundTrip)
{
    ASSERT_EQ(PutCaption(L"\u7E41\u9AD4 caption"), S_OK);
    ASSERT_EQ(PutColor(DispIdBackColor, RGB(1, 2, 3)), S_OK);
    ASSERT_EQ(PutColor(DispIdForeColor, RGB(4, 5, 6)), S_OK);
    auto persist = Query<IPersistStreamInit>(IID_IPersistStreamInit);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_KIVOCtrl));

    CScopedComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.ReceiveVoid())), S_OK);
    ULARGE_INTEGER size = {};
    ASSERT_EQ(persist->GetSizeMax(&size), S_OK);
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    STATSTG stat = {};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, size.QuadPart);

    // A second control loads what the first saved.
    CScopedComPtr<IDispatch> other = CreateByProgId();
    CScopedComPtr<IPersistStreamInit> otherPersist;
    ASSERT_EQ(other->QueryInterface(IID_IPersistStreamInit, otherPersist.ReceiveVoid()), S_OK);
    LARGE_INTEGER start = {};
    ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(otherPersist->Load(stream.Get()), S_OK);
    std::swap(m_control, other);
    EXPECT_EQ(Caption(), L"\u7E41\u9AD4 caption");
    EXPECT_EQ(Color(DispIdBackColor), RGB(1, 2, 3));
    EXPECT_EQ(Color(DispIdForeColor), RGB(4, 5, 6));
    std::swap(m_control, other);
}

// A stream holding exactly `bytes`.
CScopedComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes)
{
    CScopedComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.ReceiveVoid()));
    ULONG written = 0;
    if (!bytes.empty())
        stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}

TEST_F(KIVOControlTest, BadStreamsAreRefusedAndChangeNothing)
{
    ASSERT_EQ(PutCaption(L"kept"), S_OK);
    auto persist = Query<IPersistStreamInit>(IID_IPersistStreamInit);
    CScopedComPtr<IStream> good;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(good.ReceiveVoid())), S_OK);
    ASSERT_EQ(persist->Save(good.Get(), FALSE), S_OK);
    HGLOBAL hGlobal = nullptr;
    ASSERT_EQ(GetHGlobalFromStream(good.Get(), &hGlobal), S_OK);
    STATSTG stat = {};
    good->Stat(&stat, STATFLAG_NONAME);
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(hGlobal));
    const std::vector<BYTE> saved(p, p + stat.cbSize.QuadPart);
    GlobalUnlock(hGlobal);
    ASSERT_EQ(saved.size(), 24u + 4 * 2);

    std::vector<BYTE> newer = saved;
    newer[0] = 2;  // major version 2
    std::vector<BYTE> huge = saved;
    huge[20] = huge[21] = huge[22] = huge[23] = 0xFF;  // caption length 4 G units
    std::vector<BYTE> longer = saved;
    longer[20] = 200;  // more units than the stream holds
    const std::vector<BYTE> cases[] = {{}, {1, 0}, std::vector<BYTE>(saved.begin(), saved.end() - 1), newer, huge,
                                       longer};
    for (const auto& bytes : cases) {
        CScopedComPtr<IStream> stream = StreamOf(bytes);
        EXPECT_TRUE(FAILED(persist->Load(stream.Get()))) << bytes.size();
        EXPECT_EQ(Caption(), L"kept") << bytes.size();
    }
    EXPECT_EQ(persist->Load(nullptr), E_POINTER);
    CScopedComPtr<IStream> stream = StreamOf(saved);
    EXPECT_EQ(persist->Load(stream.Get()), S_OK);
    EXPECT_EQ(Caption(), L"kept");
}

// A property bag in memory, as a container that saves to text would keep it.
// It counts the variants it is handed that claim to hold a string already:
// a bag may free what it is handed before answering, so only an empty
// variant or a null string is safe to hand it.
class CMemoryBag final : public IPropertyBag {
public:
    std::map<std::wstring, VARIANT> values;
    int handedStrings = 0;
    ~CMemoryBag()
    {
        for (auto& value : values)
            VariantClear(&value.second);
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IPropertyBag)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* pValue, IErrorLog*) override
    {
        auto it = values.find(name);
        if (it == values.end())
            return E_INVALIDARG;
        const VARTYPE wanted = pValue->vt;
        if (wanted == VT_BSTR && pValue->bstrVal != nullptr)
            ++handedStrings;
        VariantInit(pValue);
        if (wanted == VT_EMPTY)
            return VariantCopy(pValue, &it->second);
        return VariantChangeType(pValue, &it->second, 0, wanted);
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* pValue) override
    {
        VARIANT copy;
        VariantInit(&copy);
        VariantCopy(&copy, pValue);
        VariantClear(&values[name]);
        values[name] = copy;
        return S_OK;
    }
};

TEST_F(KIVOControlTest, PropertyBagRoundTripWithDefaultsForMissingValues)
{
    ASSERT_EQ(PutCaption(L"bagged"), S_OK);
    ASSERT_EQ(PutColor(DispIdForeColor, RGB(9, 8, 7)), S_OK);
    auto persist = Query<IPersistPropertyBag>(IID_IPersistPropertyBag);
    CMemoryBag bag;
    ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
    for (const wchar_t* name : {L"_Version", L"_ExtentX", L"_ExtentY", L"BackColor", L"ForeColor", L"KIVOCaption"})
        EXPECT_EQ(bag.values.count(name), 1u) << name;
    EXPECT_EQ(bag.values[L"_Version"].lVal, 0x10000);

    ASSERT_EQ(PutCaption(L"other"), S_OK);
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(Caption(), L"bagged");
    EXPECT_EQ(bag.handedStrings, 0);
    EXPECT_EQ(Color(DispIdForeColor), RGB(9, 8, 7));

    // A bag that lacks the caption gives the default, not what was there.
    VariantClear(&bag.values[L"KIVOCaption"]);
    bag.values.erase(L"KIVOCaption");
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(Caption(), kDefaultCaption);

    // A newer major version is refused and changes nothing.
    ASSERT_EQ(PutCaption(L"kept"), S_OK);
    bag.values[L"_Version"].lVal = 0x20000;
    EXPECT_EQ(persist->Load(&bag, nullptr), E_FAIL);
    EXPECT_EQ(Caption(), L"kept");
}

// Records what the control tells its property sinks.
class CPropertySink final : public IPropertyNotifySink {
public:
    std::vector<DISPID> changed;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IPropertyNotifySink)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP OnChanged(DISPID id) override
    {
        changed.push_back(id);
        return S_OK;
    }
    STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }
    ULONG references = 1;
};

TEST_F(KIVOControlTest, ConnectionPointsForEventsAndPropertyChanges)
{
    auto container = Query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    CScopedComPtr<IConnectionPoint> events;
    ASSERT_EQ(container->FindConnectionPoint(DIID_DKIVOEvents, reinterpret_cast<IConnectionPoint**>(
                                                                   events.ReceiveVoid())),
              S_OK);
    IID iid = {};
    EXPECT_EQ(events->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, DIID_DKIVOEvents));
    CScopedComPtr<IConnectionPoint> missing;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, reinterpret_cast<IConnectionPoint**>(
                                                                missing.ReceiveVoid())),
              CONNECT_E_NOCONNECTION);

    CScopedComPtr<IConnectionPoint> notify;
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, reinterpret_cast<IConnectionPoint**>(
                                                                         notify.ReceiveVoid())),
              S_OK);
    CPropertySink sink;
    DWORD cookie = 0;
    // A sink without the point's interface cannot connect.
    EXPECT_EQ(events->Advise(&sink, &cookie), CONNECT_E_CANNOTCONNECT);
    ASSERT_EQ(notify->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(sink.references, 2u);
    ASSERT_EQ(PutCaption(L"x"), S_OK);
    ASSERT_EQ(PutColor(DispIdBackColor, RGB(0, 0, 0)), S_OK);
    EXPECT_EQ(sink.changed, (std::vector<DISPID>{DispIdKIVOCaption, DispIdBackColor}));
    EXPECT_EQ(notify->Unadvise(cookie), S_OK);
    EXPECT_EQ(notify->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink.references, 1u);
    ASSERT_EQ(PutCaption(L"y"), S_OK);
    EXPECT_EQ(sink.changed.size(), 2u);
}

TEST_F(KIVOControlTest, PropertyPagesAreTheControlsAndTheStockColourPage)
{
    auto pages = Query<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    CAUUID list = {};
    ASSERT_EQ(pages->GetPages(&list), S_OK);
    ASSERT_EQ(list.cElems, 2u);
    EXPECT_TRUE(IsEqualGUID(list.pElems[0], CLSID_KIVOPropPage));
    const GUID stockColorPage = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
    EXPECT_TRUE(IsEqualGUID(list.pElems[1], stockColorPage));
    CoTaskMemFree(list.pElems);
}

TEST_F(KIVOControlTest, PropertyPageClassIsRegisteredAndEditsTheCaption)
{
    const std::string pageKey = std::string("CLSID\\") + kClsidKIVOPropPageText;
    EXPECT_EQ(KeyValue(pageKey, nullptr), "KIVO Property Page");
    EXPECT_EQ(KeyValue(pageKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(KeyValue("KIVO.KIVOPropPage.1\\CLSID", nullptr), kClsidKIVOPropPageText);

    CScopedComPtr<IPropertyPage> page;
    ASSERT_EQ(CoCreateInstance(CLSID_KIVOPropPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                               page.ReceiveVoid()),
              S_OK);
    PROPPAGEINFO info = {};
    info.cb = sizeof info;
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.pszTitle), L"General");
    EXPECT_GT(info.size.cx, info.size.cy);
    CoTaskMemFree(info.pszTitle);

    ASSERT_EQ(PutCaption(L"before"), S_OK);
    IUnknown* objects[] = {m_control.Get()};
    ASSERT_EQ(page->SetObjects(1, objects), S_OK);
    HWND hFrame = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 500, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hFrame, nullptr);
    RECT area = {0, 0, 400, 100};
    ASSERT_EQ(page->Activate(hFrame, &area, TRUE), S_OK);
    HWND hPage = GetWindow(hFrame, GW_CHILD);
    ASSERT_NE(hPage, nullptr);
    HWND hEdit = GetDlgItem(hPage, IDC_PROPPAGE_CAPTION);
    ASSERT_NE(hEdit, nullptr);
    wchar_t text[64] = {};
    GetWindowTextW(hEdit, text, 64);
    EXPECT_EQ(std::wstring(text), L"before");  // control to page
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);

    SetWindowTextW(hEdit, L"after");
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_EQ(Caption(), L"before");  // nothing changes before Apply
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(Caption(), L"after");  // page to control
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);

    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->Deactivate(), E_UNEXPECTED);
    EXPECT_EQ(page->SetObjects(1, nullptr), E_POINTER);
    IUnknown* notControls[] = {page.Get()};
    EXPECT_EQ(page->SetObjects(1, notControls), E_NOINTERFACE);
    EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
    DestroyWindow(hFrame);
}

TEST_F(KIVOControlTest, VerbsWithoutASiteFailCleanly)
{
    auto object = Query<IOleObject>(IID_IOleObject);
    RECT position = {0, 0, 42, 18};
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, &position), E_UNEXPECTED);
    EXPECT_EQ(object->DoVerb(OLEIVERB_OPEN, nullptr, nullptr, 0, nullptr, &position), E_NOTIMPL);
    auto inPlace = Query<IOleInPlaceObject>(IID_IOleInPlaceObject);
    HWND hWnd = reinterpret_cast<HWND>(1);
    EXPECT_EQ(inPlace->GetWindow(&hWnd), E_FAIL);
    EXPECT_EQ(hWnd, nullptr);
    EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
}

BOOL CALLBACK FindCaptionEdit(HWND hWnd, LPARAM lParam)
{
    if (GetDlgCtrlID(hWnd) != IDC_PROPPAGE_CAPTION)
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

TEST_F(KIVOControlTest, PropertiesVerbShowsThePagesInAFrame)
{
    auto object = Query<IOleObject>(IID_IOleObject);
    ASSERT_EQ(PutCaption(L"framed"), S_OK);
    std::wstring shown;
    bool bFound = false;
    lumbratest::CGuiScript script({[&](HWND hFrame) {
        // The frame holds the page, which shows the caption.
        HWND hEdit = nullptr;
        EnumChildWindows(hFrame, &FindCaptionEdit, reinterpret_cast<LPARAM>(&hEdit));
        if (hEdit) {
            wchar_t text[64] = {};
            GetWindowTextW(hEdit, text, 64);
            shown = text;
            bFound = true;
        }
        PostMessageW(hFrame, WM_COMMAND, IDCANCEL, 0);
    }});
    RECT position = {0, 0, 42, 18};
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, &position), S_OK);
    EXPECT_TRUE(bFound);
    EXPECT_EQ(shown, L"framed");
    EXPECT_FALSE(script.Forced());
    EXPECT_EQ(Caption(), L"framed");  // cancelled: nothing applied
}

} // namespace
