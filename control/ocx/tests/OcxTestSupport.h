// What the control's host tests share: the module loaded into the test
// process with its exports at hand, the Lumbra folder its start-up looks for,
// creation by ProgID and calls through IDispatch.
#pragma once

#include "KIVOGuids.h"
#include "LumbraTestSupport.h"
#include "ModuleExport.h"
#include "ScopedCom.h"
#include "ScopedRegKey.h"
#include "SettingsRegistry.h"

#include <gtest/gtest.h>

#include <oleauto.h>
#include <olectl.h>
#include <windows.h>

#include <string>
#include <vector>

namespace ocxtest {

using RegisterFunction = HRESULT(STDAPICALLTYPE*)();

// The control's settings, in the view every program of the product uses.
constexpr char kSettingsKey[] = "software\\Perdix\\KIVO\\1.5";
constexpr char kLumbraKey[] = "software\\Perdix\\KIVO\\1.5\\Path";

inline bool KeyExists(const std::string& subKey)
{
    CScopedRegKey key;
    return RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

inline std::string KeyValue(const std::string& subKey, const char* name)
{
    CScopedRegKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return "<no key>";
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1, type = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return "<no value>";
    return buffer;
}

class CBstr {
public:
    explicit CBstr(const std::wstring& text) : m_b(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~CBstr() { SysFreeString(m_b); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    BSTR Get() const { return m_b; }

private:
    BSTR m_b;
};

// The module loaded into the test process, so its exports can be called
// directly, and the Lumbra folder start-up looks for.
class KIVOServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(settingstest::PutString(HKEY_LOCAL_MACHINE, kLumbraKey, "Lumbra Root Folder",
                                            lumbratest::LumbraData()));
        s_hModule = LoadLibraryA(lumbratest::WindowsPath(KIVO_OCX_PATH).c_str());
        ASSERT_NE(s_hModule, nullptr);
    }

    // The prefix is left as a fresh one would be: the control not registered.
    static void TearDownTestSuite() { EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK); }

    static HRESULT CallExport(const char* name)
    {
        auto function = ModuleExport<RegisterFunction>(s_hModule, name);
        return function ? function() : E_NOTIMPL;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_com.IsUsable());
        ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
    }

    CScopedComPtr<IDispatch> CreateByProgId()
    {
        CScopedComPtr<IDispatch> control;
        CLSID clsid = {};
        EXPECT_EQ(CLSIDFromProgID(L"KIVO.KIVOCtrl.1", &clsid), S_OK);
        EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_KIVOCtrl));
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.ReceiveVoid()), S_OK);
        return control;
    }

    static HRESULT Call(IDispatch* control, DISPID id, std::vector<VARIANT> argsInOrder, VARIANT* result,
                        EXCEPINFO* exception = nullptr)
    {
        std::vector<VARIANT> reversed(argsInOrder.rbegin(), argsInOrder.rend());
        DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr,
                             static_cast<UINT>(reversed.size()), 0};
        UINT argError = 0;
        VariantInit(result);
        return control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, exception,
                               &argError);
    }

    // Management with the command array {command, argument}; -99 when the
    // call itself failed.
    static short Management(IDispatch* control, short command, short argument)
    {
        short values[2] = {command, argument};
        VARIANT result;
        EXPECT_EQ(Call(control, DispIdManagement, {ShortsRef(values)}, &result), S_OK);
        return result.vt == VT_I2 ? result.iVal : -99;
    }

    static VARIANT ShortsRef(short* values)
    {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I2 | VT_BYREF;
        v.piVal = values;
        return v;
    }
    static VARIANT Short(short value)
    {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I2;
        v.iVal = value;
        return v;
    }
    static VARIANT Text(BSTR text)
    {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = text;
        return v;
    }

    // ConvertText; the error (or S_OK) and the result text.
    static HRESULT ConvertText(IDispatch* control, const std::wstring& text, short source, short destination,
                        std::wstring& out)
    {
        CBstr input(text);
        VARIANT result;
        EXCEPINFO exception = {};
        const HRESULT hr = Call(control, DispIdConvertText, {Text(input.Get()), Short(source), Short(destination)},
                                &result, &exception);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        if (hr == DISP_E_EXCEPTION)
            return exception.scode;
        if (SUCCEEDED(hr) && result.vt == VT_BSTR)
            out.assign(result.bstrVal, SysStringLen(result.bstrVal));
        VariantClear(&result);
        return hr;
    }

    CScopedOleInit m_com;  // OLE, not only COM: the hosting tests activate the control in place
    static inline HMODULE s_hModule = nullptr;
};

} // namespace ocxtest
