#include "Utf8Codec.h"

#include <windows.h>

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte opens and the bounds of its second
// byte, which is where overlong forms, surrogates and values above U+10FFFF
// show (RFC 3629, table 3-7 of the Unicode standard).
struct SequenceRule {
    unsigned char firstLead, lastLead;
    std::size_t length;
    unsigned char secondLow, secondHigh;
};
const SequenceRule kSequenceRules[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

const SequenceRule* RuleFor(unsigned char lead)
{
    for (const SequenceRule& rule : kSequenceRules)
        if (lead >= rule.firstLead && lead <= rule.lastLead)
            return &rule;
    return nullptr;
}

} // namespace

std::size_t FirstInvalidUtf8Byte(const std::string& text)
{
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const SequenceRule* rule = RuleFor(lead);
        if (!rule)
            return i;
        // The offset named is that of the first byte that cannot be part of
        // the character, so a truncated sequence points past its last byte.
        for (std::size_t k = 1; k < rule->length; ++k) {
            if (i + k >= size)
                return i + k;
            const unsigned char byte = static_cast<unsigned char>(text[i + k]);
            const bool fits = k == 1 ? byte >= rule->secondLow && byte <= rule->secondHigh : IsContinuation(byte);
            if (!fits)
                return i + k;
        }
        i += rule->length;
    }
    return kValidUtf8;
}

bool Utf8ToUtf16Le(const std::string& utf8, std::string& utf16le)
{
    utf16le.clear();
    if (utf8.empty())
        return true;
    if (utf8.size() > 0x7FFFFFFF)
        return false;
    const int size = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (units <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, &wide[0], units) != units)
        return false;
    utf16le.reserve(wide.size() * 2);
    for (const wchar_t unit : wide) {
        utf16le.push_back(static_cast<char>(unit & 0xFF));
        utf16le.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return true;
}

std::wstring Utf16LeToWide(const std::string& utf16le)
{
    std::wstring wide;
    wide.reserve(utf16le.size() / 2);
    for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2)
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(utf16le[i]) |
                                            static_cast<unsigned char>(utf16le[i + 1]) << 8));
    return wide;
}

bool Utf16LeToUtf8(const std::string& utf16le, std::string& utf8)
{
    utf8.clear();
    const std::wstring wide = Utf16LeToWide(utf16le);
    if (wide.empty())
        return true;
    if (wide.size() > 0x3FFFFFFF)
        return false;
    const int units = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    utf8.assign(static_cast<std::size_t>(size), '\0');
    return WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &utf8[0], size, nullptr, nullptr) == size;
}

void DropByteOrderMark(std::string& text, bool utf8)
{
    const char* mark = utf8 ? "\xEF\xBB\xBF" : "\xFF\xFE";
    const std::size_t length = utf8 ? 3 : 2;
    if (text.compare(0, length, mark, length) == 0)
        text.erase(0, length);
}
