// Replays the checked-in seed corpus of the settings-file fuzz target through
// the target's own checks, so that the ordinary test run holds every input
// the fuzzer was started from (and every crash input added there later).
#include "../fuzz/SettingsFileFuzz.cpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(SettingsFileCorpus, EverySeedKeepsThePromisesFromMemoryAndFromDisk)
{
    const std::filesystem::path corpus =
        std::filesystem::path(KIVO_FOUNDATION_TEST_DATA) / ".." / ".." / "fuzz" / "corpus" / "settings";
    std::size_t nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream file(entry.path(), std::ios::binary);
        ASSERT_TRUE(file.is_open());
        const std::string strBytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ExerciseSettingsFile(reinterpret_cast<const std::uint8_t*>(strBytes.data()), strBytes.size());

        CSettingsFile fromMemory;
        fromMemory.LoadFromMemory(strBytes.data(), strBytes.size());
        CSettingsFile fromDisk;
        EXPECT_TRUE(fromDisk.Load(entry.path().string()));
        EXPECT_EQ(fromMemory.GetLines(), fromDisk.GetLines());
        ++nFiles;
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_GE(nFiles, 8u);
}

}  // namespace
