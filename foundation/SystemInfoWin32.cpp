#include "SystemInfo.h"

#include "ScopedRegKey.h"
#include "SettingsFile.h"
#include "TextTrim.h"

#include <windows.h>

#include <vector>

namespace {

bool ReadVersion(OSVERSIONINFOA& version)
{
    version = OSVERSIONINFOA{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) != FALSE;
}

std::string ProductType()
{
    CScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_QUERY_VALUE,
                      key.Receive()) != ERROR_SUCCESS)
        return std::string();
    char szType[kMaxProductTypeChars + 2] = {};
    DWORD dwType = 0;
    DWORD dwSize = kMaxProductTypeChars + 1;
    if (RegQueryValueExA(key.Get(), "ProductType", nullptr, &dwType, reinterpret_cast<BYTE*>(szType), &dwSize) !=
            ERROR_SUCCESS ||
        (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
        return std::string();
    return szType;
}

std::string WindowsFolder()
{
    std::vector<char> buffer(MAX_PATH + 1, '\0');
    UINT nLength = GetWindowsDirectoryA(buffer.data(), MAX_PATH + 1);
    if (nLength > MAX_PATH) {
        buffer.assign(nLength + 1, '\0');
        nLength = GetWindowsDirectoryA(buffer.data(), nLength + 1);
    }
    if (nLength == 0 || nLength >= buffer.size())
        return std::string();
    return std::string(buffer.data(), nLength);
}

}  // namespace

bool IsWindowsNT()
{
    OSVERSIONINFOA version;
    return ReadVersion(version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsWindows98()
{
    OSVERSIONINFOA version;
    return ReadVersion(version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMinorVersion == 10;
}

bool IsWesternShellLanguageIn(const std::string& strWinIniPath)
{
    CSettingsFile settings(true);
    settings.Load(strWinIniPath);
    std::string strLanguage;
    for (const char* pszSection : {"intl", "Intl", "INTL"}) {
        if (settings.GetString(pszSection, "sLanguage", std::string(), strLanguage))
            break;
    }
    TrimBlank(strLanguage);
    return !strLanguage.empty() && !IsEastAsianShellLanguage(strLanguage);
}

bool IsWestern9xSystem()
{
    OSVERSIONINFOA version;
    if (!ReadVersion(version) || version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS)
        return false;
    if (!IsEastAsianLanguage(GetSystemDefaultLangID()))
        return true;
    // An East Asian default language on a Western system: win.ini says what
    // the shell really runs with.
    const std::string strWindows = WindowsFolder();
    if (strWindows.empty())
        return false;
    return IsWesternShellLanguageIn(strWindows + "\\win.ini");
}

void GetSystemInformation(SystemInfoRecord& record)
{
    record = SystemInfoRecord{};
    record.m_nLanguageId = GetUserDefaultLangID();
    OSVERSIONINFOA version;
    if (ReadVersion(version)) {
        record.m_nPlatformId = version.dwPlatformId;
        record.m_nMajor = version.dwMajorVersion;
        record.m_nMinor = version.dwMinorVersion;
        // The Windows 95 family keeps the version numbers in the high word.
        record.m_nBuildNumber = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS
                                    ? LOWORD(version.dwBuildNumber)
                                    : version.dwBuildNumber;
        version.szCSDVersion[sizeof version.szCSDVersion - 1] = '\0';
        record.m_strServicePack = version.szCSDVersion;
        if (record.m_strServicePack.size() > kMaxServicePackChars)
            record.m_strServicePack.resize(kMaxServicePackChars);
    } else {
        // No version information is no known system.
        record.m_nPlatformId = 0xFFFFFFFFu;
    }
    record.m_strProductType = ProductType();
    record.m_strDescription = DescribeSystem(record);
}
