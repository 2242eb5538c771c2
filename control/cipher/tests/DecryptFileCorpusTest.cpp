// Replays the checked-in seed corpus of the DecryptFile fuzz target through
// the target's own checks, so that the ordinary test run holds every input
// the fuzzer was started from (and every crash input added there later).
#include "../fuzz/DecryptFileFuzz.cpp"

#include <gtest/gtest.h>

#include <map>

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
    for (const auto& entry : std::filesystem::directory_iterator(KIVO_CIPHER_CORPUS)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream file(entry.path(), std::ios::binary);
        ASSERT_TRUE(file.is_open());
        const std::string strBytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const int nPasses = ExerciseDecryptFile(reinterpret_cast<const std::uint8_t*>(strBytes.data()), strBytes.size());
        const int nExpected = ExpectedPasses(entry.path().filename().string());
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
