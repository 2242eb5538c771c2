#include "LumbraPathCheck.h"

#include "PathUtil.h"
#include "TextTrim.h"

#include <cctype>

namespace {

bool EndsWithExe(const std::string& strPath)
{
    static const char kSuffix[] = ".exe";
    constexpr std::size_t nSuffix = sizeof kSuffix - 1;
    if (strPath.size() < nSuffix)
        return false;
    for (std::size_t i = 0; i < nSuffix; ++i) {
        const char c = strPath[strPath.size() - nSuffix + i];
        if (std::tolower(static_cast<unsigned char>(c)) != kSuffix[i])
            return false;
    }
    return true;
}

} // namespace

bool CheckLumbraPath(int nKind, const std::string& strText, const std::string& strConfiguredRoot,
                     const std::string& strConfiguredExe)
{
    std::string strPath = strText;
    TrimBlank(strPath);
    switch (nKind) {
    case kLumbraPathFolder:
        return FolderExists(strPath.empty() ? strConfiguredRoot : strPath);
    case kLumbraPathExecutable:
        if (strPath.empty())
            strPath = strConfiguredExe;
        return PathExists(strPath) && !FolderExists(strPath) && EndsWithExe(strPath);
    default:
        return false;
    }
}
