#include "WACatalogue.h"

#include "CatalogueText.h"
#include "SettingsFile.h"
#include "TextFile.h"
#include "TextTrim.h"

namespace {

const char* const kBuiltInPrefixes[CWACatalogue::kBuiltInSwitches] = {"PDAF", "PDAF2", "FinalFix", "FinalFix2",
                                                                      "FinalFix3"};
const char* const kUserPrefixes[2] = {"CUSLIB", "CUS_FF_LIB"};
constexpr int kMaxUser[2] = {64, 3};
const char kApply[] = "Apply";
const char kPath[] = "Path";

const char* BoolText(bool bValue)
{
    return bValue ? "true" : "false";
}

}  // namespace

const char* CWACatalogue::BuiltInTitle(int nIndex)
{
    return nIndex >= 0 && nIndex < kBuiltInSwitches ? kBuiltInPrefixes[nIndex] : "";
}

int CWACatalogue::MaxUserLibraries(EUserLibraryKind kind)
{
    return kMaxUser[static_cast<int>(kind)];
}

CWACatalogue::CWACatalogue(EWADirection direction) : m_direction(direction) {}

bool CWACatalogue::CModel::operator==(const CModel& other) const
{
    for (int i = 0; i < kBuiltInSwitches; ++i)
        if (m_arrBuiltIn[i] != other.m_arrBuiltIn[i])
            return false;
    return m_arrUser[0] == other.m_arrUser[0] && m_arrUser[1] == other.m_arrUser[1];
}

const char* CWACatalogue::GetFileName() const
{
    return m_direction == EWADirection::G2B ? "wag2b.ini" : "wab2g.ini";
}

std::string CWACatalogue::SectionName(const char* pszPrefix, int nNumber) const
{
    std::string strName = std::string(pszPrefix) + (m_direction == EWADirection::G2B ? "_G2B" : "_B2G");
    if (nNumber > 0)
        strName += std::to_string(nNumber);
    return strName;
}

std::string CWACatalogue::UserSection(EUserLibraryKind kind, int nNumber) const
{
    return SectionName(kUserPrefixes[static_cast<int>(kind)], nNumber);
}

// As the control reads a catalogue: a built-in switch defaults to on, the
// user sections count from 1 up to the first number that is missing.
CWACatalogue::CModel CWACatalogue::Read(const std::string& strText) const
{
    CSettingsFile file;
    file.LoadFromMemory(strText.data(), strText.size());
    CModel model;
    for (int i = 0; i < kBuiltInSwitches; ++i)
        file.GetBool(SectionName(kBuiltInPrefixes[i]), kApply, true, model.m_arrBuiltIn[i]);
    for (int k = 0; k < 2; ++k) {
        const EUserLibraryKind kind = static_cast<EUserLibraryKind>(k);
        for (int n = 1; n <= kMaxUser[k]; ++n) {
            int nLines = 0;
            if (file.FindSection(UserSection(kind, n), nLines) < 0)
                break;
            CUserLibrary library;
            file.GetString(UserSection(kind, n), kPath, std::string(), library.m_strPath);
            file.GetBool(UserSection(kind, n), kApply, false, library.m_bApply);
            model.m_arrUser[k].push_back(library);
        }
    }
    return model;
}

bool CWACatalogue::Parse(const std::string& strText, std::string& strError)
{
    if (strText.size() > CSettingsFile::kMaxFileBytes) {
        strError = "The catalogue is larger than a catalogue can be; it is left as it is.";
        return false;
    }
    if (strText.find('\0') != std::string::npos) {
        strError = "The catalogue holds binary data, not text; it is left as it is.";
        return false;
    }
    m_strText = m_strOriginal = strText;
    m_model = Read(strText);
    return true;
}

bool CWACatalogue::Commit(const std::string& strNewText, const CModel& expected, std::string& strError)
{
    if (strNewText.size() > CSettingsFile::kMaxFileBytes) {
        strError = "The catalogue would grow larger than a catalogue can be. Nothing was changed.";
        return false;
    }
    if (!(Read(strNewText) == expected)) {
        strError = "This change would also change libraries it does not name: the catalogue repeats a section, "
                   "skips a number or spreads a value over several lines. Nothing was changed; correct the "
                   "catalogue by hand first.";
        return false;
    }
    m_strText = strNewText;
    m_model = expected;
    return true;
}

