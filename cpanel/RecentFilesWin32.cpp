#include "RecentFiles.h"

#include "PathUtil.h"
#include "Registry.h"
#include "TextTrim.h"

#include <windows.h>

namespace {

// The system's case rules, which know the double-byte characters of the
// ANSI code page (a byte-wise fold would take a Big5 trail byte for a letter).
bool SamePath(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool Listed(const std::vector<std::string>& arrList, const std::string& strPath)
{
    for (const std::string& strEntry : arrList)
        if (SamePath(strEntry, strPath))
            return true;
    return false;
}

} // namespace

std::vector<std::string> UniqueRecentFiles(const std::vector<std::string>& arrList)
{
    std::vector<std::string> arrUnique;
    for (const std::string& strPath : arrList) {
        if (arrUnique.size() == kRecentFileLimit)
            break;
        if (!Listed(arrUnique, strPath))
            arrUnique.push_back(strPath);
    }
    return arrUnique;
}

std::vector<std::string> LoadRecentFiles(const std::string& strSubKey)
{
    std::vector<std::string> arrList;
    for (std::size_t i = 1; i <= kRecentFileLimit; ++i) {
        std::string strPath = GetUserRegString(strSubKey, std::to_string(i), std::string());
        TrimBlank(strPath);
        if (strPath.empty())
            break;
        if (IsValidPath(strPath) && !Listed(arrList, strPath))
            arrList.push_back(strPath);
    }
    return arrList;
}

bool AddRecentFile(const std::string& strPath, const std::string& strSubKey)
{
    if (strPath.empty() || !PathExists(strPath))
        return false;
    std::vector<std::string> arrList = LoadRecentFiles(strSubKey);
    if (!arrList.empty() && SamePath(arrList.front(), strPath))
        return false;
    arrList.insert(arrList.begin(), strPath);
    return SaveRecentFiles(arrList, strSubKey);
}

bool SaveRecentFiles(const std::vector<std::string>& arrList, const std::string& strSubKey)
{
    const std::vector<std::string> arrUnique = UniqueRecentFiles(arrList);
    bool bStored = true;
    for (std::size_t i = 0; i < arrUnique.size(); ++i)
        bStored = SetUserRegString(strSubKey, std::to_string(i + 1), arrUnique[i]) && bStored;
    // The list ends at the first empty value; past the limit there is none to write.
    if (arrUnique.size() < kRecentFileLimit)
        bStored = SetUserRegString(strSubKey, std::to_string(arrUnique.size() + 1), std::string()) && bStored;
    return bStored;
}
