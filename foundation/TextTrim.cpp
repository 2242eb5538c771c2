#include "TextTrim.h"

bool TrimBlank(std::string& strText)
{
    // One pass is already the fixed point "repeat until nothing changes":
    // after cutting every leading and trailing member of the set, neither end
    // can hold one any more.
    const std::string::size_type nFirst = strText.find_first_not_of(kTrimBlankChars);
    if (nFirst == std::string::npos) {
        const bool bChanged = !strText.empty();
        strText.clear();
        return bChanged;
    }
    const std::string::size_type nLast = strText.find_last_not_of(kTrimBlankChars);
    if (nFirst == 0 && nLast + 1 == strText.size())
        return false;
    strText.erase(nLast + 1);
    strText.erase(0, nFirst);
    return true;
}
