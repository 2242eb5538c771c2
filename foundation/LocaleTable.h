// The code pages and font character set of each Windows locale of the
// systems the programs run on. The interface language takes its font
// character set from here (1033, 2052 and 1028).
#pragma once

#include <cstddef>
#include <cstdint>

struct LocaleCodePageRow {
    std::uint16_t nLocale;       // locale identifier (LCID)
    std::uint16_t nAnsiCodePage;
    std::uint16_t nMacCodePage;  // 0 for the East Asian locales, whose Macintosh code pages Windows did not use
    std::uint16_t nOemCodePage;
    std::uint16_t nOemCodePage2; // the second DOS code page of the English-speaking locales whose first is 437; else 0
    std::uint8_t nCharSet;       // font character set of the ANSI code page
};

// Columns of a row, in table order; the locale itself is column 0.
enum LocaleColumn {
    LocaleColumnLocale = 0,
    LocaleColumnAnsi = 1,
    LocaleColumnMac = 2,
    LocaleColumnOem = 3,
    LocaleColumnOem2 = 4,
    LocaleColumnCharSet = 5,
};

// The rows, ordered by locale identifier, and their number.
const LocaleCodePageRow* LocaleCodePageTable(std::size_t& nCount);

// The column's value for the locale; 0 when the locale is not in the table
// or the column does not exist.
unsigned GetLocaleCodePage(unsigned nLocale, int nColumn);
