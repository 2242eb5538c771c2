// The COM server's module state: its instance handle, the count of live
// objects and locks (DllCanUnloadNow), and the module's type library.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>

namespace kivoserver {

HINSTANCE ModuleHandle();
void SetModuleHandle(HINSTANCE hInstance);
// The module's file path, wide, as RegisterTypeLib and the registry need it.
std::wstring ModulePath();

// A string resource of the module; empty when it has none.
std::wstring ModuleString(UINT nId);

void AddObjectReference();
void ReleaseObjectReference();
bool HasObjectReferences();

// Type information of `guid` from the module's embedded type library; the
// caller owns the reference handed out.
HRESULT LoadTypeInfo(REFGUID guid, ITypeInfo** ppTypeInfo);

} // namespace kivoserver
