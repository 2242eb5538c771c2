#include "WALoader.h"

#include "BuiltInLibrary.h"
#include "LibraryCipher.h"
#include "LoadingReport.h"
#include "MessagePump.h"
#include "PathText.h"
#include "PathUtil.h"
#include "SettingsFile.h"
#include "ShellLink.h"
#include "TextFile.h"
#include "TextTrim.h"
#include "WALibraryText.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kBuiltInWork = 10;          // steps of one built-in library
constexpr int kBuiltInLibraries = 12;
constexpr int kMaxUserLibraries = 64;     // CUSLIB_<dir>1 .. 64
constexpr int kMaxUserFinalFixLibraries = 3;
constexpr int kMaxFolderEntries = 64;     // "*.txt" entries looked at without a catalogue
const char kWAFolderToken[] = "%%CTWA_FOLDER%%";
constexpr std::size_t kTextProbeBytes = 32768;  // a zero byte in these makes a file binary

struct CDirectionNames {
    const char* m_pszSuffix;        // of section names
    const char* m_pszCatalogue;     // in Lumbra's config folder
    const char* m_pszUserFolder;    // in W
    const char* m_pszFinalFixFolder;
    const char* m_arrBuiltIn[6];    // Base, PDAF, PDAF2, FinalFix, FinalFix2, FinalFix3
};

const CDirectionNames kG2B = {"G2B", "wag2b.ini", "custbig", "cfbig",
                              {"basebig", "pdafbig", "pdaf2big", "ffbig", "ff2big", "ff3big"}};
const CDirectionNames kB2G = {"B2G", "wab2g.ini", "custgb", "cfgb",
                              {"basegb", "pdafgb", "pdaf2gb", "ffgb", "ff2gb", "ff3gb"}};

const CDirectionNames& NamesOf(WADirection direction)
{
    return direction == WADirection::G2B ? kG2B : kB2G;
}

const char* const kBuiltInTitles[6] = {"Base", "PDAF", "PDAF2", "FinalFix", "FinalFix2", "FinalFix3"};

std::string SectionName(const char* pszPrefix, const char* pszSuffix, int nNumber = 0)
{
    std::string strName = std::string(pszPrefix) + "_" + pszSuffix;
    if (nNumber > 0)
        strName += std::to_string(nNumber);
    return strName;
}

bool SectionExists(const CSettingsFile& catalogue, const std::string& strSection)
{
    int nLines = 0;
    return catalogue.FindSection(strSection, nLines) >= 0;
}

bool CanRead(const std::string& strPath)
{
    return FileExists(strPath, GENERIC_READ, FILE_SHARE_READ);
}

// An existing file, not a folder, that opens for reading and holds no zero
// byte in its first 32768 bytes.
bool IsTextFile(const std::string& strPath)
{
    if (strPath.empty() || FolderExists(strPath) || !CanRead(strPath))
        return false;
    bool bExists = false;
    return !IsBinaryFile(strPath, bExists) && bExists;
}

// What a text file may not hold in its head (see IsTextFile).
bool HoldsZeroByte(const std::string& strContent)
{
    return strContent.find('\0', 0) < std::min<std::size_t>(strContent.size(), kTextProbeBytes);
}

