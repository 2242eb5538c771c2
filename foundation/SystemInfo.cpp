#include "SystemInfo.h"

#include <cstdio>
#include <cstring>

std::string SystemName(std::uint32_t nPlatformId, std::uint32_t nMajor, std::uint32_t nMinor)
{
    switch (nPlatformId) {
    case SystemPlatformWin32s:
        return "Windows 3.1";
    case SystemPlatformWindows95:
        if (nMinor == 0)
            return "Windows 95";
        if (nMinor == 10)
            return "Windows 98";
        if (nMinor == 90)
            return "Windows Me";
        return "Unknown OS(Windows 95 Series)";
    case SystemPlatformNT:
        if (nMinor == 51)
            return "Windows NT 3.51";
        if (nMinor == 0) {
            if (nMajor == 4)
                return "Windows NT 4.0";
            if (nMajor == 5)
                return "Windows 2000";
            return "Unknown OS(Windows NT 4 Series)";
        }
        if (nMinor == 1)
            return nMajor == 5 ? "Windows XP or Windows.NET Server" : "Unknown OS(Windows XP Series)";
        return "Unknown OS(Windows NT Series)";
    default:
        return "Unknown OS";
    }
}

std::string LanguageName(std::uint32_t nLanguageId)
{
    switch (nLanguageId) {
    case 0x404: return "Traditional Chinese";
    case 0x804: return "Simplified Chinese";
    case 0xC04: return "HK Chinese";
    case 0x409: return "US English";
    case 0x809: return "Bristish English";
    default: break;
    }
    char szName[48];
    std::snprintf(szName, sizeof szName, "%2x(Other Language)", static_cast<unsigned>(nLanguageId));
    return szName;
}

std::string DescribeSystem(const SystemInfoRecord& record)
{
    const std::string strSystem = SystemName(record.m_nPlatformId, record.m_nMajor, record.m_nMinor);
    const std::string strLanguage = LanguageName(record.m_nLanguageId);
    if (record.m_strServicePack.empty())
        return strSystem + " (" + strLanguage + ")";
    return strSystem + " " + record.m_strServicePack + " (" + strLanguage + ")";
}

bool IsEastAsianLanguage(std::uint32_t nLanguageId)
{
    switch (nLanguageId) {
    case 1028: case 1041: case 1042: case 2052: case 2066: case 3076: case 4100:
        return true;
    default:
        return false;
    }
}

bool IsEastAsianShellLanguage(const std::string& strCode)
{
    static const char* const kCodes[] = {"chs", "cht", "zhh", "zhi", "zhm", "jpn", "kor"};
    if (strCode.size() != 3)
        return false;
    char szLower[4] = {};
    for (std::size_t i = 0; i < 3; ++i) {
        const char ch = strCode[i];
        szLower[i] = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    for (const char* pszCode : kCodes) {
        if (std::strcmp(szLower, pszCode) == 0)
            return true;
    }
    return false;
}
