#include "DbcsText.h"
#include "PathText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned kAnsi = 1252, kBig5 = 950, kGbk = 936, kShiftJis = 932;

// Big5 for a common surname: its second byte is the byte of "\".
const std::string kBig5Hsu = "\xB3\x5C";

}  // namespace

TEST(DbcsTextTest, LeadBytesFollowTheCodePage)
{
    EXPECT_FALSE(IsDbcsLeadByte(kAnsi, 0xB3));
    EXPECT_TRUE(IsDbcsLeadByte(kBig5, 0xB3));
    EXPECT_TRUE(IsDbcsLeadByte(kGbk, 0x81));
    EXPECT_FALSE(IsDbcsLeadByte(kGbk, 0x80));
    EXPECT_FALSE(IsDbcsLeadByte(kGbk, 0xFF));
    EXPECT_TRUE(IsDbcsLeadByte(kShiftJis, 0x9F));
    EXPECT_FALSE(IsDbcsLeadByte(kShiftJis, 0xA0));
    EXPECT_TRUE(IsDbcsLeadByte(kShiftJis, 0xE0));
}

TEST(DbcsTextTest, ASecondByteIsNeverFound)
{
    const std::string path = "C:\\" + kBig5Hsu;
    EXPECT_EQ(FindLastSingleByte(path, '\\', kBig5), 2u);
    EXPECT_EQ(FindLastSingleByte(path, '\\', kAnsi), 4u);
    EXPECT_FALSE(EndsWithSingleByte(path, '\\', kBig5));
    // A lead byte without its partner at the end stands alone.
    EXPECT_TRUE(EndsWithSingleByte("a\xB3\\\\", '\\', kBig5));
    EXPECT_FALSE(EndsWithSingleByte("", '\\', kBig5));
    EXPECT_EQ(FindLastSingleByte("\xB3", '\\', kBig5), std::string::npos);
}

TEST(ParentFolderTest, CutsAtTheLastSeparator)
{
    EXPECT_EQ(ParentFolder("C:\\Data\\a.txt", kAnsi), "C:\\Data");
    EXPECT_EQ(ParentFolder("C:\\Data", kAnsi), "C:");
    EXPECT_EQ(ParentFolder("C:\\Data\\ \\ ", kAnsi), "C:");
    EXPECT_EQ(ParentFolder("C:\\Data\\\\\\", kAnsi), "C:");
    EXPECT_EQ(ParentFolder("C:\\", kAnsi), "");
    EXPECT_EQ(ParentFolder("C:", kAnsi), "");
    EXPECT_EQ(ParentFolder("", kAnsi), "");
    EXPECT_EQ(ParentFolder("\\\\\\", kAnsi), "");
    // Forward slashes are not separators here: callers turn them first.
    EXPECT_EQ(ParentFolder("C:/Data/a.txt", kAnsi), "");
}

TEST(ParentFolderTest, KeepsDoubleByteNamesWhole)
{
    EXPECT_EQ(ParentFolder("C:\\" + kBig5Hsu + "\\a.txt", kBig5), "C:\\" + kBig5Hsu);
    EXPECT_EQ(ParentFolder("C:\\" + kBig5Hsu + "\\" + kBig5Hsu, kBig5), "C:\\" + kBig5Hsu);
    // Read without its code page, the trail byte would be the separator.
    EXPECT_EQ(ParentFolder("C:\\d\\" + kBig5Hsu + "x", kAnsi), "C:\\d\\\xB3");
    EXPECT_EQ(ParentFolder("C:\\d\\" + kBig5Hsu + "x", kBig5), "C:\\d");
}

TEST(ParentFolderTest, LongPathsAreCutWithoutLimit)
{
    const std::string folder = "C:\\" + std::string(300, 'a');
    EXPECT_EQ(ParentFolder(folder + "\\b.txt", kAnsi), folder);
}

