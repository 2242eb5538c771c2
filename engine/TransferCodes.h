// Transfer codes of CodeTransfer: which encoding and which script a text is in.
#pragma once

enum TransferCode : short {
    GbkSimplified = 0,
    Big5Traditional = 1,
    GbkTraditional = 2,       // GBK bytes holding traditional characters
    UnicodeSimplified = 3,    // UTF-16LE; multibyte form is code page 936
    UnicodeTraditional = 4,   // UTF-16LE; multibyte form is code page 950
    UnicodeTraditional2 = 5,  // treated exactly as UnicodeTraditional
};

constexpr unsigned kCodePageGbk = 936;
constexpr unsigned kCodePageBig5 = 950;

constexpr bool IsValidTransferCode(int code) { return code >= GbkSimplified && code <= UnicodeTraditional2; }
constexpr bool IsSimplifiedFamily(int code) { return code == GbkSimplified || code == UnicodeSimplified; }
constexpr bool IsUnicodeCode(int code) { return code >= UnicodeSimplified && code <= UnicodeTraditional2; }
// The multibyte form of a Unicode code: simplified texts travel as GBK, the rest as Big5.
constexpr unsigned CodePageOf(int code) { return IsSimplifiedFamily(code) ? kCodePageGbk : kCodePageBig5; }
