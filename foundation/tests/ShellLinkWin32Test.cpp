#include "ShellLink.h"

#include "ScratchFolder.h"
#include "ShortcutMaker.h"

#include <gtest/gtest.h>

TEST(ShellLinkWin32Test, TargetAndArguments)
{
    CScratchFolder scratch;
    const std::string strTarget = scratch / "tool.exe";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strTarget, "MZ"));
    ASSERT_TRUE(MakeShortcut(scratch / "with-args.lnk", strTarget, "-x  file.txt"));
    ASSERT_TRUE(MakeShortcut(scratch / "plain.lnk", strTarget, ""));

    EXPECT_EQ(ResolveShortcut(scratch / "with-args.lnk"), strTarget + " -x  file.txt");
    EXPECT_EQ(ResolveShortcut(scratch / "plain.lnk"), strTarget);
    // ".lnk" is added when missing.
    EXPECT_EQ(ResolveShortcut(scratch / "plain"), strTarget);
}

TEST(ShellLinkWin32Test, AnythingButAShortcutGivesNothing)
{
    CScratchFolder scratch;
    ASSERT_TRUE(CScratchFolder::WriteBytes(scratch / "fake.lnk", "not a shortcut at all"));
    ASSERT_TRUE(CScratchFolder::WriteBytes(scratch / "empty.lnk", ""));
    EXPECT_EQ(ResolveShortcut(scratch / "fake.lnk"), "");
    EXPECT_EQ(ResolveShortcut(scratch / "empty.lnk"), "");
    EXPECT_EQ(ResolveShortcut(scratch / "missing.lnk"), "");
    EXPECT_EQ(ResolveShortcut(scratch.Path()), "");
    EXPECT_EQ(ResolveShortcut(""), "");
    EXPECT_EQ(ResolveShortcut(scratch / std::string(300, 'n')), "");
}
