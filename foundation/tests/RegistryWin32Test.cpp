// The registry functions against the real registry, in a scratch key of
// HKEY_LOCAL_MACHINE that each test removes again.
#include "Registry.h"
#include "SettingsRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using settingstest::DeleteTree;

class RegistryWin32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hOldHive = GetRegistryHive();
        m_strOldPath = GetRegistryPath();
        m_strScratch = "Software\\KIVO-utils-test-" + std::to_string(GetCurrentProcessId());
        DeleteTree(HKEY_LOCAL_MACHINE, m_strScratch);
        DeleteTree(HKEY_CURRENT_USER, m_strScratch);
        SetRegistryRoot(HKEY_LOCAL_MACHINE, m_strScratch);
    }
    void TearDown() override
    {
        SetRegistryRoot(m_hOldHive, m_strOldPath);
        DeleteTree(HKEY_LOCAL_MACHINE, m_strScratch);
        DeleteTree(HKEY_CURRENT_USER, m_strScratch);
    }

    // Stores a value of any type and size under root\subkey, past our own functions.
    void PutRaw(const std::string& strSubKey, const char* pszValue, DWORD dwType, const void* pData, DWORD dwSize)
    {
        ASSERT_TRUE(settingstest::PutValue(HKEY_LOCAL_MACHINE, m_strScratch + "\\" + strSubKey, pszValue, dwType,
                                           pData, dwSize));
    }

    HKEY m_hOldHive = nullptr;
    std::string m_strOldPath;
    std::string m_strScratch;
};

}  // namespace

TEST(RegistryRootTest, TheRootPathIsStoredTrimmed)
{
    const HKEY hOldHive = GetRegistryHive();
    const std::string strOldPath = GetRegistryPath();
    SetRegistryRoot(HKEY_CURRENT_USER, "  \\software\\Perdix\\KIVO\\1.5\\ \r\n");
    EXPECT_EQ(GetRegistryHive(), HKEY_CURRENT_USER);
    EXPECT_EQ(GetRegistryPath(), "software\\Perdix\\KIVO\\1.5");
    SetRegistryRoot(hOldHive, strOldPath);
}

TEST_F(RegistryWin32Test, StringsAndNumbersRoundTrip)
{
    EXPECT_TRUE(SetRegString("Path", "Lumbra Root Folder", "C:\\Program Files\\Lumbra"));
    EXPECT_EQ(GetRegString("Path", "Lumbra Root Folder", "none"), "C:\\Program Files\\Lumbra");
    EXPECT_TRUE(SetRegDWORD("Shell", "LCID", 2052));
    EXPECT_EQ(GetRegDWORD("Shell", "LCID", 1033), 2052u);
    // Stray blanks and separators address the same key and value.
    EXPECT_EQ(GetRegString(" \\Path\\ ", "\tLumbra Root Folder\r\n", "none"), "C:\\Program Files\\Lumbra");
    EXPECT_EQ(GetRegDWORD("Shell\\", " LCID", 0), 2052u);
    // An empty string is a value, not a missing one.
    EXPECT_TRUE(SetRegString("Path", "Empty", ""));
    EXPECT_EQ(GetRegString("Path", "Empty", "none"), "");
}

TEST_F(RegistryWin32Test, MissingKeysAndValuesGiveTheDefault)
{
    EXPECT_EQ(GetRegString("Nowhere", "Nothing", "fallback"), "fallback");
    EXPECT_EQ(GetRegDWORD("Nowhere", "Nothing", 7), 7u);
    ASSERT_TRUE(SetRegDWORD("Shell", "LCID", 1028));
    EXPECT_EQ(GetRegString("Shell", "Missing", "fallback"), "fallback");
}

