#include "TextFile.h"

#include <gtest/gtest.h>

namespace {

const std::string kAttributeLines = "Attributes\r\nNormal\r\nRead-only\r\nHidden\r\nArchive\r\nSystem";

}  // namespace

TEST(TextFileTest, AttributeNamesAreQuotedAndJoined)
{
    EXPECT_EQ(FormatAttributeNames(kAttributeLines, true, false, false), "\"Read-only\"");
    EXPECT_EQ(FormatAttributeNames(kAttributeLines, true, true, true), "\"Read-only\" + \"Hidden\" + \"System\"");
    EXPECT_EQ(FormatAttributeNames(kAttributeLines + "\r\n", false, true, true), "\"Hidden\" + \"System\"");
    EXPECT_EQ(FormatAttributeNames(kAttributeLines, false, false, false), "");
}

TEST(TextFileTest, AShortAttributeListGivesEmptyNamesNotGarbage)
{
    EXPECT_EQ(FormatAttributeNames("Attributes\r\nNormal\r\nRead-only", true, true, true), "\"Read-only\" + \"\" + \"\"");
    EXPECT_EQ(FormatAttributeNames("", true, false, false), "\"\"");
}

TEST(TextFileTest, PlaceholdersAreReplacedEverywhereAndOnlyThere)
{
    EXPECT_EQ(ReplacePlaceholder("File \"#1\" is a #2 file (#1)", "#1", "C:\\a.txt"),
              "File \"C:\\a.txt\" is a #2 file (C:\\a.txt)");
    // A value holding the placeholder itself is not replaced again.
    EXPECT_EQ(ReplacePlaceholder("#1#1", "#1", "#1x"), "#1x#1x");
    EXPECT_EQ(ReplacePlaceholder("none", "#1", "x"), "none");
    EXPECT_EQ(ReplacePlaceholder("#1", "", "x"), "#1");
}
