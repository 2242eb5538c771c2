// Replays the checked-in seed corpus of the DecryptFile fuzz target through
// the target's own checks, so that the ordinary test run holds every input
// the fuzzer was started from (and every crash input added there later).
#include "../fuzz/DecryptFileFuzz.cpp"

#include <gtest/gtest.h>

#include <map>

#include "../../../foundation/fuzz/FuzzCorpus.h"

namespace {

// Seed names start with how far the seed gets: both passes, the outer one
// only, or refused at once. Inputs the fuzzer found carry other names.
int ExpectedPasses(const std::string& strName)
{
    const struct {
        const char* pszPrefix;
        int nPasses;
    } kPrefixes[] = {{"library-", 2}, {"outer-only-", 1}, {"refused-", 0}};
    for (const auto& prefix : kPrefixes) {
        if (strName.rfind(prefix.pszPrefix, 0) == 0)
            return prefix.nPasses;
    }
    return -1;
}

TEST(DecryptFileCorpus, EverySeedKeepsThePromises)
{
    std::map<int, int> passesSeen;
    for (const CFuzzCorpusFile& file : ReadFuzzCorpus(KIVO_CIPHER_CORPUS)) {
        const std::string strName = file.m_path.filename().string();
        SCOPED_TRACE(strName);
        const int nPasses = ExerciseDecryptFile(file.Data(), file.Size());
        const int nExpected = ExpectedPasses(strName);
        if (nExpected >= 0) {
            EXPECT_EQ(nPasses, nExpected);
        }
        ++passesSeen[nPasses];
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_GE(passesSeen[2], 4);
    EXPECT_GE(passesSeen[1], 1);
    EXPECT_GE(passesSeen[0], 2);
}

} // namespace
