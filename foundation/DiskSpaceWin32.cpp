#include "DiskSpace.h"

#include "PathUtil.h"

#include <windows.h>

bool QueryDiskSpace(const std::string& strPath, DiskSpaceKind eKind, std::uint64_t& nKilobytes)
{
    nKilobytes = 0;
    if ((eKind != DiskSpaceFree && eKind != DiskSpaceTotal) || strPath.size() < 2 || !FolderExists(strPath))
        return false;
    const std::string strRoot = strPath.substr(0, 2) + "\\";
    DWORD dwSectorsPerCluster = 0, dwBytesPerSector = 0, dwFreeClusters = 0, dwTotalClusters = 0;
    if (!GetDiskFreeSpaceA(strRoot.c_str(), &dwSectorsPerCluster, &dwBytesPerSector, &dwFreeClusters,
                           &dwTotalClusters))
        return false;
    nKilobytes = KilobytesFromClusters(dwBytesPerSector, dwSectorsPerCluster,
                                       eKind == DiskSpaceFree ? dwFreeClusters : dwTotalClusters);
    return true;
}

bool FormatDiskSpace(const std::string& strPath, DiskSpaceKind eKind, std::string& strText)
{
    strText.clear();
    std::uint64_t nKilobytes = 0;
    if (!QueryDiskSpace(strPath, eKind, nKilobytes))
        return false;
    strText = FormatKilobytes(nKilobytes);
    return true;
}

bool EnsureTempFolder(const std::string& strFolder, std::uint64_t nMinimumKilobytes)
{
    if (!FolderExists(strFolder) && CreateFolderPath(strFolder) != 0)
        return false;
    std::uint64_t nFree = 0;
    return QueryDiskSpace(strFolder, DiskSpaceFree, nFree) && nFree >= nMinimumKilobytes;
}
