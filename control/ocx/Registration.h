// Self-registration of kivo.ocx: its type library and the control class
// (CLSID, ProgIDs and the marks containers look for).
#pragma once

#include <windows.h>

namespace kivoserver {

// S_OK, SELFREG_E_TYPELIB or SELFREG_E_CLASS. Registering again overwrites.
HRESULT RegisterServer();
// Removes what RegisterServer wrote; S_OK when nothing was registered.
HRESULT UnregisterServer();

} // namespace kivoserver
