// Fuzz target of the word-adjustment library reader: reads the input as a
// library file, user and built-in, with and without its pairs, checks what
// the reader promises about what it stores, then applies the library to the
// input itself and holds the result against the reference passes. A broken
// promise aborts with the failed condition, so the fuzzer keeps the input.
//
// The ordinary test run replays the seed corpus through ExerciseWALibraryText
// (engine/tests/WALibraryTextCorpusTest.cpp).
#include "WALibraryLists.h"
#include "WALibraryText.h"
#include "WAReference.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../../foundation/fuzz/FuzzRequire.h"


namespace {

// The reference costs pairs x text; these keep one input well under a second.
const std::size_t kMaxPairsApplied = 256;
const std::size_t kMaxTextApplied = 4096;
const std::size_t kMaxAppliedBytes = 65536;
const unsigned kCodePages[] = {936, 950, 1252};

bool IsBlankChar(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsTrimmed(const std::string& s)
{
    return s.empty() || (!IsBlankChar(s.front()) && !IsBlankChar(s.back()));
}

void CheckPairs(const WALibrary& lib, const std::string& content)
{
    KIVO_FUZZ_REQUIRE(lib.m_arrSources.size() == lib.m_arrTargets.size());
    std::size_t nBytes = 0;
    bool bCommaInside = false;
    for (std::size_t i = 0; i < lib.PairCount(); ++i) {
        const std::string& source = lib.m_arrSources[i];
        const std::string& target = lib.m_arrTargets[i];
        KIVO_FUZZ_REQUIRE(!source.empty() && IsTrimmed(source) && IsTrimmed(target));
        KIVO_FUZZ_REQUIRE(source.find('\0') == std::string::npos && target.find('\0') == std::string::npos);
        bCommaInside = bCommaInside || source.find(',') != std::string::npos;
        nBytes += source.size() + target.size() + 1;
    }
    // Every pair takes a comma and at least one byte of the file.
    KIVO_FUZZ_REQUIRE(nBytes <= content.size() + 1);
    // Without the comma token the sources as written are the stored ones.
    for (std::size_t i = 1; !bCommaInside && i < lib.PairCount(); ++i)
        KIVO_FUZZ_REQUIRE(lib.m_arrSources[i - 1] <= lib.m_arrSources[i]);
}

void CheckApply(const WALibrary& read, const std::string& content)
{
    auto lib = std::make_unique<WALibrary>(read);
    lib->m_bApply = true;
    if (lib->PairCount() > kMaxPairsApplied) {
        lib->m_arrSources.resize(kMaxPairsApplied);
        lib->m_arrTargets.resize(kMaxPairsApplied);
    }
    const std::string text = content.substr(0, kMaxTextApplied);
    const unsigned nCodePage = kCodePages[content.size() % (sizeof kCodePages / sizeof kCodePages[0])];
    CWALibraryLists lists(nCodePage);
    lists.SetMaxTextBytes(kMaxAppliedBytes);
    lists.Append(WADirection::G2B, std::move(lib));
    std::string fast = text;
    lists.Apply(WADirection::G2B, fast);
    std::string plain = text;
    // Under a single-byte process code page G2B text is still read as Big5.
    wa_reference::Apply(lists.WALibrariesG2B(), plain, nCodePage == 1252u ? 950u : nCodePage, kMaxAppliedBytes);
    KIVO_FUZZ_REQUIRE(fast == plain);
}

}  // namespace

void ExerciseWALibraryText(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string content(reinterpret_cast<const char*>(pData), nSize);
    for (bool bUser : {false, true}) {
        WALibrary lib;
        lib.m_strTitle = "given";
        ParseWALibraryText(lib, content, bUser, true);
        CheckPairs(lib, content);
        KIVO_FUZZ_REQUIRE(IsTrimmed(lib.m_strTitle) && IsTrimmed(lib.m_strDescription));
        KIVO_FUZZ_REQUIRE(bUser || (lib.m_strTitle == "given" && lib.m_strDescription.empty()));
        KIVO_FUZZ_REQUIRE(lib.m_strTitle.size() + lib.m_strDescription.size() <= content.size() + 5);

        // Without its pairs: the same heading, nothing else.
        WALibrary heading;
        ParseWALibraryText(heading, content, bUser, false);
        KIVO_FUZZ_REQUIRE(heading.m_arrSources.empty() && heading.m_arrTargets.empty());
        KIVO_FUZZ_REQUIRE(heading.m_strTitle == (bUser ? lib.m_strTitle : std::string()));
        KIVO_FUZZ_REQUIRE(heading.m_strDescription == lib.m_strDescription);
        if (!bUser)
            CheckApply(lib, content);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    ExerciseWALibraryText(pData, nSize);
    return 0;
}
