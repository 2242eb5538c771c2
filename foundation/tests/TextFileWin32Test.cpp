// Reading and writing text files on the real file system: the results and
// messages callers rely on, and that a failed write never costs the user
// the old content of the file.
#include "TextFile.h"

#include "FileReplace.h"
#include "ScratchFolder.h"
#include "ShortcutMaker.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// The English texts of the rows the writer uses; "%1" is replaced here as
// the catalogue look-up does.
class CFakeMessages : public CTextFileMessages {
public:
    std::string GetText(const char* pszKey, const std::string& strParam1) const override
    {
        const std::string strKey = pszKey;
        std::string strText;
        if (strKey == kMsgNotAValidWindowsPath)
            strText = "Path \"#1\" is not a valid Windows file path.";
        else if (strKey == kMsgPathIsADirectory)
            strText = "Path \"#1\" points to a directory, not a file.";
        else if (strKey == kMsgPromptWriteProtected)
            strText = "File \"#1\" is a #2 file, are you really decided to write into it?";
        else if (strKey == kMsgCanceledByUser)
            strText = "Operation was canceled by user.";
        else if (strKey == kMsgCannotWriteFile)
            strText = "Can't write file \"%1\". Please check if the disk is full.";
        else if (strKey == kMsgAttributeNames)
            strText = "Attributes\r\nNormal\r\nRead-only\r\nHidden\r\nArchive\r\nSystem";
        const std::size_t nAt = strText.find("%1");
        if (nAt != std::string::npos)
            strText.replace(nAt, 2, strParam1);
        return strText;
    }
    bool AskYesNo(const std::string& strText) override
    {
        m_arrPrompts.push_back(strText);
        return m_bAnswerYes;
    }

    bool m_bAnswerYes = false;
    std::vector<std::string> m_arrPrompts;
};

class CFailAfterTemporary : public CFileReplaceObserver {
public:
    bool OnTemporaryWritten(const std::string& strTemporaryPath) override
    {
        m_strTemporary = strTemporaryPath;
        m_strSeen = CScratchFolder::ReadBytes(strTemporaryPath);
        return false;
    }
    std::string m_strTemporary;
    std::string m_strSeen;
};

DWORD Attributes(const std::string& strPath)
{
    return GetFileAttributesA(strPath.c_str());
}

constexpr DWORD kRhs = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

}  // namespace

// ---- Reading

TEST(ReadTextFileWin32Test, LargeFilesAreCutOnlyOnTheWindows95Family)
{
    CScratchFolder scratch;
    const std::string strFile = scratch / "large.txt";
    std::string strContent;
    for (int i = 0; strContent.size() < 70000; ++i)
        strContent += "line " + std::to_string(i) + "\r\n";
    strContent.resize(70000);
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, strContent));

    std::string strText;
    EXPECT_EQ(ReadTextFileOn(strFile, strText, false, false), kReadHeadOnly);
    EXPECT_EQ(strText, strContent.substr(0, 60000));
    EXPECT_EQ(ReadTextFileOn(strFile, strText, true, false), kReadWhole);
    EXPECT_EQ(strText, strContent);
    EXPECT_EQ(ReadTextFileOn(strFile, strText, false, true), kReadWhole);
    EXPECT_EQ(strText, strContent);
    EXPECT_EQ(ReadTextFile(" " + strFile + " ", strText, false), kReadWhole);  // Wine is of the NT family

    // 60000 bytes exactly are still whole.
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, strContent.substr(0, 60000)));
    EXPECT_EQ(ReadTextFileOn(strFile, strText, false, false), kReadWhole);
    EXPECT_EQ(strText.size(), 60000u);
}

