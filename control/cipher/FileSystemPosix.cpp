#include "FileSystem.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

bool IsSameExistingFile(const std::string& strFirst, const std::string& strSecond)
{
    struct stat first, second;
    if (stat(strFirst.c_str(), &first) != 0 || stat(strSecond.c_str(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string FullPathName(const std::string& strPath)
{
    if (strPath.empty())
        return strPath;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(strPath, error);
    if (error)
        return strPath;
    return absolute.lexically_normal().string();
}

bool MoveFileOver(const std::string& strFrom, const std::string& strTo)
{
    return std::rename(strFrom.c_str(), strTo.c_str()) == 0;
}
