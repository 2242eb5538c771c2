#include "Registration.h"

#include "ControlResource.h"
#include "KIVOCtrl.h"
#include "KIVOGuids.h"
#include "ScopedCom.h"
#include "ScopedRegKey.h"
#include "ServerModule.h"

#include <oleauto.h>
#include <olectl.h>
#include <shlwapi.h>

#include <string>

namespace kivoserver {
namespace {

std::wstring Wide(const char* text)
{
    return std::wstring(text, text + lstrlenA(text));
}

// Creates `subKey` under `hParent` and sets its default value (when given)
// and one named value (when given).
bool WriteKey(HKEY hParent, const std::wstring& subKey, const wchar_t* defaultValue,
              const wchar_t* valueName = nullptr, const wchar_t* value = nullptr)
{
    CScopedRegKey key;
    if (RegCreateKeyExW(hParent, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    auto set = [&key](const wchar_t* name, const wchar_t* data) {
        const DWORD bytes = static_cast<DWORD>((lstrlenW(data) + 1) * sizeof(wchar_t));
        return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
    };
    if (defaultValue && !set(nullptr, defaultValue))
        return false;
    return !valueName || set(valueName, value);
}


bool KeyExists(HKEY hParent, const std::wstring& subKey)
{
    CScopedRegKey key;
    return RegOpenKeyExW(hParent, subKey.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

bool DeleteTree(HKEY hParent, const std::wstring& subKey)
{
    const LONG result = SHDeleteKeyW(hParent, subKey.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

CScopedComPtr<ITypeLib> LoadModuleTypeLibrary(const std::wstring& modulePath)
{
    CScopedComPtr<ITypeLib> typeLib;
    if (FAILED(LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, reinterpret_cast<ITypeLib**>(typeLib.ReceiveVoid()))))
        typeLib.Reset();
    return typeLib;
}

HRESULT RegisterTypeLibrary(const std::wstring& modulePath)
{
    CScopedComPtr<ITypeLib> typeLib = LoadModuleTypeLibrary(modulePath);
    if (!typeLib)
        return SELFREG_E_TYPELIB;
    std::wstring path = modulePath;
    return SUCCEEDED(RegisterTypeLib(typeLib.Get(), &path[0], nullptr)) ? S_OK : SELFREG_E_TYPELIB;
}

// The registration key of one platform of the library, as RegisterTypeLib
// writes it: TypeLib\{libid}\major.minor\lcid (hex)\win32 or win64.
std::wstring TypeLibraryPlatformKey(const TLIBATTR& attr)
{
    wchar_t version[32] = {};
    wsprintfW(version, L"%x.%x\\%lx\\", attr.wMajorVerNum, attr.wMinorVerNum, static_cast<unsigned long>(attr.lcid));
    return L"TypeLib\\" + Wide(kLibidKIVOLibText) + L"\\" + version + (attr.syskind == SYS_WIN64 ? L"win64" : L"win32");
}

// Removes the library's registration for its own platform (the module's
// architecture; a 64-bit control's library registers under win64), leaving
// the other architecture's control registered. Nothing registered is success.
HRESULT UnregisterTypeLibrary(const std::wstring& modulePath)
{
    CScopedComPtr<ITypeLib> typeLib = LoadModuleTypeLibrary(modulePath);
    if (!typeLib)
        return SELFREG_E_TYPELIB;
    TLIBATTR* pAttr = nullptr;
    if (FAILED(typeLib->GetLibAttr(&pAttr)) || !pAttr)
        return SELFREG_E_TYPELIB;
    const TLIBATTR attr = *pAttr;
    typeLib->ReleaseTLibAttr(pAttr);
    if (!KeyExists(HKEY_CLASSES_ROOT, TypeLibraryPlatformKey(attr)))
        return S_OK;
    return SUCCEEDED(UnRegisterTypeLib(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind))
               ? S_OK
               : SELFREG_E_TYPELIB;
}

bool RegisterControlClass(const std::wstring& modulePath)
{
    const std::wstring clsid = Wide(kClsidKIVOCtrlText);
    const std::wstring progId = Wide(kKIVOCtrlProgId);
    const std::wstring independentProgId = Wide(kKIVOCtrlVersionIndependentProgId);
    const std::wstring typeName = ModuleString(IDS_KIVO_CTRL_TYPE);
    if (typeName.empty())
        return false;
    const std::wstring classKey = L"CLSID\\" + clsid;
    const std::wstring version = std::to_wstring(kKIVOLibMajor) + L"." + std::to_wstring(kKIVOLibMinor);
    const std::wstring bitmap = modulePath + L", 1";
    const std::wstring misc = std::to_wstring(kKIVOMiscStatus);
    return WriteKey(HKEY_CLASSES_ROOT, classKey, typeName.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", modulePath.c_str(), L"ThreadingModel",
                    L"Apartment") &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", progId.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\VersionIndependentProgID", independentProgId.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\TypeLib", Wide(kLibidKIVOLibText).c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\Version", version.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\Control", L"") &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\Insertable", L"") &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\MiscStatus", L"0") &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\MiscStatus\\1", misc.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\ToolboxBitmap32", bitmap.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, progId, typeName.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, progId + L"\\CLSID", clsid.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, independentProgId, typeName.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, independentProgId + L"\\CLSID", clsid.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, independentProgId + L"\\CurVer", progId.c_str());
}

bool RegisterPropertyPageClass(const std::wstring& modulePath)
{
    const std::wstring clsid = Wide(kClsidKIVOPropPageText);
    const std::wstring progId = Wide(kKIVOPropPageProgId);
    const std::wstring typeName = ModuleString(IDS_KIVO_PROPPAGE_TYPE);
    const std::wstring classKey = L"CLSID\\" + clsid;
    return !typeName.empty() && WriteKey(HKEY_CLASSES_ROOT, classKey, typeName.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", modulePath.c_str(), L"ThreadingModel",
                    L"Apartment") &&
           WriteKey(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", progId.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, progId, typeName.c_str()) &&
           WriteKey(HKEY_CLASSES_ROOT, progId + L"\\CLSID", clsid.c_str());
}

} // namespace

HRESULT RegisterServer()
{
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty())
        return SELFREG_E_TYPELIB;
    const HRESULT hr = RegisterTypeLibrary(modulePath);
    if (FAILED(hr))
        return hr;
    return RegisterControlClass(modulePath) && RegisterPropertyPageClass(modulePath) ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterServer()
{
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty())
        return SELFREG_E_TYPELIB;
    const HRESULT hr = UnregisterTypeLibrary(modulePath);
    if (FAILED(hr))
        return hr;
    const bool bRemoved = DeleteTree(HKEY_CLASSES_ROOT, L"CLSID\\" + Wide(kClsidKIVOCtrlText)) &&
                          DeleteTree(HKEY_CLASSES_ROOT, Wide(kKIVOCtrlProgId)) &&
                          DeleteTree(HKEY_CLASSES_ROOT, Wide(kKIVOCtrlVersionIndependentProgId)) &&
                          DeleteTree(HKEY_CLASSES_ROOT, L"CLSID\\" + Wide(kClsidKIVOPropPageText)) &&
                          DeleteTree(HKEY_CLASSES_ROOT, Wide(kKIVOPropPageProgId));
    return bRemoved ? S_OK : SELFREG_E_CLASS;
}

} // namespace kivoserver
