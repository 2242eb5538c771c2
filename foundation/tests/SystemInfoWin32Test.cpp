// System information against what the platform itself reports, and the
// locale and lead-byte tables against the platform's own locale data.
#include "DbcsText.h"
#include "LocaleTable.h"
#include "SystemInfo.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

TEST(SystemInfoWin32Test, TheRecordFollowsTheVersionInformation)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    SystemInfoRecord record;
    record.m_strDescription = "stale";
    GetSystemInformation(record);
    EXPECT_EQ(record.m_nPlatformId, version.dwPlatformId);
    EXPECT_EQ(record.m_nMajor, version.dwMajorVersion);
    EXPECT_EQ(record.m_nMinor, version.dwMinorVersion);
    EXPECT_EQ(record.m_nLanguageId, GetUserDefaultLangID());
    EXPECT_EQ(record.m_strServicePack, version.szCSDVersion);
    EXPECT_LE(record.m_strProductType.size(), kMaxProductTypeChars);
    EXPECT_EQ(record.m_strDescription, DescribeSystem(record));
    EXPECT_EQ(IsWindowsNT(), version.dwPlatformId == VER_PLATFORM_WIN32_NT);
    if (IsWindowsNT()) {
        EXPECT_FALSE(IsWestern9xSystem());
    }
}

TEST(SystemInfoWin32Test, ShellLanguageFromWinIni)
{
    CScratchFolder scratch;
    const std::string strIni = scratch / "win.ini";
    auto western = [&](const std::string& strContent) {
        EXPECT_TRUE(CScratchFolder::WriteBytes(strIni, strContent));
        return IsWesternShellLanguageIn(strIni);
    };
    EXPECT_TRUE(western("[windows]\r\nload=\r\n\r\n[intl]\r\nsLanguage=enu\r\niCountry=1\r\n"));
    EXPECT_FALSE(western("[intl]\r\nsLanguage=chs\r\n"));
    EXPECT_FALSE(western("[intl]\r\nsLanguage=CHT\r\n"));
    EXPECT_FALSE(western("[Intl]\r\nsLanguage=jpn\r\n"));
    EXPECT_TRUE(western("[INTL]\r\nsLanguage=deu\r\n"));
    EXPECT_FALSE(western("[intl]\r\nsLanguage=\r\n"));
    EXPECT_FALSE(western("[intl]\r\niCountry=86\r\n"));
    EXPECT_FALSE(western("[fonts]\r\nsLanguage=enu\r\n"));
    // Only the compact "key=value" form of win.ini is read.
    EXPECT_FALSE(western("[intl]\r\nsLanguage = enu\r\n"));
    EXPECT_FALSE(IsWesternShellLanguageIn(scratch / "missing.ini"));
}

TEST(LocaleTableWin32Test, AnsiAndOemCodePagesAreThePlatformsOwn)
{
    std::size_t nCount = 0;
    const LocaleCodePageRow* pRows = LocaleCodePageTable(nCount);
    int nCompared = 0;
    for (std::size_t i = 0; i < nCount; ++i) {
        const LocaleCodePageRow& row = pRows[i];
        char szAnsi[16] = {}, szOem[16] = {};
        // Retired identifiers (2066, 2074, 3098) are unknown to newer
        // systems; Wine serves Kazakh by Unicode alone. Their rows stand on
        // the older systems' data.
        if (!GetLocaleInfoA(row.nLocale, LOCALE_IDEFAULTANSICODEPAGE, szAnsi, sizeof szAnsi) ||
            std::atoi(szAnsi) == 0)
            continue;
        ASSERT_TRUE(GetLocaleInfoA(row.nLocale, LOCALE_IDEFAULTCODEPAGE, szOem, sizeof szOem));
        EXPECT_EQ(row.nAnsiCodePage, static_cast<unsigned>(std::atoi(szAnsi))) << row.nLocale;
        EXPECT_EQ(row.nOemCodePage, static_cast<unsigned>(std::atoi(szOem))) << row.nLocale;

        CHARSETINFO info = {};
        ASSERT_TRUE(TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<ULONG_PTR>(row.nAnsiCodePage)), &info,
                                         TCI_SRCCODEPAGE))
            << row.nLocale;
        EXPECT_EQ(row.nCharSet, info.ciCharset) << row.nLocale;
        ++nCompared;
    }
    EXPECT_GT(nCompared, 100);
}

TEST(DbcsTextWin32Test, LeadBytesAreThePlatformsOwn)
{
    for (unsigned nCodePage : {932u, 936u, 949u, 950u, 1361u, 1252u, 1250u}) {
        CPINFO info;
        if (!GetCPInfo(nCodePage, &info))
            continue;  // a code page this system does not install
        for (unsigned nByte = 0; nByte < 256; ++nByte) {
            EXPECT_EQ(IsDbcsLeadByte(nCodePage, static_cast<unsigned char>(nByte)),
                      IsDBCSLeadByteEx(nCodePage, static_cast<BYTE>(nByte)) != FALSE)
                << nCodePage << " byte " << nByte;
        }
    }
}
