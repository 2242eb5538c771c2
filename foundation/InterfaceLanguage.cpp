#include "InterfaceLanguage.h"

#include "HexText.h"
#include "LocaleTable.h"
#include "MessageCatalogue.h"

#include <atomic>

namespace {

struct CLanguageEntry {
    const char* m_pszCode;     // hexadecimal language identifier
    const char* m_pszPrefix;   // display name before the language's own name
    int m_nColumn;             // catalogue column of the language
};

// The list order is what the control's Management operation 0 numbers
// (0 English, 1 Simplified, 2 Traditional).
constexpr CLanguageEntry kLanguages[kInterfaceLanguageCount] = {
    {"0409", "", MessageLanguageEnglish},
    {"0804", "Chinese,Simplified (", MessageLanguageSimplified},
    {"0404", "Chinese,Traditional (", MessageLanguageTraditional},
};

// Read by the catalogue look-up, which the control panel's update check
// runs on a thread of its own.
std::atomic<const CInterfaceLanguage*> g_pCurrentLanguage{nullptr};

std::uint32_t CodeToLCID(const char* pszCode)
{
    std::string strMessage;
    return ParseHex(pszCode, strMessage);
}

}  // namespace

std::uint32_t InterfaceLanguageLCID(int nIndex)
{
    if (nIndex < 0 || nIndex >= kInterfaceLanguageCount)
        return 0;
    return CodeToLCID(kLanguages[nIndex].m_pszCode);
}

std::string InterfaceLanguageCode(int nIndex)
{
    if (nIndex < 0 || nIndex >= kInterfaceLanguageCount)
        return std::string();
    return kLanguages[nIndex].m_pszCode;
}

std::string InterfaceLanguageName(int nIndex)
{
    if (nIndex < 0 || nIndex >= kInterfaceLanguageCount)
        return std::string();
    const CLanguageEntry& entry = kLanguages[nIndex];
    // Each language is named in its own column's encoding, so the list shows
    // the Chinese names correctly on a system of that script whatever the
    // current interface language is.
    const std::string strOwnName =
        GetMessage(Shell_Language, std::string(), std::string(), std::string(), entry.m_nColumn);
    if (*entry.m_pszPrefix == '\0')
        return strOwnName;
    return entry.m_pszPrefix + strOwnName + ")";
}

unsigned InterfaceLanguageCodePage(int nIndex)
{
    return nIndex == 1 ? 936 : nIndex == 2 ? 950 : 1252;
}

std::uint32_t SelectInterfaceLCID(std::uint32_t nStored)
{
    if (nStored == 0)
        nStored = kLcidEnglish;
    const std::string strCode = FormatHex(nStored, 4);
    for (int i = 0; i < kInterfaceLanguageCount; ++i) {
        if (strCode == kLanguages[i].m_pszCode)
            return InterfaceLanguageLCID(i);
    }
    return kLcidEnglish;
}

int InterfaceCharset(std::uint32_t nLCID)
{
    return static_cast<int>(GetLocaleCodePage(nLCID, LocaleColumnCharSet));
}

std::uint32_t CurrentInterfaceLCID()
{
    const CInterfaceLanguage* pLanguage = g_pCurrentLanguage.load();
    return pLanguage != nullptr ? pLanguage->m_nLCID : kLcidEnglish;
}

int CurrentInterfaceCharset()
{
    const CInterfaceLanguage* pLanguage = g_pCurrentLanguage.load();
    return pLanguage != nullptr ? pLanguage->m_nCharset : 0;
}

CInterfaceLanguage::CInterfaceLanguage() : m_nLCID(kLcidEnglish), m_nCharset(0)
{
}

CInterfaceLanguage::~CInterfaceLanguage()
{
    const CInterfaceLanguage* pSelf = this;
    g_pCurrentLanguage.compare_exchange_strong(pSelf, nullptr);
}

const CInterfaceLanguage* CInterfaceLanguage::Current()
{
    return g_pCurrentLanguage.load();
}

void CInterfaceLanguage::FillLanguageList()
{
    m_arrLanguageNames.clear();
    m_arrLanguageCodes.clear();
    for (int i = 0; i < kInterfaceLanguageCount; ++i) {
        m_arrLanguageNames.push_back(InterfaceLanguageName(i));
        m_arrLanguageCodes.push_back(InterfaceLanguageCode(i));
    }
}

int CInterfaceLanguage::FindLanguage(const std::string& strName) const
{
    for (std::size_t i = 0; i < m_arrLanguageNames.size(); ++i) {
        if (m_arrLanguageNames[i] == strName)
            return static_cast<int>(i);
    }
    return -1;
}

void CInterfaceLanguage::MakeCurrent(std::uint32_t nLCID)
{
    m_nLCID = nLCID != 0 ? nLCID : kLcidEnglish;
    m_nCharset = InterfaceCharset(m_nLCID);
    g_pCurrentLanguage.store(this);
    LoadInterfaceTexts();
}

void CInterfaceLanguage::ChooseStartupLanguage(const CLanguageStore& store)
{
    FillLanguageList();
    MakeCurrent(SelectInterfaceLCID(store.ReadLCID(store.GetUserDefaultLanguage())));
}

bool CInterfaceLanguage::SwitchLanguage(const std::string& strName, const CLanguageStore& store)
{
    if (m_arrLanguageNames.empty())
        FillLanguageList();
    const int nIndex = FindLanguage(strName);
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= m_arrLanguageCodes.size())
        return false;
    std::uint32_t nLCID = CodeToLCID(m_arrLanguageCodes[nIndex].c_str());
    if (nLCID == 0)
        nLCID = kLcidEnglish;
    if (nLCID == m_nLCID)
        return false;
    MakeCurrent(nLCID);
    store.WriteLCID(m_nLCID);
    return true;
}

void CInterfaceLanguage::SetFixedLanguage(std::uint32_t nLCID)
{
    FillLanguageList();
    MakeCurrent(nLCID);
}
