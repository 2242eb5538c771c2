// Classes registered for one user (HKEY_CURRENT_USER\Software\Classes, as
// "regsvr32 /n /i:user" writes them) for hosts on systems whose COM reads
// only the machine's classes: the Windows 95 family and NT 4 have no
// per-user classes at all, and Wine's COM does not look there either. Where
// COM merges them (Windows 2000 and later) CoCreateInstance finds such a
// class by itself and these functions are never reached.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <string>

// The per-user key path of a class registration ("Software\Classes\" + key).
std::wstring PerUserClassesKey(const std::wstring& subKey);

// True when HKEY_CURRENT_USER\Software\Classes\CLSID\{clsid} opens for reading.
bool IsPerUserClassRegistered(const wchar_t* clsidText);

// The CLSID of a ProgID registered for this user; false when there is none.
bool PerUserClassIdFromProgId(const wchar_t* progId, CLSID& clsid);

// Creates an instance of an in-process class registered for this user, by
// loading the module its InprocServer32 names and asking its class factory,
// as COM would. The module stays loaded for the rest of the process (COM
// would unload it only when asked to, and the caller cannot tell when the
// last object of it is gone). REGDB_E_CLASSNOTREG when the class is not
// registered for this user.
HRESULT CreatePerUserInstance(REFCLSID clsid, REFIID riid, void** ppv);
