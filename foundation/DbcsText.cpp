#include "DbcsText.h"

bool IsDbcsLeadByte(unsigned nCodePage, unsigned char chByte)
{
    switch (nCodePage) {
    case 932:   // Shift-JIS
        return (chByte >= 0x81 && chByte <= 0x9F) || (chByte >= 0xE0 && chByte <= 0xFC);
    case 936:   // GBK
    case 949:   // Unified Hangul
    case 950:   // Big5
        return chByte >= 0x81 && chByte <= 0xFE;
    case 1361:  // Johab
        return (chByte >= 0x84 && chByte <= 0xD3) || (chByte >= 0xD8 && chByte <= 0xDE) ||
               (chByte >= 0xE0 && chByte <= 0xF9);
    default:
        return false;
    }
}

std::size_t FindLastSingleByte(const std::string& strText, char ch, unsigned nCodePage)
{
    std::size_t nFound = std::string::npos;
    const std::size_t nSize = strText.size();
    for (std::size_t i = 0; i < nSize;) {
        const unsigned char chByte = static_cast<unsigned char>(strText[i]);
        // A lead byte as the very last byte has no partner and stands alone.
        if (IsDbcsLeadByte(nCodePage, chByte) && i + 1 < nSize) {
            i += 2;
            continue;
        }
        if (strText[i] == ch)
            nFound = i;
        ++i;
    }
    return nFound;
}

bool EndsWithSingleByte(const std::string& strText, char ch, unsigned nCodePage)
{
    return !strText.empty() && FindLastSingleByte(strText, ch, nCodePage) == strText.size() - 1;
}
