// kivo.ocx under a hostile host: IDispatch::Invoke on every member (and on
// numbers that are none) with random flags, argument counts, arguments of
// every type by value and by reference, null pointers, named arguments, and
// huge and empty strings. Every answer must be an automation error or the
// member's defined result, no argument object may be kept, and a correct
// call after each bad one must still convert. A fixed seed and a fixed
// number of calls make every run the same.
#include "OcxTestSupport.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <random>

namespace {

using namespace ocxtest;

constexpr unsigned kSeed = 18;
constexpr int kBadCalls = 4000;
constexpr int kMaxArguments = 4;
constexpr UINT kHugeUnits = 1u << 18;  // half a megabyte of text: eight times what one transfer takes
constexpr std::size_t kHostArrayElements = 32767;  // what a host's CharCode array holds

const DISPID kMembers[] = {DispIdKIVOCaption, DispIdManagement, DispIdCodeTransfer,
                           DispIdConvertText, DispIdBackColor,  DispIdForeColor};
const DISPID kNotMembers[] = {DISPID_VALUE, DISPID_UNKNOWN, DISPID_PROPERTYPUT, DISPID_NEWENUM, 5, 99, INT_MAX, INT_MIN};
const WORD kFlags[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                       DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF,
                       DISPATCH_METHOD | DISPATCH_PROPERTYPUT, 0, 0xFFFF};
const VARTYPE kTypes[] = {VT_EMPTY, VT_NULL,    VT_I2,  VT_I4,   VT_R4,      VT_R8,    VT_CY,   VT_DATE,
                          VT_BSTR,  VT_DISPATCH, VT_ERROR, VT_BOOL, VT_VARIANT, VT_UNKNOWN, VT_DECIMAL, VT_I1,
                          VT_UI1,   VT_UI2,     VT_UI4, VT_I8,   VT_UI8,     VT_INT,   VT_UINT, VT_RECORD,
                          VT_VOID,  VT_HRESULT, VT_PTR, VT_LPSTR, VT_LPWSTR, 0x7F,     0xFFF};
const wchar_t kChinese[] = L"\u5934\u53D1\u4E2D\u56FD\n\u65B0\u897F\u5170";

// The errors an automation member may answer a bad call with.
const HRESULT kAutomationErrors[] = {DISP_E_BADPARAMCOUNT,   DISP_E_BADVARTYPE,  DISP_E_EXCEPTION,
                                     DISP_E_MEMBERNOTFOUND,  DISP_E_NONAMEDARGS, DISP_E_OVERFLOW,
                                     DISP_E_PARAMNOTFOUND,   DISP_E_TYPEMISMATCH, DISP_E_UNKNOWNINTERFACE,
                                     DISP_E_PARAMNOTOPTIONAL, E_INVALIDARG,       E_POINTER,
                                     E_OUTOFMEMORY,          CTL_E_INVALIDPROPERTYVALUE};

bool IsAutomationError(HRESULT hr)
{
    return std::find(std::begin(kAutomationErrors), std::end(kAutomationErrors), hr) != std::end(kAutomationErrors);
}

// A variant of no type with every byte zero: whichever member is read, its
// pointers are null.
VARIANT ZeroVariant()
{
    VARIANT v;
    std::memset(&v, 0, sizeof v);
    return v;
}

// An object a host passes as an argument: its value is the number 7. It
// counts its references, so that an argument kept by the control shows.
class CArgumentObject final : public IDispatch {
public:
    ULONG References() const { return m_nReferences; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch))
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nReferences; }
    STDMETHODIMP_(ULONG) Release() override { return --m_nReferences; }
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        if (pctinfo)
            *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD wFlags, DISPPARAMS*, VARIANT* pResult, EXCEPINFO*,
                        UINT*) override
    {
        if (id != DISPID_VALUE || !(wFlags & DISPATCH_PROPERTYGET) || !pResult)
            return DISP_E_MEMBERNOTFOUND;
        VariantInit(pResult);
        pResult->vt = VT_I4;
        pResult->lVal = 7;
        return S_OK;
    }

private:
    ULONG m_nReferences = 1;
};

