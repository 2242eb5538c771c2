#include "ServerModule.h"

#include "ScopedCom.h"

#include <atomic>

namespace kivoserver {
namespace {

HINSTANCE g_hInstance = nullptr;
std::atomic<long> g_nReferences{0};

} // namespace

HINSTANCE ModuleHandle() { return g_hInstance; }
void SetModuleHandle(HINSTANCE hInstance) { g_hInstance = hInstance; }

std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(g_hInstance, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ModuleString(UINT nId)
{
    const wchar_t* pText = nullptr;
    const int n = ::LoadStringW(g_hInstance, nId, reinterpret_cast<LPWSTR>(&pText), 0);
    return n > 0 && pText ? std::wstring(pText, static_cast<std::size_t>(n)) : std::wstring();
}

void AddObjectReference() { ++g_nReferences; }
void ReleaseObjectReference() { --g_nReferences; }
bool HasObjectReferences() { return g_nReferences.load() != 0; }

HRESULT LoadTypeInfo(REFGUID guid, ITypeInfo** ppTypeInfo)
{
    if (!ppTypeInfo)
        return E_POINTER;
    *ppTypeInfo = nullptr;
    const std::wstring path = ModulePath();
    if (path.empty())
        return E_FAIL;
    CScopedComPtr<ITypeLib> typeLib;
    const HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, reinterpret_cast<ITypeLib**>(typeLib.ReceiveVoid()));
    if (FAILED(hr))
        return hr;
    return typeLib->GetTypeInfoOfGuid(guid, ppTypeInfo);
}

} // namespace kivoserver
