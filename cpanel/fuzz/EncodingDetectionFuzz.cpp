// Fuzz target of encoding detection: scores the input and detects its
// encoding, checking that the answer is one of the eight codes, that every
// score stays within what its formula can reach, and that blanks around the
// text change nothing. The input is read where libFuzzer put it, never
// copied into a string, so that a read past its end reaches the sanitizer.
// A broken promise aborts with the failed condition, so the fuzzer keeps the
// input.
//
// The ordinary test run replays the seed corpus through
// ExerciseEncodingDetection (cpanel/tests/EncodingDetectionCorpusTest.cpp).
#include "EncodingDetection.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "../../foundation/fuzz/FuzzRequire.h"

namespace {

bool IsResultCode(int nCode)
{
    for (int nKnown : {kEncodingGb2312, kEncodingHz, kEncodingBig5, kEncodingEucTw, kEncodingIso2022Cn,
                       kEncodingUtf8, kEncodingAscii, kEncodingOther}) {
        if (nCode == nKnown)
            return true;
    }
    return false;
}

// Ranks stay below 600 and each unit weighs 500, so a rank term stays below
// 60; the share of matched units adds at most 50.
void CheckScores(const CEncodingScores& scores)
{
    for (int nScore : {scores[kScoreGb2312], scores[kScoreBig5], scores[kScoreEucTw]})
        KIVO_FUZZ_REQUIRE(nScore >= 0 && nScore < 110);
    KIVO_FUZZ_REQUIRE(scores[kScoreHz] >= 0 && scores[kScoreHz] < 110);
    KIVO_FUZZ_REQUIRE(scores[kScoreIso2022Cn] == 0 && scores[kScoreUtf8] == 0);
    KIVO_FUZZ_REQUIRE(scores[kScoreAscii] >= 10 && scores[kScoreAscii] <= 60);
}

}  // namespace

void ExerciseEncodingDetection(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string_view text(reinterpret_cast<const char*>(pData), nSize);
    CheckScores(ScoreChineseEncodings(text));
    const int nCode = DetectChineseEncoding(text);
    KIVO_FUZZ_REQUIRE(IsResultCode(nCode));

    // Blanks at both ends are trimmed before anything is counted.
    const std::string strPadded = " \t\r\n" + std::string(text) + "\r\n\t ";
    KIVO_FUZZ_REQUIRE(DetectChineseEncoding(strPadded) == nCode);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    ExerciseEncodingDetection(pData, nSize);
    return 0;
}
