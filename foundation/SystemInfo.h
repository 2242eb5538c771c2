// What the programs know of the system they run on: its family, version and
// language. The control panel shows the description in its About box and
// picks its behaviour for Windows 95-family systems with these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum SystemPlatform {
    SystemPlatformWin32s = 0,
    SystemPlatformWindows95 = 1,  // Windows 95, 98 and Me
    SystemPlatformNT = 2,
};

struct SystemInfoRecord {
    std::uint32_t m_nLanguageId = 0;   // the user's default language identifier
    std::uint32_t m_nBuildNumber = 0;
    std::uint32_t m_nPlatformId = 0;   // a SystemPlatform
    std::uint32_t m_nMajor = 0;
    std::uint32_t m_nMinor = 0;
    std::string m_strServicePack;      // at most kMaxServicePackChars
    std::string m_strProductType;      // "ProductType" of the product options; at most kMaxProductTypeChars
    std::string m_strDescription;      // DescribeSystem of the fields above
};

constexpr std::size_t kMaxServicePackChars = 127;
constexpr std::size_t kMaxProductTypeChars = 79;

// "Windows 98", "Windows 2000", "Unknown OS(Windows NT Series)" and so on.
std::string SystemName(std::uint32_t nPlatformId, std::uint32_t nMajor, std::uint32_t nMinor);

// "Simplified Chinese", "US English" and the other names the About box
// knows; "407(Other Language)" (lower-case hexadecimal) for the rest.
std::string LanguageName(std::uint32_t nLanguageId);

// "%s %s (%s)" of system name, service pack and language name, or
// "%s (%s)" without a service pack.
std::string DescribeSystem(const SystemInfoRecord& record);

// The East Asian language identifiers: Chinese (Taiwan, PRC, Hong Kong,
// Singapore), Japanese and Korean (both encodings).
bool IsEastAsianLanguage(std::uint32_t nLanguageId);

// True for the win.ini "sLanguage" codes of the East Asian systems ("chs",
// "cht", "zhh", "zhi", "zhm", "jpn", "kor", in any case).
bool IsEastAsianShellLanguage(const std::string& strCode);

// Windows only (SystemInfoWin32.cpp).

// True on the NT family.
bool IsWindowsNT();

// True on Windows 98: the Windows 95 family, version 4.10.
bool IsWindows98();

// True on a Windows 95-family system whose language is not East Asian, by
// the system default language and, where that says East Asian, by the
// "sLanguage" of win.ini. False on the NT family.
bool IsWestern9xSystem();

// The win.ini step of IsWestern9xSystem on a given file: the "sLanguage" of
// its section "intl" ("Intl", "INTL"); false when missing, empty or East Asian.
bool IsWesternShellLanguageIn(const std::string& strWinIniPath);

// Fills the record from the version information, the user's language and the
// product options in the registry.
void GetSystemInformation(SystemInfoRecord& record);
