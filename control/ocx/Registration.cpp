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
#include <vector>

namespace kivoserver {
namespace {

std::wstring Wide(const char* text)
{
    return std::wstring(text, text + lstrlenA(text));
}

// Where class registrations go: HKEY_CLASSES_ROOT for the machine, or
// HKEY_CURRENT_USER\Software\Classes for one user.
struct ClassesRoot {
    HKEY hive;
    const wchar_t* prefix;
    std::wstring Key(const std::wstring& subKey) const { return prefix + subKey; }
};
const ClassesRoot kMachineClasses = {HKEY_CLASSES_ROOT, L""};
const ClassesRoot kUserClasses = {HKEY_CURRENT_USER, L"Software\\Classes\\"};

// Creates `subKey` under `hParent` and sets its default value (when given)
// and one named value (when given).
bool WriteKey(const ClassesRoot& root, const std::wstring& subKey, const wchar_t* defaultValue,
              const wchar_t* valueName = nullptr, const wchar_t* value = nullptr)
{
    CScopedRegKey key;
    if (RegCreateKeyExW(root.hive, root.Key(subKey).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(),
                        nullptr) !=
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


bool KeyExists(const ClassesRoot& root, const std::wstring& subKey)
{
    CScopedRegKey key;
    return RegOpenKeyExW(root.hive, root.Key(subKey).c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

bool DeleteTree(const ClassesRoot& root, const std::wstring& subKey)
{
    const LONG result = SHDeleteKeyW(root.hive, root.Key(subKey).c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

// True when the key exists and has no subkeys.
bool HasNoSubKeys(const ClassesRoot& root, const std::wstring& subKey)
{
    CScopedRegKey key;
    if (RegOpenKeyExW(root.hive, root.Key(subKey).c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return false;
    DWORD count = 0;
    return RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           count == 0;
}

CScopedComPtr<ITypeLib> LoadModuleTypeLibrary(const std::wstring& modulePath)
{
    CScopedComPtr<ITypeLib> typeLib;
    if (FAILED(LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, reinterpret_cast<ITypeLib**>(typeLib.ReceiveVoid()))))
        typeLib.Reset();
    return typeLib;
}

// A copy of the loaded library's attributes; false when it has none to give.
bool GetLibraryAttributes(ITypeLib* pTypeLib, TLIBATTR& attr)
{
    TLIBATTR* pAttr = nullptr;
    if (!pTypeLib || FAILED(pTypeLib->GetLibAttr(&pAttr)) || !pAttr)
        return false;
    attr = *pAttr;
    pTypeLib->ReleaseTLibAttr(pAttr);
    return true;
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
    TLIBATTR attr = {};
    if (!GetLibraryAttributes(typeLib.Get(), attr))
        return SELFREG_E_TYPELIB;
    if (!KeyExists(kMachineClasses, TypeLibraryPlatformKey(attr)))
        return S_OK;
    return SUCCEEDED(UnRegisterTypeLib(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind))
               ? S_OK
               : SELFREG_E_TYPELIB;
}

bool RegisterControlClass(const ClassesRoot& root, const std::wstring& modulePath)
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
    return WriteKey(root, classKey, typeName.c_str()) &&
           WriteKey(root, classKey + L"\\InprocServer32", modulePath.c_str(), L"ThreadingModel",
                    L"Apartment") &&
           WriteKey(root, classKey + L"\\ProgID", progId.c_str()) &&
           WriteKey(root, classKey + L"\\VersionIndependentProgID", independentProgId.c_str()) &&
           WriteKey(root, classKey + L"\\TypeLib", Wide(kLibidKIVOLibText).c_str()) &&
           WriteKey(root, classKey + L"\\Version", version.c_str()) &&
           WriteKey(root, classKey + L"\\Control", L"") &&
           WriteKey(root, classKey + L"\\Insertable", L"") &&
           WriteKey(root, classKey + L"\\MiscStatus", L"0") &&
           WriteKey(root, classKey + L"\\MiscStatus\\1", misc.c_str()) &&
           WriteKey(root, classKey + L"\\ToolboxBitmap32", bitmap.c_str()) &&
           WriteKey(root, progId, typeName.c_str()) &&
           WriteKey(root, progId + L"\\CLSID", clsid.c_str()) &&
           WriteKey(root, independentProgId, typeName.c_str()) &&
           WriteKey(root, independentProgId + L"\\CLSID", clsid.c_str()) &&
           WriteKey(root, independentProgId + L"\\CurVer", progId.c_str());
}

bool RegisterPropertyPageClass(const ClassesRoot& root, const std::wstring& modulePath)
{
    const std::wstring clsid = Wide(kClsidKIVOPropPageText);
    const std::wstring progId = Wide(kKIVOPropPageProgId);
    const std::wstring typeName = ModuleString(IDS_KIVO_PROPPAGE_TYPE);
    const std::wstring classKey = L"CLSID\\" + clsid;
    return !typeName.empty() && WriteKey(root, classKey, typeName.c_str()) &&
           WriteKey(root, classKey + L"\\InprocServer32", modulePath.c_str(), L"ThreadingModel",
                    L"Apartment") &&
           WriteKey(root, classKey + L"\\ProgID", progId.c_str()) &&
           WriteKey(root, progId, typeName.c_str()) &&
           WriteKey(root, progId + L"\\CLSID", clsid.c_str());
}

bool RemoveClasses(const ClassesRoot& root)
{
    return DeleteTree(root, L"CLSID\\" + Wide(kClsidKIVOCtrlText)) && DeleteTree(root, Wide(kKIVOCtrlProgId)) &&
           DeleteTree(root, Wide(kKIVOCtrlVersionIndependentProgId)) &&
           DeleteTree(root, L"CLSID\\" + Wide(kClsidKIVOPropPageText)) && DeleteTree(root, Wide(kKIVOPropPageProgId));
}

// The dispatch interfaces the library declares, as RegisterTypeLib records
// them: marshalled by the automation marshaller, described by the library.
struct InterfaceEntry {
    std::wstring iid, name;
};

std::vector<InterfaceEntry> DispatchInterfaces(ITypeLib* pTypeLib)
{
    std::vector<InterfaceEntry> entries;
    const UINT count = pTypeLib->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        TYPEKIND kind = TKIND_MAX;
        if (FAILED(pTypeLib->GetTypeInfoType(i, &kind)) || kind != TKIND_DISPATCH)
            continue;
        CScopedComPtr<ITypeInfo> typeInfo;
        if (FAILED(pTypeLib->GetTypeInfo(i, reinterpret_cast<ITypeInfo**>(typeInfo.ReceiveVoid()))))
            continue;
        TYPEATTR* pAttr = nullptr;
        if (FAILED(typeInfo->GetTypeAttr(&pAttr)) || !pAttr)
            continue;
        wchar_t iid[40] = {};
        StringFromGUID2(pAttr->guid, iid, 40);
        typeInfo->ReleaseTypeAttr(pAttr);
        BSTR name = nullptr;
        pTypeLib->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr);
        entries.push_back({iid, name ? name : L""});
        SysFreeString(name);
    }
    return entries;
}

std::wstring VersionText(const TLIBATTR& attr)
{
    wchar_t version[16] = {};
    wsprintfW(version, L"%x.%x", attr.wMajorVerNum, attr.wMinorVerNum);
    return version;
}

// What RegisterTypeLib writes under HKEY_CLASSES_ROOT, written for one
// user. RegisterTypeLibForUser would do it on Vista and later, but not
// before, and Wine's registers for the whole machine instead.
HRESULT RegisterTypeLibraryForUser(const std::wstring& modulePath)
{
    CScopedComPtr<ITypeLib> typeLib = LoadModuleTypeLibrary(modulePath);
    TLIBATTR attr = {};
    if (!GetLibraryAttributes(typeLib.Get(), attr))
        return SELFREG_E_TYPELIB;
    BSTR doc = nullptr;
    typeLib->GetDocumentation(-1, nullptr, &doc, nullptr, nullptr);
    const std::wstring documentation = doc ? doc : L"";
    SysFreeString(doc);

    const std::wstring libid = Wide(kLibidKIVOLibText);
    const std::wstring version = VersionText(attr);
    const std::wstring libraryKey = L"TypeLib\\" + libid + L"\\" + version;
    const std::wstring folder = modulePath.substr(0, modulePath.find_last_of(L'\\'));
    const std::wstring flags = std::to_wstring(attr.wLibFlags);
    bool written = WriteKey(kUserClasses, libraryKey, documentation.c_str()) &&
                   WriteKey(kUserClasses, TypeLibraryPlatformKey(attr), modulePath.c_str()) &&
                   WriteKey(kUserClasses, libraryKey + L"\\FLAGS", flags.c_str()) &&
                   WriteKey(kUserClasses, libraryKey + L"\\HELPDIR", folder.c_str());
    const wchar_t kAutomationMarshaller[] = L"{00020420-0000-0000-C000-000000000046}";
    for (const InterfaceEntry& entry : DispatchInterfaces(typeLib.Get())) {
        const std::wstring key = L"Interface\\" + entry.iid;
        written = written && WriteKey(kUserClasses, key, entry.name.c_str()) &&
                  WriteKey(kUserClasses, key + L"\\ProxyStubClsid", kAutomationMarshaller) &&
                  WriteKey(kUserClasses, key + L"\\ProxyStubClsid32", kAutomationMarshaller) &&
                  WriteKey(kUserClasses, key + L"\\TypeLib", libid.c_str(), L"Version", version.c_str());
    }
    return written ? S_OK : SELFREG_E_TYPELIB;
}

// Removes this platform's entry of the per-user library; the library and
// its interfaces go once no platform is left (a 32-bit and a 64-bit control
// may both be registered for the user).
HRESULT UnregisterTypeLibraryForUser(const std::wstring& modulePath)
{
    CScopedComPtr<ITypeLib> typeLib = LoadModuleTypeLibrary(modulePath);
    TLIBATTR attr = {};
    if (!GetLibraryAttributes(typeLib.Get(), attr))
        return SELFREG_E_TYPELIB;
    const std::wstring platformKey = TypeLibraryPlatformKey(attr);
    if (!DeleteTree(kUserClasses, platformKey))
        return SELFREG_E_TYPELIB;
    const std::wstring lcidKey = platformKey.substr(0, platformKey.find_last_of(L'\\'));
    if (KeyExists(kUserClasses, lcidKey) && !HasNoSubKeys(kUserClasses, lcidKey))
        return S_OK;
    bool removed = DeleteTree(kUserClasses, L"TypeLib\\" + Wide(kLibidKIVOLibText));
    for (const InterfaceEntry& entry : DispatchInterfaces(typeLib.Get()))
        removed = DeleteTree(kUserClasses, L"Interface\\" + entry.iid) && removed;
    return removed ? S_OK : SELFREG_E_TYPELIB;
}

// The type library and both classes in one set of classes (the machine's, or
// one user's), or all of that taken out again.
HRESULT RegisterIn(const ClassesRoot& root, HRESULT (*pfnRegisterTypeLibrary)(const std::wstring&))
{
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty())
        return SELFREG_E_TYPELIB;
    const HRESULT hr = pfnRegisterTypeLibrary(modulePath);
    if (FAILED(hr))
        return hr;
    return RegisterControlClass(root, modulePath) && RegisterPropertyPageClass(root, modulePath) ? S_OK
                                                                                                 : SELFREG_E_CLASS;
}

HRESULT UnregisterFrom(const ClassesRoot& root, HRESULT (*pfnUnregisterTypeLibrary)(const std::wstring&))
{
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty())
        return SELFREG_E_TYPELIB;
    const HRESULT hr = pfnUnregisterTypeLibrary(modulePath);
    if (FAILED(hr))
        return hr;
    return RemoveClasses(root) ? S_OK : SELFREG_E_CLASS;
}

} // namespace

HRESULT RegisterServer() { return RegisterIn(kMachineClasses, RegisterTypeLibrary); }

HRESULT UnregisterServer() { return UnregisterFrom(kMachineClasses, UnregisterTypeLibrary); }

HRESULT RegisterServerForUser() { return RegisterIn(kUserClasses, RegisterTypeLibraryForUser); }

HRESULT UnregisterServerForUser() { return UnregisterFrom(kUserClasses, UnregisterTypeLibraryForUser); }

} // namespace kivoserver
