// Replays the checked-in seed corpus of the settings-file fuzz target through
// the target's own checks, so that the ordinary test run holds every input
// the fuzzer was started from (and every crash input added there later).
#include "../fuzz/SettingsFileFuzz.cpp"

#include "../fuzz/FuzzCorpus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SettingsFileCorpus, EverySeedKeepsThePromisesFromMemoryAndFromDisk)
{
    const std::filesystem::path corpus =
        std::filesystem::path(KIVO_FOUNDATION_TEST_DATA) / ".." / ".." / "fuzz" / "corpus" / "settings";
    const std::vector<CFuzzCorpusFile> files = ReadFuzzCorpus(corpus);
    for (const CFuzzCorpusFile& file : files) {
        SCOPED_TRACE(file.m_path.filename().string());
        ExerciseSettingsFile(file.Data(), file.Size());

        CSettingsFile fromMemory;
        fromMemory.LoadFromMemory(file.m_strBytes.data(), file.Size());
        CSettingsFile fromDisk;
        EXPECT_TRUE(fromDisk.Load(file.m_path.string()));
        EXPECT_EQ(fromMemory.GetLines(), fromDisk.GetLines());
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_GE(files.size(), 8u);
}

}  // namespace
