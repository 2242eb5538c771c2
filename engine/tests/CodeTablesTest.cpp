#include "CodeTables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <ostream>
#include <string>

namespace {

enum class Table { GbToBig5, Big5ToGbSimplified, Big5ToGbkTraditional };

// The two output bytes of a table for a source code, as one number, or -1
// when the table has no cell for it.
int Lookup(Table table, unsigned code)
{
    const unsigned lead = code >> 8, trail = code & 0xFF;
    const unsigned char* cell = nullptr;
    if (table == Table::GbToBig5) {
        const int row = GbToBig5RowIndex(lead);
        if (row < 0 || trail < 0xA1 || trail > 0xFE) return -1;
        cell = GbToBig5Table[row].cells[trail - 0xA1];
    } else {
        const int column = Big5ToGbColumnIndex(trail);
        if (lead < 0x81 || lead > 0xFE || column < 0) return -1;
        const Big5ToGbRow* rows =
            table == Table::Big5ToGbSimplified ? Big5ToGbSimplifiedTable : Big5ToGbkTraditionalTable;
        cell = rows[lead - 0x81].cells[column];
    }
    return cell[0] << 8 | cell[1];
}

constexpr int kBig5Placeholder = kBig5PlaceholderLead << 8 | kBig5PlaceholderTrail;
constexpr int kGbkPlaceholder = kGbkPlaceholderLead << 8 | kGbkPlaceholderTrail;

std::string Hex(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
    return text;
}

struct TellingRow {
    const char* what;
    Table table;
    unsigned source;
    int result;
};

void PrintTo(const TellingRow& row, std::ostream* os) { *os << row.what << " " << Hex(row.source); }

const TellingRow kTellingRows[] = {
    {"ideographic space", Table::GbToBig5, 0xA1A1, 0xA140},
    {"ideographic comma", Table::GbToBig5, 0xA1A2, 0xA142},
    {"ideographic full stop", Table::GbToBig5, 0xA1A3, 0xA143},
    {"full-width exclamation mark", Table::GbToBig5, 0xA3A1, 0xA149},
    {"full-width A", Table::GbToBig5, 0xA3C1, kBig5Placeholder},
    {"Roman numeral one", Table::GbToBig5, 0xA2F1, kBig5Placeholder},
    {"fa", Table::GbToBig5, 0xB7A2, 0xB56F},
    {"hou", Table::GbToBig5, 0xBAF3, 0xABE1},
    {"gan", Table::GbToBig5, 0xB8C9, 0xB746},
    {"li", Table::GbToBig5, 0xC0EF, 0xB8CC},
    {"tai unchanged", Table::GbToBig5, 0xCCA8, 0xA578},
    {"zhi unchanged", Table::GbToBig5, 0xD6BB, 0xA575},
    {"xi unchanged", Table::GbToBig5, 0xCFB5, 0xA874},
    {"mian unchanged", Table::GbToBig5, 0xC3E6, 0xADB1},
    {"zhong", Table::GbToBig5, 0xD6D3, 0xC4C1},
    {"zhe", Table::GbToBig5, 0xD7C5, 0xB5DB},

    {"ti", Table::Big5ToGbSimplified, 0xC5E9, 0xCCE5},
    {"guo", Table::Big5ToGbSimplified, 0xB0EA, 0xB9FA},
    {"gan (dry)", Table::Big5ToGbSimplified, 0xB0AE, 0xB8C9},
    {"fa (hair)", Table::Big5ToGbSimplified, 0xBE76, 0xB7A2},
    {"hou", Table::Big5ToGbSimplified, 0xABE1, 0xBAF3},
    {"tai formal", Table::Big5ToGbSimplified, 0xBB4F, 0xCCA8},
    {"tai", Table::Big5ToGbSimplified, 0xA578, 0xCCA8},
    {"zhong (surname)", Table::Big5ToGbSimplified, 0xC1E9, 0xD6D3},
    {"zhong (bell)", Table::Big5ToGbSimplified, 0xC4C1, 0xD6D3},
    {"fu (again)", Table::Big5ToGbSimplified, 0xB45F, 0xB8B4},
    {"fu (double)", Table::Big5ToGbSimplified, 0xBDC6, 0xB8B4},
    {"ideographic space", Table::Big5ToGbSimplified, 0xA140, 0xA1A1},
    {"full-width comma", Table::Big5ToGbSimplified, 0xA141, 0xA3AC},
    {"full-width A", Table::Big5ToGbSimplified, 0xA2CF, kGbkPlaceholder},
    {"GBK-only hanzi", Table::Big5ToGbSimplified, 0xF9D5, kGbkPlaceholder},
    {"user-defined lead", Table::Big5ToGbSimplified, 0x8140, kGbkPlaceholder},

    {"ti", Table::Big5ToGbkTraditional, 0xC5E9, 0xF377},
    {"guo", Table::Big5ToGbkTraditional, 0xB0EA, 0x87F8},
    {"hou", Table::Big5ToGbkTraditional, 0xABE1, 0xE1E1},
    {"fu (again)", Table::Big5ToGbkTraditional, 0xB45F, 0x8FCD},
    {"fu (double)", Table::Big5ToGbkTraditional, 0xBDC6, 0xD17D},
    {"full-width A", Table::Big5ToGbkTraditional, 0xA2CF, 0xA3C1},
    {"GBK-only hanzi", Table::Big5ToGbkTraditional, 0xF9D5, 0xFD93},
    {"user-defined lead", Table::Big5ToGbkTraditional, 0x8140, kGbkPlaceholder},
};

class CodeTablesTellingRow : public testing::TestWithParam<TellingRow> {};

TEST_P(CodeTablesTellingRow, MapsToItsFixedResult)
{
    const TellingRow& row = GetParam();
    EXPECT_EQ(Hex(Lookup(row.table, row.source)), Hex(row.result));
}

std::string TellingRowName(const testing::TestParamInfo<TellingRow>& info)
{
    static const char* const kPrefix[] = {"GbToBig5_", "Simplified_", "Traditional_"};
    return kPrefix[static_cast<int>(info.param.table)] + Hex(info.param.source);
}

INSTANTIATE_TEST_SUITE_P(All, CodeTablesTellingRow, testing::ValuesIn(kTellingRows), TellingRowName);

// Lookups never read the recorded lead bytes, so a row written in the wrong
// order would go unnoticed by everything but this. Second-level hanzi and the
// user-defined GB rows must have no row at all.
TEST(CodeTablesLayout, RowsSitWhereTheIndexHelpersLookForThem)
{
    for (unsigned lead = 0; lead < 0x100; ++lead) {
        const int row = GbToBig5RowIndex(lead);
        const bool hasRow = (lead >= 0xA1 && lead <= 0xA9) || (lead >= 0xB0 && lead <= 0xD7);
        ASSERT_EQ(row >= 0, hasRow) << Hex(lead);
        if (hasRow) {
            ASSERT_LT(row, kGbToBig5Rows);
            EXPECT_EQ(GbToBig5Table[row].lead, lead);
        }
    }
    for (int row = 0; row < kBig5ToGbRows; ++row) {
        EXPECT_EQ(Big5ToGbSimplifiedTable[row].lead, 0x81 + row);
        EXPECT_EQ(Big5ToGbkTraditionalTable[row].lead, 0x81 + row);
    }
}

TEST(CodeTablesLayout, ColumnIndexCoversBothTrailRangesAndNothingElse)
{
    int next = 0;
    for (unsigned trail = 0; trail < 0x100; ++trail) {
        const bool inTable = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE);
        const int column = Big5ToGbColumnIndex(trail);
        if (inTable)
            EXPECT_EQ(column, next++) << Hex(trail);
        else
            EXPECT_EQ(column, -1) << Hex(trail);
    }
    EXPECT_EQ(next, kBig5ToGbColumns);
}

