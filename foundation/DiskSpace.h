// Free and total space of a drive, in kilobytes and as the text the control
// panel shows ("512 KB", "12,345 KB", "2,048 MB").
#pragma once

#include <cstdint>
#include <string>

enum DiskSpaceKind {
    DiskSpaceFree = 0,   // what is left on the drive
    DiskSpaceTotal = 1,  // the size of the drive
};

// Kilobytes of `nClusters` clusters, rounded up. The two ways of computing
// it are kept as the programs have always computed it: exactly for drives of
// up to 1048576 sectors, and sector size times rounded kilo-sectors above.
std::uint64_t KilobytesFromClusters(std::uint32_t nBytesPerSector, std::uint32_t nSectorsPerCluster,
                                    std::uint32_t nClusters);

// "%d KB" below 1024 KB, "12,345 KB" below 1048576 KB, otherwise the
// megabytes rounded up ("2,048 MB"). Every group of three digits gets its
// comma, so a drive of terabytes reads "1,907,349 MB".
std::string FormatKilobytes(std::uint64_t nKilobytes);

// Windows only (DiskSpaceWin32.cpp).

// The kilobytes of the drive that holds the existing folder `strPath` (its
// first two characters and "\"). False when the path is no existing folder or
// the drive cannot be asked.
bool QueryDiskSpace(const std::string& strPath, DiskSpaceKind eKind, std::uint64_t& nKilobytes);

// The same as text (FormatKilobytes); `strText` is emptied on failure.
bool FormatDiskSpace(const std::string& strPath, DiskSpaceKind eKind, std::string& strText);

// Makes sure the folder exists (creating it and its missing ancestors) and
// tells whether its drive has at least `nMinimumKilobytes` free.
bool EnsureTempFolder(const std::string& strFolder, std::uint64_t nMinimumKilobytes);
