// The three fixed code tables of the engine.
//
// Each table maps one double-byte code (lead byte, trail byte) to exactly two
// output bytes, written as they stand. The data lives in CodeTables.cpp, which
// tools/gen_code_tables.py generates; do not edit that file by hand.
#pragma once

// One row of GbToBig5Table: a GB lead byte and its 94 trail bytes 0xA1..0xFE.
struct GbToBig5Row {
    unsigned char lead;            // recorded for readers of the data; lookups never use it
    unsigned char cells[94][2];
};

// One row of a Big5 table: a lead byte and its 157 trail bytes,
// 0x40..0x7E (columns 0..62) followed by 0xA1..0xFE (columns 63..156).
struct Big5ToGbRow {
    unsigned char lead;
    unsigned char cells[157][2];
};

constexpr int kGbToBig5Rows = 49;     // leads 0xA1..0xA9, then 0xB0..0xD7
constexpr int kGbToBig5Columns = 94;
constexpr int kBig5ToGbRows = 126;    // leads 0x81..0xFE
constexpr int kBig5ToGbColumns = 157;

// GB (GB2312 rows of a GBK text) to Big5, simplified characters replaced by
// their traditional forms.
extern const GbToBig5Row GbToBig5Table[kGbToBig5Rows];
// Big5 to GBK, traditional characters replaced by their simplified forms.
extern const Big5ToGbRow Big5ToGbSimplifiedTable[kBig5ToGbRows];
// Big5 to GBK keeping the same characters ("GBK Traditional Chinese").
extern const Big5ToGbRow Big5ToGbkTraditionalTable[kBig5ToGbRows];

// The white square of each code, written for characters without a counterpart.
constexpr unsigned char kBig5PlaceholderLead = 0xA1, kBig5PlaceholderTrail = 0xBC;
constexpr unsigned char kGbkPlaceholderLead = 0xA1, kGbkPlaceholderTrail = 0xF5;

// Row of GbToBig5Table for a GB lead byte, or -1 when the table has no row for it.
constexpr int GbToBig5RowIndex(unsigned lead)
{
    if (lead >= 0xA1 && lead <= 0xA9) return static_cast<int>(lead - 0xA1);
    if (lead >= 0xB0 && lead <= 0xD7) return static_cast<int>(lead - 0xB0 + 9);
    return -1;
}

// Column of a Big5 table for a trail byte, or -1 for a trail byte outside
// 0x40..0x7E and 0xA1..0xFE.
constexpr int Big5ToGbColumnIndex(unsigned trail)
{
    if (trail >= 0x40 && trail <= 0x7E) return static_cast<int>(trail - 0x40);
    if (trail >= 0xA1 && trail <= 0xFE) return static_cast<int>(63 + trail - 0xA1);
    return -1;
}
