// The interface language's store on Windows: the registry value
// "Shell"/"LCID" under the program's registry root, and the user's locale.
#include "InterfaceLanguage.h"

#include "Registry.h"

#include <windows.h>

namespace {

constexpr char kShellSubKey[] = "Shell";
constexpr char kLcidValue[] = "LCID";

class CRegistryLanguageStore final : public CLanguageStore {
public:
    std::uint32_t GetUserDefaultLanguage() const override { return GetUserDefaultLangID(); }

    std::uint32_t ReadLCID(std::uint32_t nDefault) const override
    {
        return GetRegDWORD(kShellSubKey, kLcidValue, nDefault);
    }

    // A failed write is not reported: the language still changes for this
    // run, and the next start simply begins in the old one.
    void WriteLCID(std::uint32_t nLCID) const override { SetRegDWORD(kShellSubKey, kLcidValue, nLCID); }
};

}  // namespace

const CLanguageStore& RegistryLanguageStore()
{
    static const CRegistryLanguageStore store;
    return store;
}

void CInterfaceLanguage::ChooseStartupLanguage()
{
    ChooseStartupLanguage(RegistryLanguageStore());
}

bool CInterfaceLanguage::SwitchLanguage(const std::string& strName)
{
    return SwitchLanguage(strName, RegistryLanguageStore());
}