TEST(ReadTextFileWin32Test, MissingFoldersAndBinaryFilesAreNotText)
{
    CScratchFolder scratch;
    std::string strText = "stale";
    EXPECT_EQ(ReadTextFile(scratch / "missing.txt", strText, false), kReadNotATextFile);
    EXPECT_EQ(strText, "");
    EXPECT_EQ(ReadTextFile(scratch.Path(), strText, false), kReadNotATextFile);
    bool bExists = true;
    EXPECT_FALSE(IsBinaryFile(scratch.Path(), bExists));
    EXPECT_FALSE(bExists);
    EXPECT_EQ(ReadTextFile("", strText, false), kReadNotATextFile);

    const std::string strBinary = scratch / "binary.dat";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strBinary, std::string("MZ\0\x90", 4)));
    EXPECT_EQ(ReadTextFile(strBinary, strText, false), kReadNotATextFile);

    // Only the first 32768 bytes are looked at.
    const std::string strLateZero = scratch / "late-zero.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strLateZero, std::string(32768, 'a') + std::string(1, '\0')));
    EXPECT_FALSE(IsBinaryFile(strLateZero, bExists));
    EXPECT_TRUE(bExists);
    EXPECT_EQ(ReadTextFile(strLateZero, strText, false), kReadWhole);
    EXPECT_EQ(strText.size(), 32769u);

    const std::string strEmpty = scratch / "empty.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strEmpty, ""));
    EXPECT_EQ(ReadTextFile(strEmpty, strText, false), kReadWhole);
    EXPECT_EQ(strText, "");
}

TEST(ReadTextFileWin32Test, AFileHeldExclusivelyCannotBeOpened)
{
    CScratchFolder scratch;
    const std::string strFile = scratch / "locked.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "text"));
    HANDLE hLock = CreateFileA(strFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
    std::string strText;
    EXPECT_EQ(ReadTextFile(strFile, strText, false), kReadCannotOpen);
    CloseHandle(hLock);
    EXPECT_EQ(ReadTextFile(strFile, strText, false), kReadWhole);
}

TEST(ReadTextFileWin32Test, AShortcutReadsItsTarget)
{
    CScratchFolder scratch;
    const std::string strFile = scratch / "target.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "through the link"));
    ASSERT_TRUE(MakeShortcut(scratch / "link.lnk", strFile, ""));
    std::string strText;
    EXPECT_EQ(ReadTextFile(scratch / "link.LNK", strText, false), kReadWhole);
    EXPECT_EQ(strText, "through the link");
}

// ---- Writing

TEST(WriteTextFileWin32Test, WritesNewAndExistingFilesLeavingNothingElse)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    std::string strMessage = "stale";
    const std::string strFile = scratch / "out.txt";
    EXPECT_EQ(WriteTextFile(strFile, "first\r\n", strMessage, messages), kWriteSucceeded);
    EXPECT_EQ(strMessage, "");
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "first\r\n");

    const std::string strBytes("GBK \xD6\xD0\xCE\xC4 and a zero \0 byte", 27);
    EXPECT_EQ(WriteTextFile(strFile, strBytes, strMessage, messages), kWriteSucceeded);
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), strBytes);
    EXPECT_EQ(WriteTextFile(strFile, "", strMessage, messages), kWriteSucceeded);
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "");
    EXPECT_TRUE(messages.m_arrPrompts.empty());
    EXPECT_EQ(scratch.Listing(), "out.txt");
}

TEST(WriteTextFileWin32Test, UrlPrefixAndForwardSlashesNameTheSameFile)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    std::string strMessage;
    std::string strUrl = scratch / "url.txt";
    for (char& ch : strUrl) {
        if (ch == '\\')
            ch = '/';
    }
    EXPECT_EQ(WriteTextFile("  File:///" + strUrl + " ", "via url", strMessage, messages), kWriteSucceeded);
    EXPECT_EQ(CScratchFolder::ReadBytes(scratch / "url.txt"), "via url");
}

