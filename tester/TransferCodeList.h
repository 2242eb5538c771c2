// The transfer codes the tester's lists offer. A list's entry position is the
// code handed to the control, so the table is in code order.
#pragma once

#include <cstddef>

struct CTransferCodeEntry {
    short nCode;
    const char* pszText;
};

// The five codes in list order; the edit-area lists offer the first three.
extern const CTransferCodeEntry kTransferCodeEntries[5];
constexpr int kEditAreaCodeCount = 3;
constexpr int kClipboardCodeCount = 5;

// Selections the dialog starts with.
constexpr int kInitialEditFrom = 0;
constexpr int kInitialEditTo = 1;
constexpr int kInitialClipboardFrom = 3;
constexpr int kInitialClipboardTo = 4;

// Codes 3 and up are UTF-16 texts; the others are byte texts.
constexpr bool IsUnicodeTransferCode(int nCode) { return nCode >= 3; }

// The code page that shows a byte text of `nCode` in an edit: Big5 for code
// 1, GBK for the two GBK codes.
constexpr unsigned EditCodePageOf(int nCode) { return nCode == 1 ? 950u : 936u; }
