// Replays the checked-in seed corpus of the library-reader fuzz target
// through the target's own checks, so that the ordinary test run holds every
// input the fuzzer was started from (and every crash input added there later).
#include "../fuzz/WALibraryTextFuzz.cpp"

#include <gtest/gtest.h>

#include "../../foundation/fuzz/FuzzCorpus.h"

namespace {

TEST(WALibraryTextCorpus, EverySeedKeepsThePromises)
{
    const std::vector<CFuzzCorpusFile> files = ReadFuzzCorpus(KIVO_WA_FUZZ_CORPUS);
    for (const CFuzzCorpusFile& file : files) {
        SCOPED_TRACE(file.m_path.filename().string());
        ExerciseWALibraryText(file.Data(), file.Size());
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_GE(files.size(), 10u);
}

}  // namespace
