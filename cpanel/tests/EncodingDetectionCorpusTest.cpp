// Replays the checked-in seed corpus of the encoding-detection fuzz target
// through the target's own checks, so that the ordinary test run holds every
// input the fuzzer was started from (and every crash input added there later).
#include "../fuzz/EncodingDetectionFuzz.cpp"

#include "../../foundation/fuzz/FuzzCorpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

TEST(EncodingDetectionCorpus, EverySeedKeepsThePromises)
{
    const std::vector<CFuzzCorpusFile> files = ReadFuzzCorpus(KIVO_DETECTION_FUZZ_CORPUS);
    for (const CFuzzCorpusFile& file : files) {
        SCOPED_TRACE(file.m_path.filename().string());
        // A buffer of exactly the input's size, as the fuzzer gives it.
        const auto pBytes = std::make_unique<std::uint8_t[]>(file.Size());
        std::copy(file.m_strBytes.begin(), file.m_strBytes.end(), pBytes.get());
        ExerciseEncodingDetection(pBytes.get(), file.Size());
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_GE(files.size(), 10u);
}

}  // namespace
