// Self-registration of kivo.ocx: its type library and the control class
// (CLSID, ProgIDs and the marks containers look for), for the machine or
// for one user.
#pragma once

#include <windows.h>

namespace kivoserver {

// S_OK, SELFREG_E_TYPELIB or SELFREG_E_CLASS. Registering again overwrites.
HRESULT RegisterServer();
// Removes what RegisterServer wrote; S_OK when nothing was registered.
HRESULT UnregisterServer();

// The same for the current user alone, under HKEY_CURRENT_USER\Software\Classes
// (DllInstall with "user", run by "regsvr32 /n /i:user"); the machine's
// registration is neither read nor changed.
HRESULT RegisterServerForUser();
HRESULT UnregisterServerForUser();

} // namespace kivoserver
