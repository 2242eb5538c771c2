#include "LocaleTable.h"

#include <gtest/gtest.h>

TEST(LocaleTableTest, TheRowsTheInterfaceLanguagesUse)
{
    EXPECT_EQ(GetLocaleCodePage(1033, LocaleColumnOem2), 850u);
    EXPECT_EQ(GetLocaleCodePage(1033, LocaleColumnCharSet), 0u);
    EXPECT_EQ(GetLocaleCodePage(2052, LocaleColumnMac), 0u);
    EXPECT_EQ(GetLocaleCodePage(2052, LocaleColumnCharSet), 134u);
    EXPECT_EQ(GetLocaleCodePage(1028, LocaleColumnCharSet), 136u);
    EXPECT_EQ(GetLocaleCodePage(1028, LocaleColumnLocale), 1028u);
}

TEST(LocaleTableTest, UnknownLocalesAndColumnsGiveZero)
{
    EXPECT_EQ(GetLocaleCodePage(0, LocaleColumnAnsi), 0u);
    EXPECT_EQ(GetLocaleCodePage(1081, LocaleColumnAnsi), 0u);   // Hindi: Unicode only
    EXPECT_EQ(GetLocaleCodePage(0xFFFFFFFFu, LocaleColumnAnsi), 0u);
    EXPECT_EQ(GetLocaleCodePage(1033, 6), 0u);
    EXPECT_EQ(GetLocaleCodePage(1033, -1), 0u);
}

TEST(LocaleTableTest, RowsAreSortedUniqueAndConsistent)
{
    std::size_t nCount = 0;
    const LocaleCodePageRow* pRows = LocaleCodePageTable(nCount);
    ASSERT_GT(nCount, 100u);
    for (std::size_t i = 0; i < nCount; ++i) {
        const LocaleCodePageRow& row = pRows[i];
        if (i > 0) {
            EXPECT_LT(pRows[i - 1].nLocale, row.nLocale) << "row " << i;
        }
        EXPECT_EQ(GetLocaleCodePage(row.nLocale, LocaleColumnAnsi), row.nAnsiCodePage);
        EXPECT_NE(row.nAnsiCodePage, 0u) << row.nLocale;
        EXPECT_NE(row.nOemCodePage, 0u) << row.nLocale;
        // The East Asian code pages serve as their own OEM code page.
        if (row.nAnsiCodePage < 1250) {
            EXPECT_EQ(row.nOemCodePage, row.nAnsiCodePage) << row.nLocale;
        }
    }
}

TEST(LocaleTableTest, TheSixteenArabicLocales)
{
    for (unsigned n = 0; n < 16; ++n) {
        EXPECT_EQ(GetLocaleCodePage(1025 + 1024 * n, LocaleColumnAnsi), 1256u) << n;
        EXPECT_EQ(GetLocaleCodePage(1025 + 1024 * n, LocaleColumnCharSet), 178u) << n;
    }
}
