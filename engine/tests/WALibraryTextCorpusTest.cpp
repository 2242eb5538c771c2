// Replays the checked-in seed corpus of the library-reader fuzz target
// through the target's own checks, so that the ordinary test run holds every
// input the fuzzer was started from (and every crash input added there later).
#include "../fuzz/WALibraryTextFuzz.cpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

TEST(WALibraryTextCorpus, EverySeedKeepsThePromises)
{
    std::size_t nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KIVO_WA_FUZZ_CORPUS)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream file(entry.path(), std::ios::binary);
        ASSERT_TRUE(file.is_open());
        const std::string strBytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ExerciseWALibraryText(reinterpret_cast<const std::uint8_t*>(strBytes.data()), strBytes.size());
        ++nFiles;
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_GE(nFiles, 10u);
}

}  // namespace
