#include "WebAddresses.h"

#include "InterfaceLanguage.h"

namespace {

bool StartsWithNoCase(const std::string& strText, const char* pszPrefix)
{
    std::size_t i = 0;
    for (; pszPrefix[i]; ++i) {
        if (i >= strText.size())
            return false;
        char c = strText[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != pszPrefix[i])
            return false;
    }
    return true;
}

// Printable ASCII without blanks and quotes: what a command line carries as
// one argument and the shell takes for a web address.
bool IsPlainUrlText(const std::string& strText)
{
    for (const char c : strText) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '"')
            return false;
    }
    return true;
}

} // namespace

std::string VendorSiteFromStored(const std::string& strStored)
{
    std::string strSite = strStored;
    while (!strSite.empty() && strSite.back() == '/')
        strSite.pop_back();
    std::size_t nHostStart = 0;
    if (StartsWithNoCase(strSite, "http://"))
        nHostStart = 7;
    else if (StartsWithNoCase(strSite, "https://"))
        nHostStart = 8;
    if (nHostStart == 0 || strSite.size() == nHostStart || !IsPlainUrlText(strSite))
        return kDefaultVendorSite;
    return strSite;
}

std::string ProductHomePage(const std::string& strSite, std::uint32_t nLCID)
{
    if (nLCID == kLcidTraditionalChinese)
        return strSite + "/kivo/index_cht.html";
    if (nLCID == kLcidSimplifiedChinese)
        return strSite + "/kivo/index_chs.html";
    return strSite + "/kivo";
}

std::string VendorHomePage(const std::string& strSite, std::uint32_t nLCID)
{
    if (nLCID == kLcidTraditionalChinese)
        return strSite + "/index_cht.html";
    return strSite + "/";
}
