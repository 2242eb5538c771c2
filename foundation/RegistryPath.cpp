#include "RegistryPath.h"

namespace {

constexpr char kRegistryTrimChars[] = " \t\r\n\\";

}  // namespace

std::string TrimRegistryName(const std::string& strName)
{
    const std::string::size_type nFirst = strName.find_first_not_of(kRegistryTrimChars);
    if (nFirst == std::string::npos)
        return std::string();
    const std::string::size_type nLast = strName.find_last_not_of(kRegistryTrimChars);
    return strName.substr(nFirst, nLast - nFirst + 1);
}

std::string JoinRegistryPath(const std::string& strRoot, const std::string& strSubKey)
{
    const std::string strLeft = TrimRegistryName(strRoot);
    const std::string strRight = TrimRegistryName(strSubKey);
    if (strLeft.empty())
        return strRight;
    if (strRight.empty())
        return strLeft;
    return strLeft + "\\" + strRight;
}
