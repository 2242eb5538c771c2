#include "ActiveXHost.h"

#include "ModuleExport.h"
#include "ScopedCom.h"

namespace {

using AxWinInitFunction = BOOL(WINAPI*)();
using AxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
using AxCreateControlFunction = HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**);
using AxAttachControlFunction = HRESULT(WINAPI*)(IUnknown*, HWND, IUnknown**);

// The container's entry points, found once. The library stays loaded for the
// process: its window class must outlive every window of it.
struct CContainerLibrary {
    AxWinInitFunction pfnInit = nullptr;
    AxGetControlFunction pfnGetControl = nullptr;
    AxCreateControlFunction pfnCreateControl = nullptr;
    AxAttachControlFunction pfnAttachControl = nullptr;
    bool bInitialised = false;

    CContainerLibrary()
    {
        HMODULE hModule = LoadLibraryW(L"atl.dll");
        if (!hModule)
            return;
        pfnInit = ModuleExport<AxWinInitFunction>(hModule, "AtlAxWinInit");
        pfnGetControl = ModuleExport<AxGetControlFunction>(hModule, "AtlAxGetControl");
        pfnCreateControl = ModuleExport<AxCreateControlFunction>(hModule, "AtlAxCreateControl");
        pfnAttachControl = ModuleExport<AxAttachControlFunction>(hModule, "AtlAxAttachControl");
    }
    bool IsComplete() const { return pfnInit && pfnGetControl && pfnCreateControl; }
};

CContainerLibrary& Container()
{
    static CContainerLibrary library;
    return library;
}

} // namespace

bool InitActiveXHosting()
{
    CContainerLibrary& library = Container();
    if (!library.IsComplete())
        return false;
    // The window class is registered once per process.
    if (!library.bInitialised)
        library.bInitialised = library.pfnInit() != FALSE;
    return library.bInitialised;
}

HRESULT GetHostedControl(HWND hContainer, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    CContainerLibrary& library = Container();
    if (!library.IsComplete() || !IsWindow(hContainer))
        return E_FAIL;
    CScopedComPtr<IUnknown> control;
    const HRESULT hr = library.pfnGetControl(hContainer, reinterpret_cast<IUnknown**>(control.ReceiveVoid()));
    if (FAILED(hr) || !control)
        return E_FAIL;
    return control->QueryInterface(riid, ppv);
}

HRESULT CreateHostedControl(HWND hContainer, const wchar_t* name)
{
    CContainerLibrary& library = Container();
    if (!library.IsComplete() || !IsWindow(hContainer) || !name)
        return E_INVALIDARG;
    return library.pfnCreateControl(name, hContainer, nullptr, nullptr);
}

HRESULT AttachHostedControl(HWND hContainer, IUnknown* pControl)
{
    CContainerLibrary& library = Container();
    if (!library.pfnAttachControl || !IsWindow(hContainer) || !pControl)
        return E_INVALIDARG;
    return library.pfnAttachControl(pControl, hContainer, nullptr);
}
