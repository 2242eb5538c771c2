#include "LumbraPathCheck.h"

#include "PathText.h"
#include "PathUtil.h"
#include "TextTrim.h"

std::string EffectiveLumbraPath(int nKind, const std::string& strText, const std::string& strConfiguredRoot,
                                const std::string& strConfiguredExe)
{
    std::string strPath = strText;
    TrimBlank(strPath);
    if (nKind == kLumbraPathFolder) {
        strPath = RemoveTrailingBackslashes(strPath.empty() ? strConfiguredRoot : strPath);
        // A drive's root keeps its "\": "C:" alone is the drive's current folder.
        if (strPath.size() == 2 && strPath[1] == ':')
            strPath += '\\';
        return strPath;
    }
    return strPath.empty() ? strConfiguredExe : strPath;
}

bool CheckLumbraPath(int nKind, const std::string& strText, const std::string& strConfiguredRoot,
                     const std::string& strConfiguredExe)
{
    const std::string strPath = EffectiveLumbraPath(nKind, strText, strConfiguredRoot, strConfiguredExe);
    switch (nKind) {
    case kLumbraPathFolder:
        return FolderExists(strPath);
    case kLumbraPathExecutable:
        return PathExists(strPath) && !FolderExists(strPath) && HasExtension(strPath, ".exe");
    default:
        return false;
    }
}