TEST(PathTextTest, DriveRoots)
{
    EXPECT_TRUE(IsDriveRoot("C:"));
    EXPECT_TRUE(IsDriveRoot("z:\\"));
    EXPECT_TRUE(IsDriveRoot("C:/"));
    EXPECT_FALSE(IsDriveRoot("C:\\a"));
    EXPECT_FALSE(IsDriveRoot("CC:"));
    EXPECT_FALSE(IsDriveRoot("1:"));
    EXPECT_FALSE(IsDriveRoot("C"));
    EXPECT_FALSE(IsDriveRoot(""));
}

TEST(PathTextTest, InputIsTrimmedAndSlashesTurned)
{
    EXPECT_EQ(NormalizePathInput(" \tC:/a/b/\r\n"), "C:\\a\\b\\");
    EXPECT_EQ(RemoveTrailingBackslash("C:\\a\\\\", kAnsi), "C:\\a\\");
    EXPECT_EQ(RemoveTrailingBackslash("C:\\" + kBig5Hsu, kBig5), "C:\\" + kBig5Hsu);
}

TEST(EnsureTxtExtensionTest, AddsTheExtensionOnlyWhereItIsMissing)
{
    EXPECT_EQ(EnsureTxtExtension("C:\\notes", kAnsi), "C:\\notes.txt");
    EXPECT_EQ(EnsureTxtExtension("C:\\notes.", kAnsi), "C:\\notes.txt");
    EXPECT_EQ(EnsureTxtExtension("C:\\notes.md", kAnsi), "C:\\notes.md");
    EXPECT_EQ(EnsureTxtExtension("C:\\my.notes.", kAnsi), "C:\\my.notes.");
    EXPECT_EQ(EnsureTxtExtension("  C:\\v1.0\\notes ", kAnsi), "C:\\v1.0\\notes.txt");
    EXPECT_EQ(EnsureTxtExtension("C:/v1.0/notes", kAnsi), "C:/v1.0/notes.txt");
    EXPECT_EQ(EnsureTxtExtension("C:\\v1.0\\", kAnsi), "C:\\v1.0\\");
    EXPECT_EQ(EnsureTxtExtension("C:/v1.0/", kAnsi), "C:/v1.0/");
    EXPECT_EQ(EnsureTxtExtension("", kAnsi), "");
    EXPECT_EQ(EnsureTxtExtension("notes", kAnsi), "notes.txt");
}

TEST(EnsureTxtExtensionTest, ADoubleByteNameEndingInTheSeparatorByteIsAName)
{
    EXPECT_EQ(EnsureTxtExtension("C:\\a.b\\" + kBig5Hsu, kBig5), "C:\\a.b\\" + kBig5Hsu + ".txt");
    EXPECT_EQ(EnsureTxtExtension("C:\\a.b\\" + kBig5Hsu, kAnsi), "C:\\a.b\\" + kBig5Hsu);
}

TEST(PathTextTest, ShortcutExtensionInAnyCase)
{
    EXPECT_TRUE(HasLnkExtension("C:\\a.lnk"));
    EXPECT_TRUE(HasLnkExtension("C:\\a.LnK"));
    EXPECT_TRUE(HasLnkExtension(".lnk"));
    EXPECT_FALSE(HasLnkExtension("lnk"));
    EXPECT_FALSE(HasLnkExtension("C:\\a.lnk\\b.txt"));
}

TEST(CleanWritePathTest, UrlPrefixAndSlashes)
{
    EXPECT_EQ(CleanWritePath(" file:///C:/Data/a.txt ", kAnsi), "C:\\Data\\a.txt");
    EXPECT_EQ(CleanWritePath("FILE:///C:/a.txt", kAnsi), "C:\\a.txt");
    // Mixed separators, or no drive, are left as typed.
    EXPECT_EQ(CleanWritePath("C:\\Data/a.txt", kAnsi), "C:\\Data/a.txt");
    EXPECT_EQ(CleanWritePath("//server/share/a.txt", kAnsi), "//server/share/a.txt");
    // A Big5 name whose second byte is 0x5C is no "\" of the path.
    EXPECT_EQ(CleanWritePath("C:/" + kBig5Hsu + "/a.txt", kBig5), "C:\\" + kBig5Hsu + "\\a.txt");
    EXPECT_EQ(CleanWritePath("", kAnsi), "");
}