// Numbered forms ten to twenty are the only GB cells that write ASCII.
TEST(CodeTablesGbToBig5, NumberedFormsTenToTwentyWriteTwoAsciiDigits)
{
    auto digits = [](int n) { return ('0' + n / 10) << 8 | ('0' + n % 10); };
    for (int n = 10; n <= 20; ++n) {
        EXPECT_EQ(Hex(Lookup(Table::GbToBig5, 0xA2BA + n - 10)), Hex(digits(n))) << "full stop " << n;
        EXPECT_EQ(Hex(Lookup(Table::GbToBig5, 0xA2CE + n - 10)), Hex(digits(n))) << "parenthesised " << n;
    }
    EXPECT_EQ(Hex(Lookup(Table::GbToBig5, 0xA2E2)), Hex(digits(10))) << "circled ten";

    int asciiCells = 0;
    for (const GbToBig5Row& row : GbToBig5Table)
        for (const auto& cell : row.cells)
            if (cell[0] < 0x80) {
                ++asciiCells;
                EXPECT_TRUE(cell[0] >= '1' && cell[0] <= '2' && cell[1] >= '0' && cell[1] <= '9');
            }
    EXPECT_EQ(asciiCells, 23);
}

// Every other output is a double-byte code the reader can decode: standard
// Big5 for the GB table (never a user-defined code), GB2312 for the
// simplified table, GBK for the traditional one.
TEST(CodeTablesTargets, StayInsideTheTargetCodeSpace)
{
    for (const GbToBig5Row& row : GbToBig5Table)
        for (const auto& cell : row.cells) {
            if (cell[0] < 0x80) continue;
            const unsigned code = cell[0] << 8 | cell[1];
            EXPECT_TRUE(cell[0] >= 0xA1 && cell[0] <= 0xF9 && Big5ToGbColumnIndex(cell[1]) >= 0 &&
                        !(code >= 0xC6A1 && code <= 0xC8FE))
                << "from lead " << Hex(row.lead) << " to " << Hex(code);
        }
    for (const Big5ToGbRow& row : Big5ToGbSimplifiedTable)
        for (const auto& cell : row.cells)
            EXPECT_TRUE(cell[0] >= 0xA1 && cell[0] <= 0xF7 && !(cell[0] >= 0xAA && cell[0] <= 0xAF) &&
                        cell[1] >= 0xA1 && cell[1] <= 0xFE)
                << "from lead " << Hex(row.lead) << " to " << Hex(cell[0] << 8 | cell[1]);
    for (const Big5ToGbRow& row : Big5ToGbkTraditionalTable)
        for (const auto& cell : row.cells)
            EXPECT_TRUE(cell[0] >= 0x81 && cell[0] <= 0xFE && cell[1] >= 0x40 && cell[1] <= 0xFE && cell[1] != 0x7F)
                << "from lead " << Hex(row.lead) << " to " << Hex(cell[0] << 8 | cell[1]);
}

