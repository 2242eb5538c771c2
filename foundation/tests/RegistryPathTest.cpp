#include "RegistryPath.h"

#include <gtest/gtest.h>

TEST(RegistryPathTest, NamesLoseBlanksAndSeparatorsAtBothEnds)
{
    EXPECT_EQ(TrimRegistryName(" \\software\\Perdix\\KIVO\\1.5\\ \r\n"), "software\\Perdix\\KIVO\\1.5");
    EXPECT_EQ(TrimRegistryName("\t Lumbra Root Folder \t"), "Lumbra Root Folder");
    EXPECT_EQ(TrimRegistryName("\\\\ \\"), "");
    EXPECT_EQ(TrimRegistryName(""), "");
}

TEST(RegistryPathTest, JoinsRootAndSubkey)
{
    EXPECT_EQ(JoinRegistryPath("software\\Perdix\\KIVO\\1.5", "Path"), "software\\Perdix\\KIVO\\1.5\\Path");
    EXPECT_EQ(JoinRegistryPath("software\\x\\", "\\Shell\\"), "software\\x\\Shell");
    EXPECT_EQ(JoinRegistryPath("software\\x", " "), "software\\x");
    EXPECT_EQ(JoinRegistryPath("", "Shell"), "Shell");
}
