// Replays the checked-in seed corpus of the transfer fuzz target through the
// target's own checks, so that the ordinary test run holds every input the
// fuzzer was started from (and every crash input added there later).
#include "../fuzz/CodeTransferFuzz.cpp"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(CodeTransferCorpus, EverySeedKeepsThePromises)
{
    std::set<int> answers;  // -1, 0, or 1 for a count
    for (const CFuzzCorpusFile& file : ReadFuzzCorpus(KIVO_TRANSFER_FUZZ_CORPUS)) {
        SCOPED_TRACE(file.m_path.filename().string());
        const short nAnswer = ExerciseCodeTransfer(file.Data(), file.Size());
        answers.insert(nAnswer > 0 ? 1 : nAnswer);
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_EQ(answers, (std::set<int>{-1, 0, 1}));
}

} // namespace
