// The interface language against the real registry ("Shell"/"LCID" under a
// scratch root) and the user's locale of the running system.
//
// The catalogue header comes before <windows.h> here on purpose: the look-up
// must still be reached after the system header renames GetMessage.
#include "InterfaceLanguage.h"
#include "MessageCatalogue.h"
#include "Registry.h"
#include "SettingsRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

class InterfaceLanguageWin32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hOldHive = GetRegistryHive();
        m_strOldPath = GetRegistryPath();
        m_strScratch = "Software\\KIVO-catalogue-test-" + std::to_string(GetCurrentProcessId());
        settingstest::DeleteTree(HKEY_LOCAL_MACHINE, m_strScratch);
        SetRegistryRoot(HKEY_LOCAL_MACHINE, m_strScratch);
    }
    void TearDown() override
    {
        SetRegistryRoot(m_hOldHive, m_strOldPath);
        settingstest::DeleteTree(HKEY_LOCAL_MACHINE, m_strScratch);
    }

    static DWORD StoredLCID() { return GetRegDWORD("Shell", "LCID", 0xDEADBEEF); }

    HKEY m_hOldHive = nullptr;
    std::string m_strOldPath;
    std::string m_strScratch;
};

TEST_F(InterfaceLanguageWin32Test, StartupWithoutValueFollowsTheUserLanguage)
{
    CInterfaceLanguage language;
    language.ChooseStartupLanguage();
    EXPECT_EQ(SelectInterfaceLCID(GetUserDefaultLangID()), language.m_nLCID);
    EXPECT_EQ(0xDEADBEEFu, StoredLCID());  // choosing writes nothing
}

TEST_F(InterfaceLanguageWin32Test, StartupReadsTheStoredValue)
{
    ASSERT_TRUE(SetRegDWORD("Shell", "LCID", 2052));
    CInterfaceLanguage language;
    language.ChooseStartupLanguage();
    EXPECT_EQ(2052u, language.m_nLCID);
    EXPECT_EQ(GB2312_CHARSET, language.m_nCharset);
    EXPECT_EQ("0x0804", GetMessage(Shell_LCID));
}

TEST_F(InterfaceLanguageWin32Test, ValueOfTheWrongTypeCountsAsAbsent)
{
    ASSERT_TRUE(SetRegString("Shell", "LCID", "1028"));
    CInterfaceLanguage language;
    language.ChooseStartupLanguage();
    EXPECT_EQ(SelectInterfaceLCID(GetUserDefaultLangID()), language.m_nLCID);
}

TEST_F(InterfaceLanguageWin32Test, SwitchWritesOnlyWhenTheLanguageChanges)
{
    ASSERT_TRUE(SetRegDWORD("Shell", "LCID", 1033));
    CInterfaceLanguage language;
    language.ChooseStartupLanguage();
    ASSERT_EQ(1033u, language.m_nLCID);

    EXPECT_TRUE(language.SwitchLanguage(language.m_arrLanguageNames[2]));
    EXPECT_EQ(1028u, language.m_nLCID);
    EXPECT_EQ(CHINESEBIG5_CHARSET, language.m_nCharset);
    EXPECT_EQ(1028u, StoredLCID());

    // A value changed behind the program's back stays: switching to the
    // language already current must not write.
    ASSERT_TRUE(SetRegDWORD("Shell", "LCID", 2052));
    EXPECT_FALSE(language.SwitchLanguage(language.m_arrLanguageNames[2]));
    EXPECT_FALSE(language.SwitchLanguage("no such language"));
    EXPECT_EQ(2052u, StoredLCID());
    EXPECT_EQ(1028u, language.m_nLCID);
}

}  // namespace
