// The rows of the message catalogue, generated into MessageTable.cpp from
// catalogue/messages.txt by tools/gen_message_table.py.
#pragma once

#include <cstdint>

// One catalogue row. The three texts are bytes of their column's code page:
// English 1252, Simplified Chinese 936 (GBK), Traditional Chinese 950 (Big5);
// a text of several lines separates them with CR LF.
struct CMessageRow {
    std::int32_t m_nId;          // unique; 0 only in the row that ends the table
    std::int32_t m_nFlags;       // 0 in every row
    const char* m_pszKey;        // "IDS_ERROR_FILE_READONLY", "Shell_LCID" ...
    const char* m_pszCategory;   // "Info", "Tip", "Dialog", "Message", "Error" or "PXT"
    const char* m_pszEnglish;
    const char* m_pszSimplified;
    const char* m_pszTraditional;
};

// The table in id order, ended by a row whose id is 0 (its strings are empty,
// never null).
extern const CMessageRow g_arrMessageTable[];
