// A module's export as a typed function pointer, or null when the module or
// the export is missing. For functions that not every system has, or that
// live in a library loaded at run time. The cast goes through void*: a
// direct cast from FARPROC draws a function-type warning on every compiler
// that sees the two signatures differ.
#pragma once

#include <windows.h>

template <class Function>
Function ModuleExport(HMODULE hModule, const char* pszName)
{
    if (hModule == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
}
