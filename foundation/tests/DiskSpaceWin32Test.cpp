#include "DiskSpace.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(DiskSpaceWin32Test, FreeAndTotalSpaceOfAnExistingFolder)
{
    CScratchFolder scratch;
    std::uint64_t nFree = 0, nTotal = 0;
    ASSERT_TRUE(QueryDiskSpace(scratch.Path(), DiskSpaceFree, nFree));
    ASSERT_TRUE(QueryDiskSpace(scratch.Path(), DiskSpaceTotal, nTotal));
    EXPECT_LE(nFree, nTotal);
    EXPECT_GT(nTotal, 0u);

    DWORD dwSectors = 0, dwBytes = 0, dwFree = 0, dwTotal = 0;
    const std::string strRoot = scratch.Path().substr(0, 2) + "\\";
    ASSERT_TRUE(GetDiskFreeSpaceA(strRoot.c_str(), &dwSectors, &dwBytes, &dwFree, &dwTotal));
    EXPECT_EQ(nTotal, KilobytesFromClusters(dwBytes, dwSectors, dwTotal));

    std::string strText;
    ASSERT_TRUE(FormatDiskSpace(scratch.Path(), DiskSpaceTotal, strText));
    EXPECT_EQ(strText, FormatKilobytes(nTotal));
}

TEST(DiskSpaceWin32Test, NoFolderNoAnswer)
{
    CScratchFolder scratch;
    ASSERT_TRUE(CScratchFolder::WriteBytes(scratch / "a.txt", "x"));
    std::string strText = "stale";
    std::uint64_t nKilobytes = 1;
    EXPECT_FALSE(FormatDiskSpace(scratch / "a.txt", DiskSpaceFree, strText));
    EXPECT_EQ(strText, "");
    EXPECT_FALSE(QueryDiskSpace(scratch / "missing", DiskSpaceFree, nKilobytes));
    EXPECT_EQ(nKilobytes, 0u);
    EXPECT_FALSE(QueryDiskSpace("", DiskSpaceFree, nKilobytes));
    EXPECT_FALSE(QueryDiskSpace(scratch.Path(), static_cast<DiskSpaceKind>(7), nKilobytes));
}

TEST(DiskSpaceWin32Test, EnsureTempFolderCreatesAndChecksTheSpace)
{
    CScratchFolder scratch;
    const std::string strTemp = scratch / "work\\temp";
    EXPECT_TRUE(EnsureTempFolder(strTemp, 1));
    EXPECT_NE(GetFileAttributesA(strTemp.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(EnsureTempFolder(strTemp, 0));
    EXPECT_FALSE(EnsureTempFolder(strTemp, UINT64_MAX));
    ASSERT_TRUE(CScratchFolder::WriteBytes(scratch / "file", "x"));
    EXPECT_FALSE(EnsureTempFolder(scratch / "file\\temp", 0));
}
