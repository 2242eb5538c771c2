// UTF-8 as kivoconv reads and writes it: strictly. The control works in
// UTF-16; the conversion both ways is the platform's, after a check of our
// own that can say where an input goes wrong, which the platform cannot.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t kValidUtf8 = static_cast<std::size_t>(-1);

// Offset of the first byte that does not belong to well-formed UTF-8
// (a stray continuation byte, a truncated sequence, an overlong form, a
// surrogate, a value above U+10FFFF, bytes C0, C1, F5 to FF), or kValidUtf8.
std::size_t FirstInvalidUtf8Byte(const std::string& text);

// UTF-8 (already checked) into UTF-16LE bytes, and back. False when the
// platform refuses.
bool Utf8ToUtf16Le(const std::string& utf8, std::string& utf16le);
bool Utf16LeToUtf8(const std::string& utf16le, std::string& utf8);

// UTF-16LE bytes as wide characters (an odd last byte is left out).
std::wstring Utf16LeToWide(const std::string& utf16le);

// Drops a byte-order mark at the start: EF BB BF for UTF-8, FF FE for UTF-16LE.
void DropByteOrderMark(std::string& text, bool utf8);
