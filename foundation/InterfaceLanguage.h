// The interface language of a program: which of the catalogue's three
// languages its windows speak, chosen at start-up from the registry or the
// user's locale and switched at run time.
//
// Each program keeps its language in its application object (the control's
// CKIVOApp, the control panel's CKIVOCPApp), which derives from
// CInterfaceLanguage and rebuilds its cached texts in LoadInterfaceTexts.
// The object that chose the language is the process's current one: the
// catalogue look-up reads its m_nLCID (CurrentInterfaceLCID).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t kLcidEnglish = 1033;
constexpr std::uint32_t kLcidSimplifiedChinese = 2052;
constexpr std::uint32_t kLcidTraditionalChinese = 1028;

// Where the language is kept between runs (registry "Shell"/"LCID" under the
// program's registry root) and the user's own language. The Windows build
// has RegistryLanguageStore(); tests bring their own.
class CLanguageStore {
public:
    virtual ~CLanguageStore() = default;
    // The user's default language identifier.
    virtual std::uint32_t GetUserDefaultLanguage() const = 0;
    // The stored LCID, or `nDefault` when none can be read.
    virtual std::uint32_t ReadLCID(std::uint32_t nDefault) const = 0;
    virtual void WriteLCID(std::uint32_t nLCID) const = 0;
};

class CInterfaceLanguage {
public:
    CInterfaceLanguage();
    virtual ~CInterfaceLanguage();
    CInterfaceLanguage(const CInterfaceLanguage&) = delete;
    CInterfaceLanguage& operator=(const CInterfaceLanguage&) = delete;

    // Start-up: fills the language list, reads the stored LCID (default the
    // user's language, 0 counting as 1033) and takes the list entry whose
    // code is its last four hexadecimal digits, English when none is; sets
    // the character set, makes this object the current one and builds the
    // cached texts.
    void ChooseStartupLanguage(const CLanguageStore& store);

    // Switches to the list entry named `strName`. A name not in the list, or
    // the language already current, changes nothing: no texts rebuilt, no
    // registry write. Otherwise the LCID and character set change, the
    // cached texts are rebuilt and the LCID is stored. True when the
    // language changed.
    bool SwitchLanguage(const std::string& strName, const CLanguageStore& store);

#if defined(_WIN32)
    // The same with the registry and the user's locale (InterfaceLanguageWin32.cpp).
    void ChooseStartupLanguage();
    bool SwitchLanguage(const std::string& strName);
#endif

    // Fixes the language without consulting or writing the store, as an
    // edition with one language does; 0 counts as 1033. Makes this object
    // current and builds the cached texts.
    void SetFixedLanguage(std::uint32_t nLCID);

    // Index of `strName` in the language list, or -1.
    int FindLanguage(const std::string& strName) const;

    // The object whose language the look-up follows, or null before any
    // object chose one.
    static const CInterfaceLanguage* Current();

    std::uint32_t m_nLCID;                      // 1033, 2052 or 1028
    int m_nCharset;                             // font character set of m_nLCID: 0, 134, 136
    std::vector<std::string> m_arrLanguageNames;  // "English", "Chinese,Simplified (...)", ...
    std::vector<std::string> m_arrLanguageCodes;  // "0409", "0804", "0404"

protected:
    // Rebuilds the program's cached texts for m_nLCID. Called once the
    // language is chosen and after every switch that changed it.
    virtual void LoadInterfaceTexts() {}

private:
    void FillLanguageList();
    void MakeCurrent(std::uint32_t nLCID);
};

// Number of interface languages and the LCID and code of each, in list
// order: English "0409", Simplified Chinese "0804", Traditional Chinese "0404".
constexpr int kInterfaceLanguageCount = 3;
std::uint32_t InterfaceLanguageLCID(int nIndex);
std::string InterfaceLanguageCode(int nIndex);

// The display name of entry `nIndex`: "English", or "Chinese,Simplified ("
// with the GBK name of Simplified Chinese and ")", or "Chinese,Traditional ("
// with the Big5 name of Traditional Chinese and ")". Empty for other indexes.
std::string InterfaceLanguageName(int nIndex);

// The code page entry `nIndex`'s texts, its name among them, are written in:
// 1252, 936 or 950; that of English for other indexes. A text goes on screen
// widened with it.
unsigned InterfaceLanguageCodePage(int nIndex);

// The LCID a stored value selects: its last four hexadecimal digits matched
// against the codes of the list; 0 counts as 1033; 1033 when nothing matches.
std::uint32_t SelectInterfaceLCID(std::uint32_t nStored);

// The font character set of an interface LCID, from the locale table.
int InterfaceCharset(std::uint32_t nLCID);

// m_nLCID of the current object, 1033 while there is none.
std::uint32_t CurrentInterfaceLCID();

// m_nCharset of the current object, 0 while there is none.
int CurrentInterfaceCharset();

#if defined(_WIN32)
// Registry "Shell"/"LCID" under the registry root (Registry.h) and the
// user's default language identifier.
const CLanguageStore& RegistryLanguageStore();
#endif
