#include "PerUserClass.h"

#include "ModuleExport.h"
#include "ScopedCom.h"
#include "ScopedRegKey.h"

namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);

// The default value of a per-user classes key; empty when it is missing.
std::wstring DefaultValue(const std::wstring& subKey)
{
    CScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, PerUserClassesKey(subKey).c_str(), 0, KEY_QUERY_VALUE, key.Receive()) !=
        ERROR_SUCCESS)
        return std::wstring();
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    value[size / sizeof(wchar_t)] = L'\0';
    if (type == REG_SZ)
        return value;
    wchar_t expanded[MAX_PATH + 1] = {};
    const DWORD length = ExpandEnvironmentStringsW(value, expanded, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH + 1 ? expanded : std::wstring();
}

std::wstring ClassIdText(REFCLSID clsid)
{
    wchar_t text[40] = {};
    return StringFromGUID2(clsid, text, 40) > 0 ? text : std::wstring();
}

} // namespace

std::wstring PerUserClassesKey(const std::wstring& subKey)
{
    return L"Software\\Classes\\" + subKey;
}

bool IsPerUserClassRegistered(const wchar_t* clsidText)
{
    CScopedRegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, PerUserClassesKey(std::wstring(L"CLSID\\") + clsidText).c_str(), 0,
                         KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

bool PerUserClassIdFromProgId(const wchar_t* progId, CLSID& clsid)
{
    const std::wstring text = DefaultValue(std::wstring(progId) + L"\\CLSID");
    return !text.empty() && SUCCEEDED(CLSIDFromString(text.c_str(), &clsid));
}

HRESULT CreatePerUserInstance(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    const std::wstring clsidText = ClassIdText(clsid);
    const std::wstring module = DefaultValue(L"CLSID\\" + clsidText + L"\\InprocServer32");
    if (clsidText.empty() || module.empty())
        return REGDB_E_CLASSNOTREG;
    // Only a full path is taken: a bare name would be looked for along the
    // search path, where anything may answer to it.
    if (module.size() < 3 || (module[1] != L':' && module.compare(0, 2, L"\\\\") != 0))
        return CO_E_ERRORINDLL;
    HMODULE hModule = LoadLibraryExW(module.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!hModule)
        return HRESULT_FROM_WIN32(GetLastError());
    const auto getClassObject = ModuleExport<GetClassObjectFunction>(hModule, "DllGetClassObject");
    if (!getClassObject)
        return CO_E_ERRORINDLL;
    CScopedComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, factory.ReceiveVoid());
    if (FAILED(hr) || !factory)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    return factory->CreateInstance(nullptr, riid, ppv);
}