// Everything the arguments of one call point to, freed when the call is over.
class CArgumentStore {
public:
    CArgumentStore(std::mt19937& rng, IDispatch* pObject, BSTR hugeText)
        : m_rng(rng), m_pObject(pObject), m_hugeText(hugeText)
    {
    }
    ~CArgumentStore()
    {
        for (BSTR text : m_texts)
            SysFreeString(text);
        for (SAFEARRAY* pArray : m_arrays)
            SafeArrayDestroy(pArray);
    }
    CArgumentStore(const CArgumentStore&) = delete;
    CArgumentStore& operator=(const CArgumentStore&) = delete;

    // An argument of a random type, by value or by reference, its pointers
    // null now and then. `nDepth` bounds variants inside variants.
    VARIANT Argument(int nDepth = 0)
    {
        const VARTYPE type = kTypes[m_rng() % std::size(kTypes)];
        switch (m_rng() % 5) {
        case 0:
            return ByReference(type, nDepth);
        case 1:
            return Array(type);
        default:
            return ByValue(type, nDepth);
        }
    }

    // The arguments `dispId` takes with these flags, of the types it
    // declares, in the caller's order: a call that gets past the checks of
    // the argument list, whatever the values then do.
    std::vector<VARIANT> Declared(DISPID dispId, WORD wFlags)
    {
        const bool bPut = (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        if (bPut && (dispId == DispIdBackColor || dispId == DispIdForeColor))
            return {Scalar(VT_I4, Now(2) ? 0x80000000 | m_rng() % 32 : m_rng())};
        if (bPut)
            return {String()};
        switch (dispId) {
        case DispIdManagement:
            return {ShortsArgument()};
        case DispIdCodeTransfer:
            return {ShortsArgument(), ShortsArgument()};
        case DispIdConvertText:
            return {String(), Scalar(VT_I2, m_rng() % 8 - 1), Scalar(VT_I2, m_rng() % 8 - 1)};
        default:
            return {};
        }
    }

    // A CodeTransfer or Management array: as many elements as CodeTransfer
    // may write, led by a command that only answers (2) or that does nothing.
    short* Shorts()
    {
        m_shorts.emplace_back(kHostArrayElements, static_cast<short>(m_rng()));
        std::vector<short>& shorts = m_shorts.back();
        const short commands[] = {2, 3, 4, -5, 32767};
        shorts[0] = commands[m_rng() % std::size(commands)];
        shorts[1] = static_cast<short>(m_rng() % 8) - 1;
        shorts[2] = static_cast<short>(m_rng() % 40000) - 10;
        return shorts.data();
    }

private:
    bool Now(unsigned nOneIn) { return m_rng() % nOneIn == 0; }

    VARIANT ShortsArgument()
    {
        VARIANT v = ZeroVariant();
        v.vt = VT_I2 | VT_BYREF;
        v.piVal = Shorts();
        return v;
    }

    VARIANT String()
    {
        VARIANT v = ZeroVariant();
        v.vt = VT_BSTR;
        v.bstrVal = Text();
        return v;
    }

    static VARIANT Scalar(VARTYPE type, unsigned nValue)
    {
        VARIANT v = ZeroVariant();
        v.vt = type;
        v.lVal = static_cast<LONG>(nValue);
        return v;
    }

    BSTR Text()
    {
        switch (m_rng() % 7) {
        case 0:
            return nullptr;
        case 1:
            return Keep(SysAllocStringLen(L"", 0));
        case 2:
            return Keep(SysAllocStringByteLen("\xD6\xD0\xB9", 3));  // an odd number of bytes
        case 3:
            return Keep(SysAllocStringLen(L"a\0b", 3));  // a zero character inside
        case 4:
            return m_hugeText;
        default:
            return Keep(SysAllocString(kChinese));
        }
    }

    BSTR Keep(BSTR text)
    {
        m_texts.push_back(text);
        return text;
    }

    VARIANT ByValue(VARTYPE type, int nDepth)
    {
        VARIANT v = ZeroVariant();
        v.vt = type;
        switch (type) {
        case VT_BSTR:
            v.bstrVal = Text();
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            v.pdispVal = Now(2) ? nullptr : m_pObject;
            break;
        case VT_VARIANT:  // only by reference; by value it is a bad type
            v.vt = nDepth < 2 ? VT_VARIANT | VT_BYREF : VT_VARIANT;
            v.pvarVal = nDepth < 2 ? Nested(nDepth) : nullptr;
            break;
        case VT_RECORD:
            v.pvRecord = nullptr;
            v.pRecInfo = nullptr;
            break;
        case VT_DECIMAL:
            v.decVal.Lo64 = m_rng();
            v.vt = VT_DECIMAL;  // shares its place with the decimal's reserved word
            break;
        case VT_PTR:
        case VT_LPSTR:
        case VT_LPWSTR:
            break;  // types no variant may hold, with null pointers
        default:  // a transfer code now and then, else any bits
            v.llVal = Now(2) ? static_cast<LONGLONG>(m_rng() % 7) : static_cast<LONGLONG>(m_rng()) << (m_rng() % 40);
            break;
        }
        return v;
    }

    VARIANT* Nested(int nDepth)
    {
        if (Now(4))
            return nullptr;
        m_slots.push_back(Argument(nDepth + 1));
        return &m_slots.back();
    }

    VARIANT ByReference(VARTYPE type, int nDepth)
    {
        VARIANT v = ZeroVariant();
        v.vt = type | VT_BYREF;
        if (Now(4))
            return v;  // a null pointer
        if (type == VT_I2) {
            v.piVal = Shorts();
            return v;
        }
        if (type == VT_VARIANT) {
            v.pvarVal = Nested(nDepth);
            return v;
        }
        // Any other type points into a variant of its own that holds a value of it.
        m_slots.push_back(ByValue(type, nDepth));
        VARIANT& slot = m_slots.back();
        v.byref = type == VT_DECIMAL ? static_cast<void*>(&slot.decVal) : static_cast<void*>(&slot.llVal);
        return v;
    }

    VARIANT Array(VARTYPE type)
    {
        VARIANT v = ZeroVariant();
        v.vt = VT_ARRAY | type;
        if (Now(3))
            return v;  // no array at all
        SAFEARRAYBOUND bound = {m_rng() % 4, 0};
        const bool bArrayType = type == VT_I2 || type == VT_UI1 || type == VT_BSTR || type == VT_VARIANT;
        const VARTYPE element = bArrayType ? type : static_cast<VARTYPE>(VT_I4);
        v.vt = VT_ARRAY | element;
        v.parray = SafeArrayCreate(element, 1, &bound);
        if (v.parray)
            m_arrays.push_back(v.parray);
        if (Now(2)) {
            m_slots.push_back(v);
            VARIANT byReference = ZeroVariant();
            byReference.vt = VT_ARRAY | VT_BYREF | element;
            byReference.pparray = &m_slots.back().parray;
            return byReference;
        }
        return v;
    }

    std::mt19937& m_rng;
    IDispatch* m_pObject;
    BSTR m_hugeText;  // owned by the test
    std::vector<BSTR> m_texts;
    std::vector<SAFEARRAY*> m_arrays;
    std::deque<VARIANT> m_slots;  // never moved: arguments point into them
    std::deque<std::vector<short>> m_shorts;
};

// The type of a successful answer of `dispId`, VT_ILLEGAL where none may succeed.
VARTYPE DefinedResult(DISPID dispId, WORD wFlags)
{
    const bool bPut = (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    switch (dispId) {
    case DispIdKIVOCaption:
        return bPut ? VT_EMPTY : VT_BSTR;
    case DispIdBackColor:
    case DispIdForeColor:
        return bPut ? VT_EMPTY : VT_I4;
    case DispIdManagement:
    case DispIdCodeTransfer:
        return VT_I2;
    case DispIdConvertText:
        return VT_BSTR;
    default:
        return VT_ILLEGAL;
    }
}

// How a host calls `dispId`: a method as a method, a property read or written.
WORD NaturalFlags(DISPID dispId, std::mt19937& rng)
{
    if (dispId == DispIdManagement || dispId == DispIdCodeTransfer || dispId == DispIdConvertText)
        return DISPATCH_METHOD;
    return rng() % 2 ? DISPATCH_PROPERTYGET : DISPATCH_PROPERTYPUT;
}

// A crash of the control ends the test with the call that caused it, rather
// than with a debugger's dialog that waits for a user until the timeout.
class CCrashReport {
public:
    CCrashReport() : m_previous(SetUnhandledExceptionFilter(&CCrashReport::Report)) {}
    ~CCrashReport() { SetUnhandledExceptionFilter(m_previous); }
    CCrashReport(const CCrashReport&) = delete;
    CCrashReport& operator=(const CCrashReport&) = delete;

    void During(const std::string& call) { s_call = call; }

private:
    static LONG WINAPI Report(EXCEPTION_POINTERS* pException)
    {
        std::fprintf(stderr, "The process crashed (exception %08lx) in %s\n",
                     static_cast<unsigned long>(pException->ExceptionRecord->ExceptionCode), s_call.c_str());
        std::fflush(stderr);
        ExitProcess(3);
    }

    LPTOP_LEVEL_EXCEPTION_FILTER m_previous;
    static inline std::string s_call;
};

class KIVOHostileHostTest : public KIVOServerTest {
protected:
    void SetUp() override
    {
        KIVOServerTest::SetUp();
        m_control = CreateByProgId();
        ASSERT_TRUE(m_control);
        ASSERT_EQ(SysStringLen(m_hugeText.Get()), kHugeUnits);
    }

    static std::wstring HugeText()
    {
        std::wstring text(kHugeUnits, L' ');
        for (UINT i = 0; i < kHugeUnits; ++i)
            text[i] = kChinese[i % (std::size(kChinese) - 1)];
        return text;
    }

    // GBK "zhong guo" to Big5 through CodeTransfer, as a host calls it.
    void ExpectCodeTransferStillConverts(int nCall)
    {
        std::vector<short> text(kHostArrayElements, 0);
        const short gbk[] = {-42, -48, -71, -6};  // D6 D0 B9 FA
        std::copy(std::begin(gbk), std::end(gbk), text.begin());
        short codes[3] = {0, 1, 4};
        VARIANT result;
        ASSERT_EQ(Call(m_control.Get(), DispIdCodeTransfer, {ShortsRef(text.data()), ShortsRef(codes)}, &result),
                  S_OK)
            << "after call " << nCall;
        EXPECT_EQ(result.iVal, 4) << "after call " << nCall;
        EXPECT_EQ(std::vector<short>(text.begin(), text.begin() + 4), (std::vector<short>{-92, -92, -80, -22}))
            << "after call " << nCall;  // A4 A4 B0 EA
    }

    // One call as the generator makes it; checks its answer.
    void BadCall(std::mt19937& rng, int nCall)
    {
        CArgumentStore store(rng, &m_object, m_hugeText.Get());
        // Mostly members, mostly called the way they are meant to be, so
        // that most calls get past the first check.
        const DISPID dispId = rng() % 5 ? kMembers[rng() % std::size(kMembers)] : kNotMembers[rng() % std::size(kNotMembers)];
        const WORD wFlags = rng() % 2 ? NaturalFlags(dispId, rng) : kFlags[rng() % std::size(kFlags)];
        // The declared arguments, one of them replaced now and then, or any
        // number of any arguments; last first, as Invoke takes them.
        std::vector<VARIANT> arguments;
        if (rng() % 2) {
            arguments = store.Declared(dispId, wFlags);
            if (!arguments.empty() && rng() % 2)
                arguments[rng() % arguments.size()] = store.Argument();
        } else {
            for (UINT i = 0, n = rng() % (kMaxArguments + 1); i < n; ++i)
                arguments.push_back(rng() % 2 ? store.Argument() : ShortsRef(store.Shorts()));
        }
        std::reverse(arguments.begin(), arguments.end());
        const UINT nArguments = static_cast<UINT>(arguments.size());
        std::vector<DISPID> named;
        if ((wFlags & DISPATCH_PROPERTYPUT) && rng() % 2) {
            named.push_back(DISPID_PROPERTYPUT);
        } else if (rng() % 6 == 0) {
            named.resize(rng() % (nArguments + 2));
            for (DISPID& id : named)
                id = rng() % 2 ? DISPID_PROPERTYPUT : static_cast<DISPID>(rng() % 5) - 1;
        }
        DISPPARAMS params = {arguments.empty() || rng() % 10 == 0 ? nullptr : arguments.data(),
                             named.empty() || rng() % 10 == 0 ? nullptr : named.data(),
                             static_cast<UINT>(arguments.size()), static_cast<UINT>(named.size())};
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception = {};
        UINT nArgumentError = UINT_MAX;
        const bool bResult = rng() % 5 != 0, bException = rng() % 3 != 0, bArgumentError = rng() % 3 != 0;
        const IID& iid = rng() % 20 == 0 ? IID_IDispatch : IID_NULL;
        const LCID lcids[] = {LOCALE_USER_DEFAULT, 0, 0x0804, 0xFFFFFFFF};
        const LCID lcid = lcids[rng() % std::size(lcids)];
        DISPPARAMS* pParams = rng() % 20 == 0 ? nullptr : &params;
        const std::string call = "call " + std::to_string(nCall) + ": member " + std::to_string(dispId) + ", flags " +
                                 std::to_string(wFlags) + ", " + std::to_string(nArguments) + " arguments";
        m_crashReport.During(call);
        const HRESULT hr = m_control->Invoke(dispId, iid, lcid, wFlags, pParams, bResult ? &result : nullptr,
                                             bException ? &exception : nullptr,
                                             bArgumentError ? &nArgumentError : nullptr);
        EXPECT_EQ(m_object.References(), 1u) << call << ": an argument object was kept";
        if (SUCCEEDED(hr)) {
            EXPECT_TRUE(IsEqualIID(iid, IID_NULL)) << call;
            ExpectDefinedResult(hr, dispId, wFlags, bResult ? &result : nullptr, call);
            VariantClear(&result);
            return;
        }
        EXPECT_TRUE(IsAutomationError(hr)) << call << ": " << std::hex << hr;
        EXPECT_EQ(result.vt, VT_EMPTY) << call << ": a result with an error";
        if (hr == DISP_E_EXCEPTION) {
            EXPECT_TRUE(bException && FAILED(exception.scode) && exception.bstrDescription) << call;
            SysFreeString(exception.bstrSource);
            SysFreeString(exception.bstrDescription);
            SysFreeString(exception.bstrHelpFile);
        }
        if (bArgumentError && (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND)) {
            EXPECT_LT(nArgumentError, nArguments) << call << ": the argument at fault";
        }
    }

    static void ExpectDefinedResult(HRESULT hr, DISPID dispId, WORD wFlags, const VARIANT* pResult,
                                    const std::string& call)
    {
        EXPECT_EQ(hr, S_OK) << call;
        const VARTYPE defined = DefinedResult(dispId, wFlags);
        ASSERT_NE(defined, VT_ILLEGAL) << call << " succeeded";
        if (!pResult)
            return;
        EXPECT_EQ(pResult->vt, defined) << call;
        if (dispId == DispIdCodeTransfer) {
            EXPECT_GE(pResult->iVal, -1) << call;
        }
        if (dispId == DispIdManagement) {
            EXPECT_TRUE(pResult->iVal == 0 || pResult->iVal == 1) << call;
        }
    }

    CCrashReport m_crashReport;
    CScopedComPtr<IDispatch> m_control;
    CArgumentObject m_object;
    const CBstr m_hugeText{HugeText()};
};

TEST_F(KIVOHostileHostTest, EveryBadCallGetsAnAutomationErrorOrTheDefinedResult)
{
    std::mt19937 rng(kSeed);
    for (int nCall = 0; nCall < kBadCalls; ++nCall) {
        BadCall(rng, nCall);
        ExpectCodeTransferStillConverts(nCall);
        if (HasFailure())
            return;
    }
    std::wstring out;
    EXPECT_EQ(ConvertText(m_control.Get(), L"\u4E2D\u56FD", 0, 1, out), S_OK);
    EXPECT_EQ(out, L"\u4E2D\u570B");
}

} // namespace
