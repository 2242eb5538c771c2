#include "HexText.h"

#include "TextTrim.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kMaxHexDigits = 8;

// Value of an upper-case hexadecimal digit, or -1.
int UpperHexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

std::string UpperAscii(std::string strText)
{
    for (char& ch : strText) {
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    return strText;
}

bool AllUpperHexDigits(const std::string& strText)
{
    for (char ch : strText) {
        if (UpperHexValue(ch) < 0)
            return false;
    }
    return true;
}

}  // namespace

std::string FormatHex(std::uint32_t nNumber, int nWidth)
{
    std::string strDigits(16, '0');
    for (std::size_t i = 16; i-- > 0 && nNumber != 0;) {
        strDigits[i] = kHexDigits[nNumber & 0xF];
        nNumber >>= 4;
    }
    if (nWidth <= 0)
        return std::string();
    if (nWidth > 16)
        nWidth = 16;
    return strDigits.substr(16 - static_cast<std::size_t>(nWidth));
}

bool IsHexString(const std::string& strText)
{
    std::string strDigits = strText;
    TrimBlank(strDigits);
    return !strDigits.empty() && AllUpperHexDigits(UpperAscii(strDigits));
}

std::uint32_t ParseHex(const std::string& strText, std::string& strMessage)
{
    strMessage.clear();
    std::string strTrimmed = strText;
    TrimBlank(strTrimmed);
    if (strTrimmed.empty()) {
        // Callers ignore this text; it says nothing more than "blank".
        strMessage = "Input string is blank\r\n";
        return 0;
    }

    std::string strDigits = UpperAscii(strTrimmed);
    if (strDigits.compare(0, 2, "0X") == 0)
        strDigits.erase(0, 2);
    // "0x" alone has no digits and is no number either.
    if (strDigits.empty() || !AllUpperHexDigits(strDigits)) {
        strMessage = "\"" + strTrimmed + "\" is not a valid hex number string\r\n";
        return 0;
    }
    if (strDigits.size() > kMaxHexDigits) {
        strMessage = "The string is too long, maximum allowable length is 8.\r\n";
        return 0;
    }

    std::uint32_t nValue = 0;
    for (char ch : strDigits)
        nValue = (nValue << 4) | static_cast<std::uint32_t>(UpperHexValue(ch));
    return nValue;
}

bool DecodeHexPairs(const std::string& strText, std::vector<unsigned char>& arrBytes, std::size_t nCount)
{
    arrBytes.clear();
    for (std::size_t i = 0; i < nCount; ++i) {
        const std::size_t nAt = 2 * i;
        if (nAt + 1 >= strText.size())
            return false;
        const int nHigh = UpperHexValue(strText[nAt]);
        const int nLow = UpperHexValue(strText[nAt + 1]);
        if (nHigh < 0 || nLow < 0)
            return false;
        arrBytes.push_back(static_cast<unsigned char>((nHigh << 4) | nLow));
    }
    return true;
}
