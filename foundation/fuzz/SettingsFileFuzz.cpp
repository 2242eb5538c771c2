// Fuzz target of the settings-file reader: loads the input as a file image
// and asks it for every section and key it holds, in both separator modes,
// checking what the reader promises about its lines and look-ups. A broken
// promise aborts with the failed condition, so the fuzzer keeps the input.
//
// The ordinary test run replays the seed corpus through ExerciseSettingsFile
// (foundation/tests/SettingsFileCorpusTest.cpp).
#include "SettingsFile.h"
#include "TextTrim.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzRequire.h"


namespace {

// Keeps one input's work linear enough for the fuzzer; every line is still
// loaded and tidied, only the per-line look-ups stop here.
const std::size_t kMaxLinesLookedUp = 200;

bool IsBlankChar(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool AllCommentsFrom(const std::vector<std::string>& arrLines, std::size_t nFirst)
{
    for (std::size_t i = nFirst; i < arrLines.size(); ++i) {
        if (!CSettingsFile::IsComment(arrLines[i]))
            return false;
    }
    return true;
}

// What tidying promises: trimmed lines without zero bytes, and empty lines
// only before a header or before the run of trailing comments.
void CheckTidiedLines(const std::vector<std::string>& arrLines, std::size_t nInputSize)
{
    std::size_t nTotal = 0;
    for (std::size_t i = 0; i < arrLines.size(); ++i) {
        const std::string& strLine = arrLines[i];
        nTotal += strLine.size();
        KIVO_FUZZ_REQUIRE(strLine.find('\0') == std::string::npos);
        if (strLine.empty()) {
            KIVO_FUZZ_REQUIRE(i > 0 && i + 1 < arrLines.size());
            KIVO_FUZZ_REQUIRE(!arrLines[i - 1].empty());
            KIVO_FUZZ_REQUIRE(CSettingsFile::IsSectionHeader(arrLines[i + 1]) || AllCommentsFrom(arrLines, i + 1));
            continue;
        }
        KIVO_FUZZ_REQUIRE(!IsBlankChar(strLine.front()) && !IsBlankChar(strLine.back()));
        if (CSettingsFile::IsSectionHeader(strLine) && i > 0)
            KIVO_FUZZ_REQUIRE(arrLines[i - 1].empty());
    }
    // A block turns each LF it joins into CR LF; nothing else adds bytes.
    KIVO_FUZZ_REQUIRE(nTotal <= 2 * nInputSize);
}

void CheckSection(const CSettingsFile& settings, std::size_t nHeader)
{
    const std::vector<std::string>& arrLines = settings.GetLines();
    const std::string& strHeader = arrLines[nHeader];
    std::string strName = strHeader.substr(1, strHeader.size() - 2);
    std::string strTrimmed = strName;
    if (TrimBlank(strTrimmed))
        return;  // "[ a ]" cannot be asked for: the name is trimmed first

    int nCount = -1;
    const int nFound = settings.FindSection(strName, nCount);
    KIVO_FUZZ_REQUIRE(nFound >= 0 && static_cast<std::size_t>(nFound) <= nHeader);
    KIVO_FUZZ_REQUIRE(arrLines[static_cast<std::size_t>(nFound)] == strHeader);
    KIVO_FUZZ_REQUIRE(nCount >= 0);
    const std::size_t nEnd = static_cast<std::size_t>(nFound) + 1 + static_cast<std::size_t>(nCount);
    KIVO_FUZZ_REQUIRE(nEnd <= arrLines.size());
    for (std::size_t i = static_cast<std::size_t>(nFound) + 1; i < nEnd; ++i)
        KIVO_FUZZ_REQUIRE(!arrLines[i].empty() && !CSettingsFile::IsSectionHeader(arrLines[i]));
    if (nEnd < arrLines.size())
        KIVO_FUZZ_REQUIRE(arrLines[nEnd].empty() || CSettingsFile::IsSectionHeader(arrLines[nEnd]));
}

// `strSection` is the name of the header at `nHeader`, or empty with nHeader
// -1 for the lines before the first header.
void CheckKey(const CSettingsFile& settings, std::size_t nLine, int nHeader, const std::string* pSection)
{
    const std::string& strLine = settings.GetLines()[nLine];
    const std::string strSeparator = settings.IsCompact() ? "=" : " = ";
    const std::string::size_type nAt = strLine.find(strSeparator);
    if (nAt == std::string::npos)
        return;
    const std::string strKey = strLine.substr(0, nAt);
    // A key holding CR LF cannot be asked for (FindKey reads it as four
    // blanks); such a "key" is a block value line after an empty key.
    if (strKey.find("\r\n") != std::string::npos)
        return;

    std::string strValue = "x";
    const int nFound = settings.FindKey(nHeader + 1, strKey, strValue);
    KIVO_FUZZ_REQUIRE(nFound > nHeader && static_cast<std::size_t>(nFound) <= nLine);
    const std::string& strFoundLine = settings.GetLines()[static_cast<std::size_t>(nFound)];
    KIVO_FUZZ_REQUIRE(strFoundLine.compare(0, strKey.size() + strSeparator.size(), strKey + strSeparator) == 0);
    KIVO_FUZZ_REQUIRE(strFoundLine.substr(strKey.size() + strSeparator.size()) == strValue);

    if (pSection == nullptr)
        return;
    // Through the section name: the same answer when this header is the
    // first of its name (a repeated section is never reached).
    int nCount = 0;
    if (settings.FindSection(*pSection, nCount) != nHeader)
        return;
    std::string strString;
    KIVO_FUZZ_REQUIRE(settings.GetString(*pSection, strKey, "default", strString));
    KIVO_FUZZ_REQUIRE(strString == strValue);
    bool bValue = false;
    KIVO_FUZZ_REQUIRE(settings.GetBool(*pSection, strKey, false, bValue));
    KIVO_FUZZ_REQUIRE(bValue == (strValue.find("true") != std::string::npos));
}

void CheckLookUps(CSettingsFile& settings, const std::string& strInput)
{
    const std::vector<std::string>& arrLines = settings.GetLines();
    const std::size_t nLines = arrLines.size() < kMaxLinesLookedUp ? arrLines.size() : kMaxLinesLookedUp;
    for (bool bCompact : {false, true}) {
        settings.SetCompact(bCompact);
        int nHeader = -1;
        std::string strSection;
        bool bNamed = false;
        for (std::size_t i = 0; i < nLines; ++i) {
            const std::string& strLine = arrLines[i];
            if (CSettingsFile::IsSectionHeader(strLine)) {
                CheckSection(settings, i);
                nHeader = static_cast<int>(i);
                strSection = strLine.substr(1, strLine.size() - 2);
                bNamed = true;
                continue;
            }
            if (!strLine.empty())
                CheckKey(settings, i, nHeader, bNamed ? &strSection : nullptr);
        }

        // Names and keys straight from the input, line breaks and all; and
        // start indexes outside the lines.
        const std::string strPrefix = strInput.substr(0, 64);
        int nCount = -1;
        const int nFound = settings.FindSection(strPrefix, nCount);
        KIVO_FUZZ_REQUIRE(nFound >= -1 && nFound < static_cast<int>(arrLines.size()));
        KIVO_FUZZ_REQUIRE(nCount >= 0 && (nFound >= 0 || nCount == 0));
        std::string strValue;
        const std::string strDefault = "default";
        if (!settings.GetString(strPrefix, strPrefix, strDefault, strValue))
            KIVO_FUZZ_REQUIRE(strValue == strDefault);
        const int nLast = static_cast<int>(arrLines.size());
        KIVO_FUZZ_REQUIRE(settings.FindKey(-1, strPrefix, strValue) == -1 && strValue.empty());
        KIVO_FUZZ_REQUIRE(settings.FindKey(nLast, strPrefix, strValue) == -1);
        KIVO_FUZZ_REQUIRE(settings.FindKey(nLast + 1000, "", strValue) == -1);
    }
}

}  // namespace

// Loads one input and checks every promise; aborts on the first broken one.
void ExerciseSettingsFile(const std::uint8_t* pData, std::size_t nSize)
{
    const char* pText = reinterpret_cast<const char*>(pData);
    CSettingsFile settings;
    KIVO_FUZZ_REQUIRE(settings.LoadFromMemory(pText, nSize));
    CheckTidiedLines(settings.GetLines(), nSize);
    CheckLookUps(settings, nSize ? std::string(pText, nSize) : std::string());

    // Loading again gives the same lines; RemoveAll empties.
    CSettingsFile again(true);
    again.LoadFromMemory(pText, nSize);
    KIVO_FUZZ_REQUIRE(again.GetLines() == settings.GetLines());
    again.RemoveAll();
    KIVO_FUZZ_REQUIRE(again.GetLines().empty());
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    ExerciseSettingsFile(pData, nSize);
    return 0;
}
