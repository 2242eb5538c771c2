#include "TempFile.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

bool IsEmptyFile(const std::string& strPath)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return ::GetFileAttributesExA(strPath.c_str(), GetFileExInfoStandard, &data) &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.nFileSizeLow == 0 && data.nFileSizeHigh == 0;
}

FreeSpaceQuery Reports(std::uint64_t nKilobytes)
{
    return [nKilobytes](const std::string&, std::uint64_t& nFree) {
        nFree = nKilobytes;
        return true;
    };
}

void Touch(const std::string& strPath, const std::string& strContent = std::string())
{
    const HANDLE h = ::CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD dwWritten = 0;
    ::WriteFile(h, strContent.data(), static_cast<DWORD>(strContent.size()), &dwWritten, nullptr);
    ::CloseHandle(h);
}

} // namespace

TEST(MakeTempFile, TakesTheFirstFreeNameSkippingFilesAndFolders)
{
    CScratchFolder scratch;
    const CTempFolders folders{scratch / "work", scratch.Path()};
    const FreeSpaceQuery roomy = Reports(kTempMinimumFreeKilobytes + 1);

    // The work folder is made when missing; a trailing "\" does not matter.
    CTempFolders slashed = folders;
    slashed.m_strWorkFolder += "\\\\";
    const std::string strFirst = MakeTempFile(slashed, true, "tmp", roomy);
    EXPECT_EQ(strFirst, folders.m_strWorkFolder + "\\temp0.tmp");
    EXPECT_TRUE(IsEmptyFile(strFirst));

    EXPECT_EQ(MakeTempFile(folders, true, "tmp", roomy), folders.m_strWorkFolder + "\\temp1.tmp");
    ASSERT_TRUE(::CreateDirectoryA((folders.m_strWorkFolder + "\\temp2.tmp").c_str(), nullptr));
    EXPECT_EQ(MakeTempFile(folders, true, "tmp", roomy), folders.m_strWorkFolder + "\\temp3.tmp");
    // Other extensions and none count on their own.
    EXPECT_EQ(MakeTempFile(folders, true, "dat", roomy), folders.m_strWorkFolder + "\\temp0.dat");
    EXPECT_EQ(MakeTempFile(folders, true, "", roomy), folders.m_strWorkFolder + "\\temp0");
}

TEST(MakeTempFile, NeverTruncatesAnExistingFile)
{
    CScratchFolder scratch;
    const CTempFolders folders{scratch / "work", scratch.Path()};
    ::CreateDirectoryA(folders.m_strWorkFolder.c_str(), nullptr);
    Touch(folders.m_strWorkFolder + "\\temp0.tmp", "somebody's data");
    const std::string strPath = MakeTempFile(folders, true, "tmp", Reports(kTempMinimumFreeKilobytes + 1));
    EXPECT_EQ(strPath, folders.m_strWorkFolder + "\\temp1.tmp");
    EXPECT_FALSE(IsEmptyFile(folders.m_strWorkFolder + "\\temp0.tmp"));
}

TEST(MakeTempFile, FallsBackToTheSystemFolder)
{
    CScratchFolder scratch;
    const std::string strSystem = scratch / "system";
    ASSERT_TRUE(::CreateDirectoryA(strSystem.c_str(), nullptr));
    const CTempFolders folders{scratch / "work", strSystem + "\\"};

    // 100,000 KB free is not enough: more is needed.
    EXPECT_EQ(MakeTempFile(folders, true, "tmp", Reports(kTempMinimumFreeKilobytes)), strSystem + "\\temp0.tmp");
    // A drive that cannot be asked counts as full.
    const FreeSpaceQuery unknown = [](const std::string&, std::uint64_t&) { return false; };
    EXPECT_EQ(MakeTempFile(folders, true, "tmp", unknown), strSystem + "\\temp1.tmp");
    // Without the work-folder flag the system folder is used at once.
    EXPECT_EQ(MakeTempFile(folders, false, "tmp", Reports(kTempMinimumFreeKilobytes + 1)), strSystem + "\\temp2.tmp");

    // A work folder that cannot be made (its parent is a file).
    Touch(scratch / "blocker");
    const CTempFolders blocked{scratch / "blocker" + "\\work", strSystem};
    EXPECT_EQ(MakeTempFile(blocked, true, "tmp", Reports(kTempMinimumFreeKilobytes + 1)), strSystem + "\\temp3.tmp");

    // Nowhere to write: an empty path.
    const CTempFolders nowhere{"", scratch / "missing"};
    EXPECT_EQ(MakeTempFile(nowhere, true, "tmp"), "");
    EXPECT_EQ(MakeTempFile(CTempFolders{}, false, "tmp"), "");
}

TEST(MakeTempFile, RealDriveHasRoomForTheWorkFolder)
{
    CScratchFolder scratch;
    const CTempFolders folders{scratch / "work", scratch / "system"};
    EXPECT_EQ(MakeTempFile(folders, true, "tmp"), folders.m_strWorkFolder + "\\temp0.tmp");
}
