#include "DiskSpace.h"

#include <limits>

std::uint64_t KilobytesFromClusters(std::uint32_t nBytesPerSector, std::uint32_t nSectorsPerCluster,
                                    std::uint32_t nClusters)
{
    const std::uint64_t nSectors = std::uint64_t{nClusters} * nSectorsPerCluster;
    if (nSectors <= 1048576u)
        return (nSectors * nBytesPerSector + 1023u) / 1024u;
    const std::uint64_t nKiloSectors = (nSectors + 512u) / 1024u;
    // No real drive comes near; a driver reporting nonsense gets the largest
    // number rather than a wrapped-around small one.
    if (nBytesPerSector != 0 && nKiloSectors > std::numeric_limits<std::uint64_t>::max() / nBytesPerSector)
        return std::numeric_limits<std::uint64_t>::max();
    return nBytesPerSector * nKiloSectors;
}

namespace {

// "1,234,567": the number with a comma between groups of three digits.
std::string GroupThousands(std::uint64_t nNumber)
{
    std::string strDigits = std::to_string(nNumber);
    for (std::size_t nAt = strDigits.size(); nAt > 3;) {
        nAt -= 3;
        strDigits.insert(nAt, 1, ',');
    }
    return strDigits;
}

}  // namespace

std::string FormatKilobytes(std::uint64_t nKilobytes)
{
    if (nKilobytes < 1024u)
        return std::to_string(nKilobytes) + " KB";
    if (nKilobytes < 1048576u)
        return GroupThousands(nKilobytes) + " KB";
    return GroupThousands((nKilobytes + 1023u) / 1024u) + " MB";
}
