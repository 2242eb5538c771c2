#include "SystemInfo.h"

#include <gtest/gtest.h>

TEST(SystemInfoTest, SystemNamesGoByMinorVersionFirst)
{
    EXPECT_EQ(SystemName(1, 4, 90), "Windows Me");
    EXPECT_EQ(SystemName(1, 4, 3), "Unknown OS(Windows 95 Series)");
    EXPECT_EQ(SystemName(2, 3, 51), "Windows NT 3.51");
    EXPECT_EQ(SystemName(2, 5, 0), "Windows 2000");
    EXPECT_EQ(SystemName(2, 6, 0), "Unknown OS(Windows NT 4 Series)");
    EXPECT_EQ(SystemName(2, 6, 1), "Unknown OS(Windows XP Series)");
    EXPECT_EQ(SystemName(2, 10, 0), "Unknown OS(Windows NT 4 Series)");
    EXPECT_EQ(SystemName(7, 5, 1), "Unknown OS");
}

TEST(SystemInfoTest, OtherLanguagesAreNamedByTheirHexadecimalIdentifier)
{
    EXPECT_EQ(LanguageName(0x804), "Simplified Chinese");
    EXPECT_EQ(LanguageName(0x407), "407(Other Language)");
    EXPECT_EQ(LanguageName(0x7), " 7(Other Language)");
    EXPECT_EQ(LanguageName(0xFFFFFFFFu), "ffffffff(Other Language)");
}

TEST(SystemInfoTest, DescriptionWithAndWithoutServicePack)
{
    SystemInfoRecord record;
    record.m_nPlatformId = 2;
    record.m_nMajor = 5;
    record.m_nMinor = 0;
    record.m_nLanguageId = 0x804;
    EXPECT_EQ(DescribeSystem(record), "Windows 2000 (Simplified Chinese)");
    record.m_strServicePack = "Service Pack 4";
    EXPECT_EQ(DescribeSystem(record), "Windows 2000 Service Pack 4 (Simplified Chinese)");
}

TEST(SystemInfoTest, EastAsianLanguagesAndShellCodes)
{
    EXPECT_TRUE(IsEastAsianLanguage(2066));   // Korean Johab
    EXPECT_FALSE(IsEastAsianLanguage(5124));  // Macao: not among the systems of the day
    EXPECT_FALSE(IsEastAsianLanguage(0x10804));
    EXPECT_TRUE(IsEastAsianShellLanguage("CHT"));
    EXPECT_TRUE(IsEastAsianShellLanguage("Kor"));
    for (const char* code : {"", "enu", "ch", "chss", " chs"})
        EXPECT_FALSE(IsEastAsianShellLanguage(code)) << code;
    EXPECT_FALSE(IsEastAsianShellLanguage(std::string("ch\0", 3)));
}
