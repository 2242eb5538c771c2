// Hexadecimal texts: language codes such as "0804", and numbers typed by the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The number in upper-case hexadecimal, zero-padded to 16 digits, of which
// the right-most `nWidth` are returned (at most 16; none for 0 or less).
// FormatHex(1033, 4) is "0409".
std::string FormatHex(std::uint32_t nNumber, int nWidth);

// True when the text, trimmed of blanks, tabs, CR and LF, is not empty and
// holds hexadecimal digits only (either case). A "0x" prefix does not count
// as digits.
bool IsHexString(const std::string& strText);

// The value of a hexadecimal text of at most 8 digits, an optional "0x" or
// "0X" in front, blanks, tabs, CR and LF around it. Otherwise 0, with
// `strMessage` telling why (blank, not hexadecimal, too long); `strMessage`
// is emptied on success.
std::uint32_t ParseHex(const std::string& strText, std::string& strMessage);

// Decodes `nCount` pairs of upper-case hexadecimal digits from the start of
// the text into `arrBytes`. False at the first character that is not such a
// digit (the end of the text counts as one); `arrBytes` then holds the bytes
// decoded before it.
bool DecodeHexPairs(const std::string& strText, std::vector<unsigned char>& arrBytes, std::size_t nCount);