TEST(WriteTextFileWin32Test, AFailureAfterTheTemporaryWriteKeepsTheOldContent)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    const std::string strFile = scratch / "keep.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "the user's work"));
    CFailAfterTemporary failure;
    std::string strMessage;
    EXPECT_EQ(WriteTextFile(strFile, "new text", strMessage, messages, &failure), kWriteFailed);
    EXPECT_EQ(strMessage, "Can't write file \"" + strFile + "\". Please check if the disk is full.");
    // The new text was complete beside the file, in the same folder.
    EXPECT_EQ(failure.m_strSeen, "new text");
    EXPECT_EQ(failure.m_strTemporary.rfind(scratch.Path() + "\\", 0), 0u);
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "the user's work");
    EXPECT_EQ(scratch.Listing(), "keep.txt");
}

TEST(WriteTextFileWin32Test, AVanishedTemporaryFileFailsTheReplaceNotTheFile)
{
    class CRemoveTemporary : public CFileReplaceObserver {
    public:
        bool OnTemporaryWritten(const std::string& strTemporaryPath) override
        {
            DeleteFileA(strTemporaryPath.c_str());
            return true;
        }
    } removal;
    CScratchFolder scratch;
    const std::string strFile = scratch / "keep.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "the user's work"));
    EXPECT_NE(WriteFileReplacing(strFile, "new text", &removal), 0u);
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "the user's work");
    EXPECT_EQ(scratch.Listing(), "keep.txt");
    // And a file that did not exist is not created half-way either.
    EXPECT_NE(WriteFileReplacing(scratch / "new.txt", "new text", &removal), 0u);
    EXPECT_EQ(scratch.Listing(), "keep.txt");
}

TEST(WriteTextFileWin32Test, ReplacingKeepsTheAttributesOfTheFile)
{
    CScratchFolder scratch;
    const std::string strFile = scratch / "archived.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "old"));
    ASSERT_TRUE(SetFileAttributesA(strFile.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
    const DWORD dwBefore = Attributes(strFile);
    EXPECT_EQ(WriteFileReplacing(strFile, "new"), 0u);
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "new");
    EXPECT_EQ(Attributes(strFile), dwBefore);
}

TEST(WriteTextFileWin32Test, AProtectedFileIsWrittenOnlyAfterYes)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    std::string strMessage;
    const std::string strFile = scratch / "hidden.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "old"));
    ASSERT_TRUE(SetFileAttributesA(strFile.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const DWORD dwBefore = Attributes(strFile);

    messages.m_bAnswerYes = false;
    EXPECT_EQ(WriteTextFile(strFile, "new", strMessage, messages), kWriteCanceled);
    EXPECT_EQ(strMessage, "Operation was canceled by user.");
    ASSERT_EQ(messages.m_arrPrompts.size(), 1u);
    EXPECT_EQ(messages.m_arrPrompts[0],
              "File \"" + strFile + "\" is a \"Hidden\" file, are you really decided to write into it?");
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "old");
    EXPECT_EQ(Attributes(strFile), dwBefore);

    messages.m_bAnswerYes = true;
    EXPECT_EQ(WriteTextFile(strFile, "new", strMessage, messages), kWriteSucceeded);
    EXPECT_EQ(strMessage, "");
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "new");
    EXPECT_EQ(Attributes(strFile), dwBefore);
}

TEST(WriteTextFileWin32Test, EveryProtectingAttributeIsNamedAndRestored)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    messages.m_bAnswerYes = true;
    std::string strMessage;
    const std::string strFile = scratch / "system.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "old"));
    ASSERT_TRUE(SetFileAttributesA(strFile.c_str(), kRhs));
    const DWORD dwBefore = Attributes(strFile);
    ASSERT_EQ(dwBefore & kRhs, kRhs);

    EXPECT_EQ(WriteTextFile(strFile, "new", strMessage, messages), kWriteSucceeded);
    ASSERT_EQ(messages.m_arrPrompts.size(), 1u);
    EXPECT_NE(messages.m_arrPrompts[0].find("\"Read-only\" + \"Hidden\" + \"System\" file"), std::string::npos);
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "new");
    EXPECT_EQ(Attributes(strFile), dwBefore);
}

