// Checks every cell of the three code tables against the system's own code
// pages 936 and 950, the code pages our users' text is actually written in.
#include "CodeTables.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr UINT kGbk = 936, kBig5 = 950;

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

bool IsPrivateUse(wchar_t unit) { return unit >= 0xE000 && unit <= 0xF8FF; }

wchar_t DefaultCharacter(UINT codePage)
{
    CPINFOEXW info = {};
    return GetCPInfoExW(codePage, 0, &info) ? info.UnicodeDefaultChar : L'?';
}

// The one UTF-16 unit a double-byte code stands for, or 0 when the code page
// has no character there (unassigned, user-defined, or not one character).
wchar_t Decode(UINT codePage, unsigned code)
{
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    wchar_t units[4] = {};
    const int count = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, 2, units, 4);
    if (count != 1 || IsPrivateUse(units[0]) || units[0] == DefaultCharacter(codePage)) return 0;
    return units[0];
}

// The two-byte code of a character, or 0 when the code page has none and
// would fall back to its default character or a single byte.
unsigned Encode(UINT codePage, wchar_t unit)
{
    char bytes[4] = {};
    BOOL usedDefault = FALSE;
    const int count = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, sizeof bytes,
                                          nullptr, &usedDefault);
    if (count != 2 || usedDefault) return 0;
    return static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
}

bool IsValidDoubleByte(UINT codePage, unsigned code)
{
    const wchar_t unit = Decode(codePage, code);
    return unit != 0 && Encode(codePage, unit) == code;
}

// Codes where this system's code pages and the ones the tables were generated
// from disagree about a character, each with a line saying why that is fine.
// None so far: the two agree on every assigned code, and both sets of
// user-defined codes (private-use here, undecodable or an older vendor
// extension there) are placeholders in every table.
struct KnownDifference {
    UINT codePage;
    unsigned code;
};
const std::vector<KnownDifference> kKnownDifferences = {};

bool IsKnownDifference(UINT codePage, unsigned code)
{
    for (const KnownDifference& d : kKnownDifferences)
        if (d.codePage == codePage && d.code == code) return true;
    return false;
}

struct Cell {
    unsigned source;
    unsigned target;
};

std::vector<Cell> GbCells()
{
    std::vector<Cell> cells;
    for (const GbToBig5Row& row : GbToBig5Table)
        for (unsigned column = 0; column < kGbToBig5Columns; ++column)
            cells.push_back({row.lead << 8 | (0xA1 + column),
                             static_cast<unsigned>(row.cells[column][0] << 8 | row.cells[column][1])});
    return cells;
}

std::vector<Cell> Big5Cells(const Big5ToGbRow* rows)
{
    std::vector<Cell> cells;
    for (int r = 0; r < kBig5ToGbRows; ++r)
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const int column = Big5ToGbColumnIndex(trail);
            if (column < 0) continue;
            const unsigned char* out = rows[r].cells[column];
            cells.push_back({rows[r].lead << 8 | trail, static_cast<unsigned>(out[0] << 8 | out[1])});
        }
    return cells;
}

constexpr unsigned kBig5Placeholder = kBig5PlaceholderLead << 8 | kBig5PlaceholderTrail;
constexpr unsigned kGbkPlaceholder = kGbkPlaceholderLead << 8 | kGbkPlaceholderTrail;

// A mapped cell must come from a real character and lead to one. A real
// character that ends up as the placeholder is only counted and reported:
// most of them simply have no counterpart in the other code.
void CheckCells(const char* name, const std::vector<Cell>& cells, UINT sourcePage, UINT targetPage,
                unsigned placeholder)
{
    int mapped = 0, unmapped = 0;
    for (const Cell& cell : cells) {
        // Big5 has a few characters twice (A2CC and A451 are both U+5341), so a
        // source only has to decode, not round-trip.
        const bool sourceIsCharacter = Decode(sourcePage, cell.source) != 0;
        if (cell.target == placeholder) {
            unmapped += sourceIsCharacter;
            continue;
        }
        if (cell.target >> 8 < 0x80) continue;  // the numbered forms written in ASCII
        ++mapped;
        if (!IsKnownDifference(sourcePage, cell.source)) {
            EXPECT_TRUE(sourceIsCharacter) << "source " << Hex(cell.source) << " is no character";
        }
        if (!IsKnownDifference(targetPage, cell.target)) {
            EXPECT_TRUE(IsValidDoubleByte(targetPage, cell.target))
                << Hex(cell.source) << " -> " << Hex(cell.target) << " is no character";
        }
    }
    std::printf("%s: %d cells mapped, %d characters without a counterpart\n", name, mapped, unmapped);
    testing::Test::RecordProperty("UnmappedCharacters", unmapped);
}

TEST(CodeTablesAgainstCodePages, GbToBig5MapsRealCharactersToRealCharacters)
{
    CheckCells("GbToBig5Table", GbCells(), kGbk, kBig5, kBig5Placeholder);
}

TEST(CodeTablesAgainstCodePages, Big5ToGbSimplifiedMapsRealCharactersToRealCharacters)
{
    CheckCells("Big5ToGbSimplifiedTable", Big5Cells(Big5ToGbSimplifiedTable), kBig5, kGbk, kGbkPlaceholder);
}

TEST(CodeTablesAgainstCodePages, Big5ToGbkTraditionalMapsRealCharactersToRealCharacters)
{
    CheckCells("Big5ToGbkTraditionalTable", Big5Cells(Big5ToGbkTraditionalTable), kBig5, kGbk,
               kGbkPlaceholder);
}

// The traditional table is nothing but the system's own re-encoding: every
// Big5 character with a GBK code gets that code, and only the others the
// placeholder (the white square is both at once).
TEST(CodeTablesAgainstCodePages, Big5ToGbkTraditionalIsTheSystemsReencoding)
{
    int differences = 0;
    for (const Cell& cell : Big5Cells(Big5ToGbkTraditionalTable)) {
        if (IsKnownDifference(kBig5, cell.source)) continue;
        const wchar_t unit = Decode(kBig5, cell.source);
        const unsigned reencoded = unit ? Encode(kGbk, unit) : 0;
        const unsigned expected = reencoded ? reencoded : kGbkPlaceholder;
        if (cell.target != expected) {
            ++differences;
            ADD_FAILURE() << Hex(cell.source) << " (U+" << Hex(unit) << "): table " << Hex(cell.target)
                          << ", system " << Hex(expected);
        }
    }
    EXPECT_EQ(differences, 0);
}

} // namespace
