// Double-byte awareness for byte strings of a multibyte code page.
//
// In the East Asian code pages (932, 936, 949, 950, 1361) a character may be
// two bytes whose second byte is 0x5C, the byte of "\". A path routine that
// looks for "\" byte by byte cuts such a character in two: the Big5 name
// "\xB3\x5C" (a common surname) would lose its last byte as a "trailing
// separator". The path helpers therefore walk their text character by
// character with these functions.
#pragma once

#include <cstddef>
#include <string>

// True when `chByte` opens a two-byte character in `nCodePage`. Code pages
// without double-byte characters have no lead bytes.
bool IsDbcsLeadByte(unsigned nCodePage, unsigned char chByte);

// Index of the last `ch` that stands as a character of its own (not as the
// second byte of a double-byte character), or npos. `ch` should be below 0x80.
std::size_t FindLastSingleByte(const std::string& strText, char ch, unsigned nCodePage);

// True when the text's last character is the single byte `ch`.
bool EndsWithSingleByte(const std::string& strText, char ch, unsigned nCodePage);
