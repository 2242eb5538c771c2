// The programs' settings in the registry. Every value lives in a subkey of
// one root (hive and base path) that each program sets once at start-up; the
// control and the control panel share HKEY_LOCAL_MACHINE "software\Perdix\KIVO\1.5",
// so a value written by one is read by the other.
//
// The keys are opened in the 32-bit registry view (kSettingsRegistryView), so
// that on 64-bit Windows the programs of both architectures share one
// configuration: a 64-bit control reads what the 32-bit control panel wrote.
//
// Names (base path, subkey, value) are read with TrimRegistryName, so stray
// blanks or separators at their ends do not address another key. Reads fall
// back to the caller's default; writes report failure only by their result.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

constexpr char kKivoRegistryPath[] = "software\\Perdix\\KIVO\\1.5";

// The view flag every settings key is opened with. A 32-bit program sees the
// 32-bit view without asking (and Windows before XP knows no view flags); a
// 64-bit program asks for it.
constexpr REGSAM kSettingsRegistryView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : 0;

// The longest text a string value holds: the programs read values into a
// 512-byte buffer, so nothing longer is ever written.
constexpr std::size_t kMaxRegStringChars = 511;

// Until a program sets its root, the root is the product's own
// (HKEY_LOCAL_MACHINE, kKivoRegistryPath). Tests point it at a scratch key.
void SetRegistryRoot(HKEY hHive, const std::string& strPath);
HKEY GetRegistryHive();
std::string GetRegistryPath();

// The string value, or the default when the key or value cannot be read, is
// not a string (REG_SZ, or REG_EXPAND_SZ as stored) or does not fit in 512
// bytes. The text ends at its first zero byte.
std::string GetRegString(const std::string& strSubKey, const std::string& strValue,
                         const std::string& strDefault);

// Creates the key as needed and writes the text, cut after kMaxRegStringChars
// bytes (never inside a double-byte character of the ANSI code page) or at
// its first zero byte.
bool SetRegString(const std::string& strSubKey, const std::string& strValue, const std::string& strText);

// The number, or the default when the value is missing or not a REG_DWORD.
DWORD GetRegDWORD(const std::string& strSubKey, const std::string& strValue, DWORD dwDefault);

bool SetRegDWORD(const std::string& strSubKey, const std::string& strValue, DWORD dwNumber);

// Values kept for one user's convenience (the editor's colours, languages,
// folders and recent files, the folders last browsed, the update check's
// dates, the release-notes mark) live under HKEY_CURRENT_USER, at the root's
// path with the same subkeys: a standard user may not write the machine's
// root. They are read there first, then from the root as before (where
// earlier versions kept them), and written there only. What the control
// reads (Lumbra's folder, the interface language) stays in the root.
std::string GetUserRegString(const std::string& strSubKey, const std::string& strValue,
                             const std::string& strDefault);
bool SetUserRegString(const std::string& strSubKey, const std::string& strValue, const std::string& strText);
DWORD GetUserRegDWORD(const std::string& strSubKey, const std::string& strValue, DWORD dwDefault);
bool SetUserRegDWORD(const std::string& strSubKey, const std::string& strValue, DWORD dwNumber);
