#include "InterfaceLanguage.h"
#include "MessageCatalogue.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// The registry value and the user's locale, kept in memory.
class CMemoryLanguageStore : public CLanguageStore {
public:
    explicit CMemoryLanguageStore(std::uint32_t nUserDefault, std::optional<std::uint32_t> stored = std::nullopt)
        : m_nUserDefault(nUserDefault), m_stored(stored)
    {
    }

    std::uint32_t GetUserDefaultLanguage() const override { return m_nUserDefault; }
    std::uint32_t ReadLCID(std::uint32_t nDefault) const override { return m_stored ? *m_stored : nDefault; }
    void WriteLCID(std::uint32_t nLCID) const override
    {
        m_stored = nLCID;
        ++m_nWrites;
    }

    std::uint32_t m_nUserDefault;
    mutable std::optional<std::uint32_t> m_stored;
    mutable int m_nWrites = 0;
};

// Counts how often the program's cached texts would be rebuilt, and with
// which language the look-up answers at that moment.
class CCountingLanguage : public CInterfaceLanguage {
public:
    int m_nLoads = 0;
    std::string m_strLoadedLcidText;

protected:
    void LoadInterfaceTexts() override
    {
        ++m_nLoads;
        m_strLoadedLcidText = GetMessage(Shell_LCID);
    }
};

const char kSimplifiedName[] = "Chinese,Simplified (\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4)";
const char kTraditionalName[] = "Chinese,Traditional (\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5)";

TEST(InterfaceLanguage, ListNamesEachLanguageInItsOwnEncoding)
{
    CCountingLanguage language;
    language.ChooseStartupLanguage(CMemoryLanguageStore(1033));
    EXPECT_EQ((std::vector<std::string>{"English", kSimplifiedName, kTraditionalName}), language.m_arrLanguageNames);
    EXPECT_EQ((std::vector<std::string>{"0409", "0804", "0404"}), language.m_arrLanguageCodes);
    // The catalogue's own LCID rows agree with the list.
    for (int i = 0; i < kInterfaceLanguageCount; ++i) {
        EXPECT_EQ("0x" + language.m_arrLanguageCodes[i], GetMessage(Shell_LCID, "", "", "", i + 1));
        EXPECT_EQ(InterfaceLanguageLCID(i), SelectInterfaceLCID(InterfaceLanguageLCID(i)));
    }
}

TEST(InterfaceLanguage, StartupTakesTheStoredLanguage)
{
    CCountingLanguage language;
    language.ChooseStartupLanguage(CMemoryLanguageStore(1033, 2052u));
    EXPECT_EQ(2052u, language.m_nLCID);
    EXPECT_EQ(134, language.m_nCharset);
    EXPECT_EQ(&language, CInterfaceLanguage::Current());
    EXPECT_EQ(134, CurrentInterfaceCharset());
    // Texts were built once, already in the chosen language.
    EXPECT_EQ(1, language.m_nLoads);
    EXPECT_EQ("0x0804", language.m_strLoadedLcidText);
    // Every look-up without an explicit language now reads the Simplified column.
    EXPECT_EQ("\xB9\xD8\xD3\xDA KIVO", GetMessage(IDS_DIALOG_ABOUT_TITLE, "KIVO"));
}

TEST(InterfaceLanguage, StartupWithoutStoredValueFollowsTheUserLanguageWhenListed)
{
    struct Case {
        std::uint32_t nUserDefault;
        std::uint32_t nExpected;
        int nCharset;
    };
    const Case cases[] = {
        {1028, 1028, 136},
        {2052, 2052, 134},
        {1033, 1033, 0},
        {1031, 1033, 0},  // German: not an interface language
        {3076, 1033, 0},  // Chinese (Hong Kong) is not listed either
    };
    for (const Case& c : cases) {
        CCountingLanguage language;
        language.ChooseStartupLanguage(CMemoryLanguageStore(c.nUserDefault));
        EXPECT_EQ(c.nExpected, language.m_nLCID) << c.nUserDefault;
        EXPECT_EQ(c.nCharset, language.m_nCharset) << c.nUserDefault;
    }
}

TEST(InterfaceLanguage, StoredValuesOutsideTheListGiveEnglish)
{
    for (std::uint32_t nStored : {0u, 1041u, 0xFFFFFFFFu, 0x0409u + 1}) {
        CCountingLanguage language;
        language.ChooseStartupLanguage(CMemoryLanguageStore(2052, nStored));
        EXPECT_EQ(1033u, language.m_nLCID) << nStored;
        EXPECT_EQ(0, language.m_nCharset);
    }
}

TEST(InterfaceLanguage, SwitchChangesLanguageRebuildsTextsAndStoresOnce)
{
    CMemoryLanguageStore store(1033);
    CCountingLanguage language;
    language.ChooseStartupLanguage(store);
    ASSERT_EQ(1, language.m_nLoads);

    EXPECT_TRUE(language.SwitchLanguage(kTraditionalName, store));
    EXPECT_EQ(1028u, language.m_nLCID);
    EXPECT_EQ(136, language.m_nCharset);
    EXPECT_EQ(2, language.m_nLoads);
    EXPECT_EQ("0x0404", language.m_strLoadedLcidText);
    EXPECT_EQ(1, store.m_nWrites);
    EXPECT_EQ(1028u, store.m_stored.value_or(0));

    // The next start begins where the switch left off.
    CCountingLanguage next;
    next.ChooseStartupLanguage(store);
    EXPECT_EQ(1028u, next.m_nLCID);
}

TEST(InterfaceLanguage, SwitchToTheCurrentOrAnUnknownLanguageDoesNothing)
{
    CMemoryLanguageStore store(1033, 2052u);
    CCountingLanguage language;
    language.ChooseStartupLanguage(store);

    EXPECT_FALSE(language.SwitchLanguage(kSimplifiedName, store));
    EXPECT_FALSE(language.SwitchLanguage("Klingon", store));
    EXPECT_FALSE(language.SwitchLanguage("english", store));  // names compare exactly
    EXPECT_FALSE(language.SwitchLanguage("", store));
    EXPECT_EQ(2052u, language.m_nLCID);
    EXPECT_EQ(1, language.m_nLoads);
    EXPECT_EQ(0, store.m_nWrites);
}

TEST(InterfaceLanguage, FixedLanguageBypassesTheStore)
{
    CCountingLanguage language;
    language.SetFixedLanguage(2052);
    EXPECT_EQ(2052u, language.m_nLCID);
    EXPECT_EQ(134, language.m_nCharset);
    EXPECT_EQ(1, language.m_nLoads);
    EXPECT_EQ(3u, language.m_arrLanguageNames.size());
    language.SetFixedLanguage(0);
    EXPECT_EQ(1033u, language.m_nLCID);
}

TEST(InterfaceLanguage, LookUpFallsBackToEnglishWhenTheCurrentObjectGoes)
{
    {
        CCountingLanguage language;
        language.ChooseStartupLanguage(CMemoryLanguageStore(1028));
        EXPECT_EQ(1028u, CurrentInterfaceLCID());
    }
    EXPECT_EQ(nullptr, CInterfaceLanguage::Current());
    EXPECT_EQ(1033u, CurrentInterfaceLCID());
    EXPECT_EQ("0x0409", GetMessage(Shell_LCID));
}

}  // namespace
