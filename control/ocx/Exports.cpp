// The entry points of kivo.ocx. DllMain only records the module handle:
// the control's start-up shows windows and reads the registry, which must not
// happen under the loader lock, so it runs on the first DllGetClassObject.
#include "ClassFactory.h"
#include "ControlWindow.h"
#include "KIVOApp.h"
#include "KIVOGuids.h"
#include "Registration.h"
#include "ServerModule.h"

#include <new>

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        kivoserver::SetModuleHandle(hInstance);
        DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    CClassFactory::CreateFunction create = nullptr;
    if (IsEqualCLSID(rclsid, CLSID_KIVOCtrl))
        create = &CreateKIVOCtrl;
    else if (IsEqualCLSID(rclsid, CLSID_KIVOPropPage))
        create = &CreateKIVOPropPage;
    else
        return CLASS_E_CLASSNOTAVAILABLE;
    try {
        if (!CKIVOApp::Instance().InitInstance())
            return CLASS_E_CLASSNOTAVAILABLE;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
    CClassFactory* pFactory = new (std::nothrow) CClassFactory(create);
    if (!pFactory)
        return E_OUTOFMEMORY;
    const HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    if (kivoserver::HasObjectReferences())
        return S_FALSE;
    // No control is left, so neither is a window of the control's class.
    CControlWindow::UnregisterClass();
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    try {
        return kivoserver::RegisterServer();
    } catch (...) {
        return E_FAIL;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    try {
        return kivoserver::UnregisterServer();
    } catch (...) {
        return E_FAIL;
    }
}

// "regsvr32 /n /i:user kivo.ocx" registers the control for the current user
// only, which a standard user may do; "/u /n /i:user" removes exactly that.
// Other command lines are refused rather than guessed at.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL bInstall, LPCWSTR pszCmdLine)
{
    if (!pszCmdLine || lstrcmpiW(pszCmdLine, L"user") != 0)
        return E_INVALIDARG;
    try {
        return bInstall ? kivoserver::RegisterServerForUser() : kivoserver::UnregisterServerForUser();
    } catch (...) {
        return E_FAIL;
    }
}
