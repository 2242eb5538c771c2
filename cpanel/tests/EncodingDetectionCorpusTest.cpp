// Replays the checked-in seed corpus of the encoding-detection fuzz target
// through the target's own checks, so that the ordinary test run holds every
// input the fuzzer was started from (and every crash input added there later).
#include "../fuzz/EncodingDetectionFuzz.cpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

TEST(EncodingDetectionCorpus, EverySeedKeepsThePromises)
{
    std::size_t nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KIVO_DETECTION_FUZZ_CORPUS)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream file(entry.path(), std::ios::binary);
        ASSERT_TRUE(file.is_open());
        const std::string strBytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        // A buffer of exactly the input's size, as the fuzzer gives it.
        const auto pBytes = std::make_unique<std::uint8_t[]>(strBytes.size());
        std::copy(strBytes.begin(), strBytes.end(), pBytes.get());
        ExerciseEncodingDetection(pBytes.get(), strBytes.size());
        ++nFiles;
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_GE(nFiles, 10u);
}

}  // namespace
