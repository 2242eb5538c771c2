// The product's settings keys as a test reaches them past the registry
// functions: in the view those functions use (kSettingsRegistryView), or in
// another one named by its flag.
#pragma once

#include "ModuleExport.h"
#include "Registry.h"
#include "ScopedRegKey.h"

#include <windows.h>

#include <string>

namespace settingstest {

// The view that is not the settings' one, where a system has two: a 64-bit
// process, or a 32-bit one on 64-bit Windows. On 32-bit Windows the flag is
// ignored and both names reach the one view.
constexpr REGSAM kOtherRegistryView = KEY_WOW64_64KEY;

inline bool HasTwoRegistryViews()
{
    if (sizeof(void*) == 8)
        return true;
    using IsWow64Function = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 = ModuleExport<IsWow64Function>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL bWow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &bWow64) && bWow64;
}

inline bool KeyExistsIn(HKEY hHive, const std::string& strPath, REGSAM view)
{
    CScopedRegKey key;
    return RegOpenKeyExA(hHive, strPath.c_str(), 0, KEY_READ | view, key.Receive()) == ERROR_SUCCESS;
}

inline bool PutValue(HKEY hHive, const std::string& strPath, const char* pszValue, DWORD dwType, const void* pData,
                     DWORD dwSize, REGSAM view = kSettingsRegistryView)
{
    CScopedRegKey key;
    return RegCreateKeyExA(hHive, strPath.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, key.Receive(),
                           nullptr) == ERROR_SUCCESS &&
           RegSetValueExA(key.Get(), pszValue, 0, dwType, static_cast<const BYTE*>(pData), dwSize) == ERROR_SUCCESS;
}

inline bool PutString(HKEY hHive, const std::string& strPath, const char* pszValue, const std::string& strText,
                      REGSAM view = kSettingsRegistryView)
{
    return PutValue(hHive, strPath, pszValue, REG_SZ, strText.c_str(), static_cast<DWORD>(strText.size() + 1), view);
}

inline bool PutDWORD(HKEY hHive, const std::string& strPath, const char* pszValue, DWORD dwNumber,
                     REGSAM view = kSettingsRegistryView)
{
    return PutValue(hHive, strPath, pszValue, REG_DWORD, &dwNumber, sizeof dwNumber, view);
}

// The number, or `dwMissing` when the value is not there.
inline DWORD GetDWORD(HKEY hHive, const std::string& strPath, const char* pszValue, DWORD dwMissing,
                      REGSAM view = kSettingsRegistryView)
{
    CScopedRegKey key;
    DWORD dwNumber = 0, dwSize = sizeof dwNumber, dwType = 0;
    if (RegOpenKeyExA(hHive, strPath.c_str(), 0, KEY_READ | view, key.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.Get(), pszValue, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwNumber), &dwSize) !=
            ERROR_SUCCESS ||
        dwType != REG_DWORD)
        return dwMissing;
    return dwNumber;
}

// The string value, or "" when it is not there.
inline std::string GetString(HKEY hHive, const std::string& strPath, const char* pszValue,
                             REGSAM view = kSettingsRegistryView)
{
    CScopedRegKey key;
    char szText[1024] = {};
    DWORD dwSize = sizeof szText - 1, dwType = 0;
    if (RegOpenKeyExA(hHive, strPath.c_str(), 0, KEY_READ | view, key.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.Get(), pszValue, nullptr, &dwType, reinterpret_cast<BYTE*>(szText), &dwSize) !=
            ERROR_SUCCESS ||
        dwType != REG_SZ)
        return std::string();
    return szText;
}

inline void DeleteValue(HKEY hHive, const std::string& strPath, const char* pszValue,
                        REGSAM view = kSettingsRegistryView)
{
    CScopedRegKey key;
    if (RegOpenKeyExA(hHive, strPath.c_str(), 0, KEY_SET_VALUE | view, key.Receive()) == ERROR_SUCCESS)
        RegDeleteValueA(key.Get(), pszValue);
}

// Removes a key and everything below it, in one view. The keys below are
// opened from their parent's handle, which keeps them in that view.
inline void DeleteTree(HKEY hParent, const std::string& strName, REGSAM view = kSettingsRegistryView)
{
    CScopedRegKey key;
    if (RegOpenKeyExA(hParent, strName.c_str(), 0, KEY_ALL_ACCESS | view, key.Receive()) == ERROR_SUCCESS) {
        char szChild[256];
        for (;;) {
            DWORD dwSize = sizeof szChild;
            if (RegEnumKeyExA(key.Get(), 0, szChild, &dwSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            DeleteTree(key.Get(), szChild, view);
        }
    }
    RegDeleteKeyExA(hParent, strName.c_str(), view, 0);
}

} // namespace settingstest