TEST(WriteTextFileWin32Test, AFailedWriteOfAReadOnlyFileLeavesItAsItWas)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    messages.m_bAnswerYes = true;
    std::string strMessage;
    const std::string strFile = scratch / "readonly.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strFile, "old"));
    ASSERT_TRUE(SetFileAttributesA(strFile.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD dwBefore = Attributes(strFile);
    CFailAfterTemporary failure;
    EXPECT_EQ(WriteTextFile(strFile, "new", strMessage, messages, &failure), kWriteFailed);
    EXPECT_EQ(CScratchFolder::ReadBytes(strFile), "old");
    EXPECT_EQ(Attributes(strFile), dwBefore);
    EXPECT_EQ(scratch.Listing(), "readonly.txt");
}

TEST(WriteTextFileWin32Test, PathsThatAreNoFileGetTheirMessage)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    std::string strMessage;
    ASSERT_TRUE(CScratchFolder::WriteBytes(scratch / "a.txt", "old"));

    EXPECT_EQ(WriteTextFile(scratch.Path(), "x", strMessage, messages), kWriteIsAFolder);
    EXPECT_EQ(strMessage, "Path \"" + scratch.Path() + "\" points to a directory, not a file.");
    EXPECT_EQ(WriteTextFile(scratch / "new\\", "x", strMessage, messages), kWriteIsAFolder);

    const std::string strBelowFile = scratch / "a.txt\\b.txt";
    EXPECT_EQ(WriteTextFile(strBelowFile, "x", strMessage, messages), kWriteInvalidPath);
    EXPECT_EQ(strMessage, "Path \"" + strBelowFile + "\" is not a valid Windows file path.");
    EXPECT_EQ(WriteTextFile("", "x", strMessage, messages), kWriteInvalidPath);
    EXPECT_EQ(WriteTextFile(scratch / std::string(300, 'n'), "x", strMessage, messages), kWriteInvalidPath);
    EXPECT_EQ(CScratchFolder::ReadBytes(scratch / "a.txt"), "old");
    EXPECT_EQ(scratch.Listing(), "a.txt");
}

TEST(WriteTextFileWin32Test, MissingFoldersAreNotCreatedAndLeaveNoTrace)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    std::string strMessage;
    const std::string strFile = scratch / "x\\y\\z.txt";
    EXPECT_EQ(WriteTextFile(strFile, "x", strMessage, messages), kWriteFailed);
    EXPECT_EQ(strMessage, "Can't write file \"" + strFile + "\". Please check if the disk is full.");
    EXPECT_EQ(scratch.Listing(), "");
}

TEST(DeleteFileCheckedWin32Test, DeletesOnlyWhatMayBeWritten)
{
    CScratchFolder scratch;
    CFakeMessages messages;
    std::string strMessage;
    const std::string strPlain = scratch / "plain.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strPlain, "old"));
    EXPECT_TRUE(DeleteFileChecked(strPlain, strMessage, messages));
    EXPECT_EQ(Attributes(strPlain), INVALID_FILE_ATTRIBUTES);

    const std::string strProtected = scratch / "protected.txt";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strProtected, "old"));
    ASSERT_TRUE(SetFileAttributesA(strProtected.c_str(), FILE_ATTRIBUTE_READONLY));
    messages.m_bAnswerYes = false;
    EXPECT_FALSE(DeleteFileChecked(strProtected, strMessage, messages));
    EXPECT_EQ(strMessage, "Operation was canceled by user.");
    EXPECT_EQ(CScratchFolder::ReadBytes(strProtected), "old");

    messages.m_bAnswerYes = true;
    EXPECT_TRUE(DeleteFileChecked(strProtected, strMessage, messages));
    EXPECT_EQ(Attributes(strProtected), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFileChecked(scratch.Path(), strMessage, messages));
    EXPECT_EQ(scratch.Listing(), "");
}
