// Path and folder functions against the real file system (under Wine: the
// prefix's drive C and the host's root as Z).
#include "PathUtil.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

std::string Lower(std::string strText)
{
    std::transform(strText.begin(), strText.end(), strText.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return strText;
}

// A drive letter that names no drive on this system, as "Q:".
std::string MissingDrive()
{
    for (char ch = 'Q'; ch <= 'Y'; ++ch) {
        const std::string strRoot = std::string(1, ch) + ":\\";
        if (GetDriveTypeA(strRoot.c_str()) == DRIVE_NO_ROOT_DIR)
            return strRoot.substr(0, 2);
    }
    return std::string();
}

}  // namespace

TEST(PathUtilWin32Test, ModulePathOfTheTestProgram)
{
    const std::string strFile = GetModulePath(ModulePathFile);
    const std::string strFolder = GetModulePath(ModulePathFolder);
    ASSERT_GT(strFile.size(), strFolder.size());
    EXPECT_EQ(Lower(strFile.substr(strFile.size() - 20)), "foundation_tests.exe");
    EXPECT_EQ(strFile.substr(0, strFolder.size() + 1), strFolder + "\\");
    EXPECT_TRUE(FolderExists(strFolder));
    EXPECT_EQ(GetModulePath(0), "");
    EXPECT_EQ(GetModulePath(3), "");
}

TEST(PathUtilWin32Test, ExistenceOfFilesFoldersAndDrives)
{
    CScratchFolder scratch;
    ASSERT_FALSE(scratch.Path().empty());
    const std::string strFile = scratch / "a.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "text"));

    EXPECT_TRUE(PathExists(strFile));
    EXPECT_TRUE(PathExists(scratch.Path()));
    EXPECT_TRUE(PathExists(scratch.Path() + "\\"));
    EXPECT_TRUE(PathExists("C:"));
    EXPECT_TRUE(PathExists("C:\\"));
    EXPECT_FALSE(PathExists(scratch / "missing"));
    EXPECT_FALSE(PathExists(scratch / "*.txt"));  // a pattern is no name
    EXPECT_FALSE(PathExists(""));

    EXPECT_TRUE(FolderExists(scratch.Path()));
    EXPECT_TRUE(FolderExists(scratch.Path() + "\\"));
    EXPECT_TRUE(FolderExists("C:"));
    EXPECT_TRUE(FolderExists("c:\\"));
    EXPECT_FALSE(FolderExists(strFile));
    EXPECT_FALSE(FolderExists(scratch / "missing"));
    EXPECT_FALSE(FolderExists(""));

    const std::string strMissingDrive = MissingDrive();
    if (!strMissingDrive.empty()) {
        EXPECT_FALSE(PathExists(strMissingDrive));
        EXPECT_FALSE(FolderExists(strMissingDrive + "\\"));
    }
}

TEST(PathUtilWin32Test, FileExistsHonoursAccessAndSharing)
{
    CScratchFolder scratch;
    const std::string strFile = scratch / "a.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "text"));
    EXPECT_TRUE(FileExists(strFile, GENERIC_READ, FILE_SHARE_READ));
    EXPECT_FALSE(FileExists(scratch.Path(), GENERIC_READ, FILE_SHARE_READ));
    EXPECT_FALSE(FileExists(scratch / "missing.txt", GENERIC_READ, FILE_SHARE_READ));

    // Held open by someone else without sharing, the file does not open.
    HANDLE hLock = CreateFileA(strFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileExists(strFile, GENERIC_READ, FILE_SHARE_READ));
    CloseHandle(hLock);
}

TEST(PathUtilWin32Test, LongAndMalformedPathsAreSimplyAbsent)
{
    CScratchFolder scratch;
    const std::string strLong = scratch / std::string(300, 'n');
    EXPECT_FALSE(PathExists(strLong));
    EXPECT_FALSE(FolderExists(strLong));
    EXPECT_FALSE(FileExists(strLong, GENERIC_READ, 0));
    EXPECT_FALSE(PathExists(std::string(5000, '\\')));
}