TEST_F(RegistryWin32Test, ValuesOfTheWrongTypeGiveTheDefault)
{
    const DWORD dwNumber = 0x31313131;  // "1111" if read as bytes
    PutRaw("Shell", "Number", REG_DWORD, &dwNumber, sizeof dwNumber);
    EXPECT_EQ(GetRegString("Shell", "Number", "fallback"), "fallback");
    PutRaw("Shell", "Text", REG_SZ, "2052", 5);
    EXPECT_EQ(GetRegDWORD("Shell", "Text", 1033), 1033u);
    const unsigned char bytes[4] = {4, 8, 0, 0};
    PutRaw("Shell", "Binary", REG_BINARY, bytes, sizeof bytes);
    EXPECT_EQ(GetRegDWORD("Shell", "Binary", 1033), 1033u);
    EXPECT_EQ(GetRegString("Shell", "Binary", "fallback"), "fallback");
    PutRaw("Shell", "Short", REG_DWORD, bytes, 2);
    EXPECT_EQ(GetRegDWORD("Shell", "Short", 1033), 1033u);
}

TEST_F(RegistryWin32Test, LongTextsAreCutToTheBufferTheProgramsRead)
{
    const std::string strLong(600, 'x');
    ASSERT_TRUE(SetRegString("Path", "Long", strLong));
    EXPECT_EQ(GetRegString("Path", "Long", "fallback"), std::string(511, 'x'));

    // A value written by someone else that does not fit is not read in part.
    const std::string strHuge(5000, 'y');
    PutRaw("Path", "Huge", REG_SZ, strHuge.c_str(), static_cast<DWORD>(strHuge.size() + 1));
    EXPECT_EQ(GetRegString("Path", "Huge", "fallback"), "fallback");

    // Stored without its terminating zero, a text still ends where it should.
    PutRaw("Path", "Unterminated", REG_SZ, "abc", 3);
    EXPECT_EQ(GetRegString("Path", "Unterminated", "fallback"), "abc");

    // A zero byte ends the text that is written.
    ASSERT_TRUE(SetRegString("Path", "Zero", std::string("ab\0cd", 5)));
    EXPECT_EQ(GetRegString("Path", "Zero", "fallback"), "ab");
}

TEST_F(RegistryWin32Test, UserValuesAreTheCurrentUsersAndFallBackToTheRoot)
{
    // Kept in the root by an earlier version: read from there while the user has none.
    ASSERT_TRUE(SetRegDWORD("Color", "Source Text", 0x123456));
    ASSERT_TRUE(SetRegString("File", "Last Source File Folder", "C:\\machine"));
    EXPECT_EQ(GetUserRegDWORD("Color", "Source Text", 0), 0x123456u);
    EXPECT_EQ(GetUserRegString("File", "Last Source File Folder", "none"), "C:\\machine");
    EXPECT_EQ(GetUserRegString("File", "Missing", "none"), "none");
    EXPECT_EQ(GetUserRegDWORD("Color", "Missing", 7), 7u);

    // Written for the user alone, at the root's path; read first from then on.
    EXPECT_TRUE(SetUserRegDWORD("Color", "Source Text", 0x654321));
    EXPECT_TRUE(SetUserRegString("File", "Last Source File Folder", "C:\\mine"));
    EXPECT_EQ(GetUserRegDWORD("Color", "Source Text", 0), 0x654321u);
    EXPECT_EQ(GetUserRegString("File", "Last Source File Folder", "none"), "C:\\mine");
    EXPECT_EQ(settingstest::GetDWORD(HKEY_CURRENT_USER, m_strScratch + "\\Color", "Source Text", 0), 0x654321u);
    EXPECT_EQ(GetRegDWORD("Color", "Source Text", 0), 0x123456u) << "the root was written";
    EXPECT_EQ(GetRegString("File", "Last Source File Folder", "none"), "C:\\machine");
    // The user's empty text is a value of the user's, not a missing one.
    EXPECT_TRUE(SetUserRegString("File", "Last Source File Folder", ""));
    EXPECT_EQ(GetUserRegString("File", "Last Source File Folder", "none"), "");
}