bool CWACatalogue::SetBuiltInApply(int nIndex, bool bApply, std::string& strError)
{
    if (nIndex < 0 || nIndex >= kBuiltInSwitches) {
        strError = "No such built-in library.";
        return false;
    }
    CCatalogueText text(m_strText);
    text.SetValue(SectionName(kBuiltInPrefixes[nIndex]), kApply, BoolText(bApply));
    CModel expected = m_model;
    expected.m_arrBuiltIn[nIndex] = bApply;
    return Commit(text.GetText(), expected, strError);
}

bool CWACatalogue::SetUserApply(EUserLibraryKind kind, int nIndex, bool bApply, std::string& strError)
{
    std::vector<CUserLibrary> arrExpected = GetUserLibraries(kind);
    if (nIndex < 0 || nIndex >= static_cast<int>(arrExpected.size())) {
        strError = "No such user library.";
        return false;
    }
    CCatalogueText text(m_strText);
    text.SetValue(UserSection(kind, nIndex + 1), kApply, BoolText(bApply));
    CModel expected = m_model;
    expected.m_arrUser[static_cast<int>(kind)][static_cast<std::size_t>(nIndex)].m_bApply = bApply;
    return Commit(text.GetText(), expected, strError);
}

bool CWACatalogue::AddUserLibrary(EUserLibraryKind kind, const std::string& strPath, bool bApply,
                                  std::string& strError)
{
    std::string strValue = strPath;
    TrimBlank(strValue);
    const std::vector<CUserLibrary>& arrLibraries = GetUserLibraries(kind);
    if (strValue.empty() || strValue.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        strError = "A library path must be one line of text.";
        return false;
    }
    if (strValue.size() > kMaxPathBytes) {
        strError = "The library path is too long for a catalogue line.";
        return false;
    }
    if (static_cast<int>(arrLibraries.size()) >= MaxUserLibraries(kind)) {
        strError = "The list is full: a catalogue holds at most " + std::to_string(MaxUserLibraries(kind)) +
                   " libraries of this kind. Remove one first.";
        return false;
    }
    for (const CUserLibrary& library : arrLibraries) {
        if (library.m_strPath == strValue) {
            strError = "This library is already in the list.";
            return false;
        }
    }
    const int nNumber = static_cast<int>(arrLibraries.size()) + 1;
    CCatalogueText text(m_strText);
    // Behind the last library of its list; the first goes behind PDAF2 or
    // FinalFix3, where it applies, or to the end.
    std::string strAfter = nNumber > 1 ? UserSection(kind, nNumber - 1)
                                       : SectionName(kind == EUserLibraryKind::Library ? "PDAF2" : "FinalFix3");
    text.InsertSection(UserSection(kind, nNumber), {{kPath, strValue}, {kApply, BoolText(bApply)}}, strAfter);
    CModel expected = m_model;
    expected.m_arrUser[static_cast<int>(kind)].push_back(CUserLibrary{strValue, bApply});
    return Commit(text.GetText(), expected, strError);
}

bool CWACatalogue::RemoveUserLibrary(EUserLibraryKind kind, int nIndex, std::string& strError)
{
    const int nCount = static_cast<int>(GetUserLibraries(kind).size());
    if (nIndex < 0 || nIndex >= nCount) {
        strError = "No such user library.";
        return false;
    }
    CCatalogueText text(m_strText);
    text.RemoveSection(UserSection(kind, nIndex + 1));
    // The control stops at the first missing number: the libraries behind
    // the removed one move up by one.
    for (int n = nIndex + 2; n <= nCount; ++n)
        text.RenameSection(UserSection(kind, n), UserSection(kind, n - 1));
    CModel expected = m_model;
    std::vector<CUserLibrary>& arrLibraries = expected.m_arrUser[static_cast<int>(kind)];
    arrLibraries.erase(arrLibraries.begin() + nIndex);
    return Commit(text.GetText(), expected, strError);
}

std::string CWACatalogue::StoredPath(const std::string& strFullPath, const std::string& strWAFolder)
{
    const std::string strPrefix = strWAFolder + "\\";
    if (!strWAFolder.empty() && strFullPath.compare(0, strPrefix.size(), strPrefix) == 0)
        return kWAFolderToken + strFullPath.substr(strWAFolder.size());
    return strFullPath;
}

std::string CWACatalogue::ExpandedPath(const std::string& strStored, const std::string& strWAFolder)
{
    return ReplacePlaceholder(strStored, kWAFolderToken, strWAFolder);
}