// The first `kMaxFolderEntries` entries matching "*.txt" in `strFolder`.
std::vector<std::string> TextEntries(const std::string& strFolder)
{
    std::vector<std::string> entries;
    WIN32_FIND_DATAA data = {};
    const HANDLE hFind = ::FindFirstFileA((strFolder + "\\*.txt").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return entries;
    do {
        entries.push_back(strFolder + "\\" + data.cFileName);
    } while (entries.size() < static_cast<size_t>(kMaxFolderEntries) && ::FindNextFileA(hFind, &data));
    ::FindClose(hFind);
    return entries;
}

std::string CataloguePath(const CWALoadPlaces& places, WADirection direction)
{
    return places.m_strConfigFolder + "\\" + NamesOf(direction).m_pszCatalogue;
}

bool LoadCatalogue(const CWALoadPlaces& places, WADirection direction, CSettingsFile& catalogue)
{
    const std::string strPath = CataloguePath(places, direction);
    if (!CanRead(strPath))
        return false;
    catalogue.Load(strPath);
    return true;
}

int ConsecutiveSections(const CSettingsFile& catalogue, const char* pszPrefix, const char* pszSuffix, int nMax)
{
    int n = 0;
    while (n < nMax && SectionExists(catalogue, SectionName(pszPrefix, pszSuffix, n + 1)))
        ++n;
    return n;
}

int CountTextFiles(const std::string& strFolder)
{
    int n = 0;
    for (const std::string& strEntry : TextEntries(strFolder))
        n += IsTextFile(strEntry) ? 1 : 0;
    return n;
}

// What a loading step tells the window, and the pause for its messages.
class CProgress {
public:
    CProgress(CLoadingReport* pReport, int& nDone) : m_pReport(pReport), m_nDone(nDone) {}
    void Advance(int nSteps)
    {
        m_nDone += nSteps;
        if (m_pReport)
            m_pReport->Report(kLoadingSetDone, m_nDone);
        if (CMessagePump* pPump = PlatformMessagePump())
            pPump->PumpWaitingMessages();
    }

private:
    CLoadingReport* m_pReport;
    int& m_nDone;
};

std::unique_ptr<WALibrary> MakeBuiltIn(const CWALoadPlaces& places, WADirection direction, int nIndex)
{
    auto library = std::make_unique<WALibrary>();
    library->m_strPath = places.m_strWAFolder + "\\" + NamesOf(direction).m_arrBuiltIn[nIndex] + ".txt";
    library->m_bBuiltIn = true;
    library->m_bApply = true;
    library->m_bG2B = direction == WADirection::G2B;
    library->m_strTitle = kBuiltInTitles[nIndex];
    library->m_strDescription = std::string(kBuiltInTitles[nIndex]) + " " + NamesOf(direction).m_pszSuffix;
    return library;
}

// Reads a built-in record and appends it, read or not.
void AddBuiltIn(CWALibraryLists& lists, WADirection direction, std::unique_ptr<WALibrary> library, bool bLoadAll,
                const CWALoadPlaces& places, CProgress& progress)
{
    ReadWALibrary(*library, direction, bLoadAll, places.m_strCacheFolder);
    lists.Append(direction, std::move(library));
    progress.Advance(kBuiltInWork);
}

bool OpenWALibrary(WALibrary& library, const CSettingsFile& catalogue, const std::string& strSection,
                   WADirection direction, bool bLoadAll, const CWALoadPlaces& places)
{
    if (!SectionExists(catalogue, strSection))
        return false;
    std::string strPath;
    catalogue.GetString(strSection, "Path", "", strPath);
    library.m_strPath = ReplacePlaceholder(strPath, kWAFolderToken, places.m_strWAFolder);
    bool bApply = false;
    catalogue.GetBool(strSection, "Apply", false, bApply);
    library.m_bApply = bApply;
    return ReadWALibrary(library, direction, bLoadAll);
}

std::unique_ptr<WALibrary> MakeUser(WADirection direction)
{
    auto library = std::make_unique<WALibrary>();
    library->m_bG2B = direction == WADirection::G2B;
    return library;
}

void AddUserSections(CWALibraryLists& lists, WADirection direction, const CSettingsFile& catalogue,
                     const char* pszPrefix, int nMax, bool bLoadAll, const CWALoadPlaces& places, CProgress& progress)
{
    for (int n = 1; n <= nMax; ++n) {
        const std::string strSection = SectionName(pszPrefix, NamesOf(direction).m_pszSuffix, n);
        if (!SectionExists(catalogue, strSection))
            return;
        std::unique_ptr<WALibrary> library = MakeUser(direction);
        if (OpenWALibrary(*library, catalogue, strSection, direction, bLoadAll, places))
            lists.Append(direction, std::move(library));
        progress.Advance(1);
    }
}

// Without a catalogue: every text file of the folder, loaded but not applied.
void AddUserFolder(CWALibraryLists& lists, WADirection direction, const std::string& strFolder, bool bLoadAll,
                   CProgress& progress)
{
    for (const std::string& strEntry : TextEntries(strFolder)) {
        if (!IsTextFile(strEntry))
            continue;
        std::unique_ptr<WALibrary> library = MakeUser(direction);
        library->m_strPath = strEntry;
        if (ReadWALibrary(*library, direction, bLoadAll))
            lists.Append(direction, std::move(library));
        progress.Advance(1);
    }
}

} // namespace

bool ReadWALibrary(WALibrary& library, WADirection direction, bool bLoadAllEntries, const std::string& strCacheFolder)
{
    library.ClearPairs();
    std::string strPath = library.m_strPath;
    TrimBlank(strPath);
    if (HasLnkExtension(strPath)) {
        const std::string strTarget = ResolveShortcut(strPath);
        if (!strTarget.empty())
            strPath = strTarget;
    }

    std::string strContent;
    if (library.m_bBuiltIn) {
        // Deciphered in memory: no plain copy of a built-in library ever
        // reaches the disk (its cache entry is enciphered).
        try {
            strContent = ReadBuiltInLibraryText(strPath, strCacheFolder);
        } catch (const std::exception&) {
            return false;  // the library stays without pairs
        }
        if (HoldsZeroByte(strContent))
            return false;
    } else {
        if (!IsTextFile(strPath))
            return false;
        if (ReadTextFile(strPath, strContent, true) != kReadWhole)
            return false;
    }
    library.m_bG2B = direction == WADirection::G2B;
    ParseWALibraryText(library, strContent, !library.m_bBuiltIn, library.m_bApply || bLoadAllEntries);
    return true;
}