TEST(PathUtilWin32Test, NearestExistingFolder)
{
    CScratchFolder scratch;
    const std::string strFile = scratch / "a.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "text"));
    EXPECT_EQ(NearestExistingFolder(scratch.Path()), scratch.Path());
    EXPECT_EQ(NearestExistingFolder(scratch.Path() + "\\"), scratch.Path());
    EXPECT_EQ(NearestExistingFolder(strFile), scratch.Path());
    EXPECT_EQ(NearestExistingFolder(scratch / "x\\y\\z\\w.txt"), scratch.Path());
    std::string strSlashed = scratch / "x/y";
    std::replace(strSlashed.begin(), strSlashed.end(), '\\', '/');
    EXPECT_EQ(NearestExistingFolder("  " + strSlashed + " "), scratch.Path());
    EXPECT_EQ(NearestExistingFolder("C:\\"), "C:");
    EXPECT_EQ(NearestExistingFolder(""), "");
    EXPECT_EQ(NearestExistingFolder("no-such-folder-anywhere\\x"), "");
    const std::string strMissingDrive = MissingDrive();
    if (!strMissingDrive.empty()) {
        EXPECT_EQ(NearestExistingFolder(strMissingDrive + "\\a\\b"), "");
    }
}

TEST(IsValidPathWin32Test, MissingFoldersBelowADriveRootAreValidAndLeaveNoTrace)
{
    const std::string strTop = "C:\\kivo-utils-valid-" + std::to_string(GetCurrentProcessId());
    ASSERT_FALSE(PathExists(strTop));
    EXPECT_TRUE(IsValidPath(strTop + "\\level2\\level3\\file.txt"));
    EXPECT_FALSE(PathExists(strTop));
    EXPECT_TRUE(IsValidPath(strTop + "/level2/level3/"));
    EXPECT_FALSE(PathExists(strTop));
}

TEST(IsValidPathWin32Test, ExistingPathsAndBadOnes)
{
    CScratchFolder scratch;
    const std::string strFile = scratch / "a.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "text"));
    EXPECT_TRUE(IsValidPath(strFile));
    EXPECT_TRUE(IsValidPath(" " + scratch.Path() + "\\ "));
    EXPECT_TRUE(IsValidPath(scratch / "new.txt"));

    EXPECT_FALSE(IsValidPath(strFile + "\\below.txt"));  // the parent is a file
    EXPECT_FALSE(IsValidPath(strFile + "\\x\\y\\below.txt"));
    EXPECT_FALSE(IsValidPath(""));
    EXPECT_FALSE(IsValidPath("   "));
    EXPECT_FALSE(IsValidPath("no-such-folder-anywhere\\a.txt"));  // no existing ancestor
    EXPECT_FALSE(IsValidPath(scratch / "a*.txt"));
    EXPECT_FALSE(IsValidPath(scratch / "x\\" + std::string(300, 'n') + "\\a.txt"));
    const std::string strMissingDrive = MissingDrive();
    if (!strMissingDrive.empty()) {
        EXPECT_FALSE(IsValidPath(strMissingDrive + "\\a\\b.txt"));
    }
    // Whatever the checks made, they took away again.
    EXPECT_EQ(scratch.Listing(), "a.txt");
}

TEST(CreateFolderPathWin32Test, CreatesEveryMissingLevel)
{
    CScratchFolder scratch;
    EXPECT_EQ(CreateFolderPath(scratch / "a\\b\\c"), 0);
    EXPECT_TRUE(FolderExists(scratch / "a\\b\\c"));
    EXPECT_EQ(CreateFolderPath(scratch / "a\\b\\c\\"), 0);  // already there
    EXPECT_EQ(CreateFolderPath(scratch.Path()), 0);
    std::string strSlashed = scratch / "d/e";
    EXPECT_EQ(CreateFolderPath(strSlashed), 0);
    EXPECT_TRUE(FolderExists(scratch / "d\\e"));
}

TEST(CreateFolderPathWin32Test, FailsIntoFilesAndOnBadNames)
{
    CScratchFolder scratch;
    const std::string strFile = scratch / "a.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "text"));
    EXPECT_EQ(CreateFolderPath(strFile), 1);
    EXPECT_EQ(CreateFolderPath(strFile + "\\sub"), 1);
    EXPECT_EQ(CreateFolderPath(""), 1);
    EXPECT_EQ(CreateFolderPath(scratch / std::string(300, 'n')), 1);
    const std::string strMissingDrive = MissingDrive();
    if (!strMissingDrive.empty()) {
        EXPECT_EQ(CreateFolderPath(strMissingDrive + "\\a"), 1);
    }
    EXPECT_EQ(scratch.Listing(), "a.txt");
}
