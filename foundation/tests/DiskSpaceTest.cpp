#include "DiskSpace.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(DiskSpaceTest, SmallDrivesAreCountedExactlyAndRoundedUp)
{
    EXPECT_EQ(KilobytesFromClusters(512, 1, 1), 1u);
    EXPECT_EQ(KilobytesFromClusters(512, 2, 1), 1u);
    EXPECT_EQ(KilobytesFromClusters(512, 2, 3), 3u);
    EXPECT_EQ(KilobytesFromClusters(512, 8, 131072), 524288u);  // 1048576 sectors: the last exact size
    EXPECT_EQ(KilobytesFromClusters(4096, 1, 0), 0u);
}

TEST(DiskSpaceTest, LargeDrivesDoNotOverflow)
{
    // 1048577 sectors and up: sector size times rounded kilo-sectors.
    EXPECT_EQ(KilobytesFromClusters(512, 1, 1048577), 512u * 1024u);
    // 2^32 - 1 clusters of 64 KB: far past 32 bits, and exact in 64.
    const std::uint64_t nSectors = std::uint64_t{0xFFFFFFFFu} * 128u;
    EXPECT_EQ(KilobytesFromClusters(512, 128, 0xFFFFFFFFu), 512u * ((nSectors + 512u) / 1024u));
    // Nonsense from a driver saturates instead of wrapping around.
    EXPECT_EQ(KilobytesFromClusters(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu), UINT64_MAX);
}

TEST(DiskSpaceTest, TextInKilobytesAndMegabytes)
{
    EXPECT_EQ(FormatKilobytes(0), "0 KB");
    EXPECT_EQ(FormatKilobytes(1023), "1023 KB");
    EXPECT_EQ(FormatKilobytes(1024), "1,024 KB");
    EXPECT_EQ(FormatKilobytes(12005), "12,005 KB");
    EXPECT_EQ(FormatKilobytes(1048575), "1,048,575 KB");
    EXPECT_EQ(FormatKilobytes(1048576), "1,024 MB");
    EXPECT_EQ(FormatKilobytes(1048577), "1,025 MB");
    EXPECT_EQ(FormatKilobytes(2097152), "2,048 MB");
    EXPECT_EQ(FormatKilobytes(std::uint64_t{2000000} * 1024u), "2,000,000 MB");
}