// User-defined Big5 codes mean nothing on another machine.
TEST(CodeTablesPlaceholders, UserDefinedBig5CodesAreMarkedInBothTables)
{
    for (Table table : {Table::Big5ToGbSimplified, Table::Big5ToGbkTraditional})
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const unsigned code = lead << 8 | trail;
                const bool userDefined = lead <= 0xA0 || lead >= 0xFA || (code >= 0xC6A1 && code <= 0xC8FE);
                if (userDefined && Big5ToGbColumnIndex(trail) >= 0) {
                    ASSERT_EQ(Hex(Lookup(table, code)), Hex(kGbkPlaceholder));
                }
            }
}

// Full-width letters and Roman numerals are kept out of the cross-script
// tables but re-encoded faithfully in the same-character table.
TEST(CodeTablesPlaceholders, FullWidthLettersAndRomanNumeralsOnlySurviveReencoding)
{
    for (unsigned i = 0; i < 26; ++i) {
        EXPECT_EQ(Lookup(Table::GbToBig5, 0xA3C1 + i), kBig5Placeholder);
        EXPECT_EQ(Lookup(Table::GbToBig5, 0xA3E1 + i), kBig5Placeholder);
        // Big5 runs the small letters across the row boundary: A2E9..A2FE, A340..A343.
        const unsigned big5Capital = 0xA2CF + i;
        const unsigned big5Small = i < 22 ? 0xA2E9 + i : 0xA340 + i - 22;
        EXPECT_EQ(Lookup(Table::Big5ToGbSimplified, big5Capital), kGbkPlaceholder);
        EXPECT_EQ(Lookup(Table::Big5ToGbSimplified, big5Small), kGbkPlaceholder);
        EXPECT_EQ(Hex(Lookup(Table::Big5ToGbkTraditional, big5Capital)), Hex(0xA3C1 + i));
        EXPECT_EQ(Hex(Lookup(Table::Big5ToGbkTraditional, big5Small)), Hex(0xA3E1 + i));
    }
    for (unsigned i = 0; i < 12; ++i)
        EXPECT_EQ(Lookup(Table::GbToBig5, 0xA2F1 + i), kBig5Placeholder) << "GB Roman " << i + 1;
    for (unsigned i = 0; i < 10; ++i) {
        EXPECT_EQ(Lookup(Table::Big5ToGbSimplified, 0xA2B9 + i), kGbkPlaceholder) << "Big5 Roman " << i + 1;
        EXPECT_EQ(Hex(Lookup(Table::Big5ToGbkTraditional, 0xA2B9 + i)), Hex(0xA2F1 + i));
    }
}

} // namespace