int CountWordAdjustmentWork(const CWALoadPlaces& places)
{
    int nWork = kBuiltInLibraries * kBuiltInWork;
    for (WADirection direction : {WADirection::G2B, WADirection::B2G}) {
        const CDirectionNames& names = NamesOf(direction);
        CSettingsFile catalogue;
        if (LoadCatalogue(places, direction, catalogue)) {
            nWork += ConsecutiveSections(catalogue, "CUSLIB", names.m_pszSuffix, kMaxUserLibraries);
            nWork += ConsecutiveSections(catalogue, "CUS_FF_LIB", names.m_pszSuffix, kMaxUserFinalFixLibraries);
        } else {
            nWork += CountTextFiles(places.m_strWAFolder + "\\" + names.m_pszUserFolder);
            nWork += CountTextFiles(places.m_strWAFolder + "\\" + names.m_pszFinalFixFolder);
        }
    }
    return nWork;
}

void BuildWALibraryList(CLoadingReport* pReport, CWALibraryLists& lists, WADirection direction,
                        bool bLoadAllEntries, const CWALoadPlaces& places, int& nProgress)
{
    CProgress progress(pReport, nProgress);
    const CDirectionNames& names = NamesOf(direction);
    lists.ClearWALibraryList(direction);
    AddBuiltIn(lists, direction, MakeBuiltIn(places, direction, 0), bLoadAllEntries, places, progress);

    std::unique_ptr<WALibrary> finalFix[3] = {MakeBuiltIn(places, direction, 3), MakeBuiltIn(places, direction, 4),
                                              MakeBuiltIn(places, direction, 5)};
    CSettingsFile catalogue;
    const bool bCatalogue = LoadCatalogue(places, direction, catalogue);
    const char* const kFlagSections[] = {"PDAF", "PDAF2", "FinalFix", "FinalFix2", "FinalFix3"};
    for (int i = 1; i <= 2; ++i) {
        std::unique_ptr<WALibrary> library = MakeBuiltIn(places, direction, i);
        if (bCatalogue) {
            bool bApply = true;
            catalogue.GetBool(SectionName(kFlagSections[i - 1], names.m_pszSuffix), "Apply", true, bApply);
            library->m_bApply = bApply;
        }
        AddBuiltIn(lists, direction, std::move(library), bLoadAllEntries, places, progress);
    }
    if (bCatalogue) {
        for (int i = 0; i < 3; ++i) {
            bool bApply = true;
            catalogue.GetBool(SectionName(kFlagSections[2 + i], names.m_pszSuffix), "Apply", true, bApply);
            finalFix[i]->m_bApply = bApply;
        }
        AddUserSections(lists, direction, catalogue, "CUSLIB", kMaxUserLibraries, bLoadAllEntries, places, progress);
    } else {
        AddUserFolder(lists, direction, places.m_strWAFolder + "\\" + names.m_pszUserFolder, bLoadAllEntries,
                      progress);
    }
    for (std::unique_ptr<WALibrary>& library : finalFix)
        AddBuiltIn(lists, direction, std::move(library), bLoadAllEntries, places, progress);
    if (bCatalogue)
        AddUserSections(lists, direction, catalogue, "CUS_FF_LIB", kMaxUserFinalFixLibraries, bLoadAllEntries,
                        places, progress);
    else
        AddUserFolder(lists, direction, places.m_strWAFolder + "\\" + names.m_pszFinalFixFolder, bLoadAllEntries,
                      progress);
    // The automaton over the list's pairs, so that the first transfer does
    // not wait for it.
    lists.Prepare(direction);
}

void LoadWordAdjustment(CLoadingReport* pReport, bool bLoadAllEntries, const CWALoadPlaces& places,
                        CWALibraryLists& lists)
{
    const HCURSOR hPrevious = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    const int nTotal = CountWordAdjustmentWork(places);
    if (pReport)
        pReport->Report(kLoadingSetTotal, nTotal + 2);
    int nProgress = 0;
    BuildWALibraryList(pReport, lists, WADirection::G2B, bLoadAllEntries, places, nProgress);
    BuildWALibraryList(pReport, lists, WADirection::B2G, bLoadAllEntries, places, nProgress);
    if (pReport)
        pReport->Report(kLoadingFinish, 0);
    ::SetCursor(hPrevious);
}
