// Guessing the encoding of a Chinese text, as the sample text editor does for
// text pasted into an empty area: the text is scored as each of seven
// encodings and the best score wins when it is high enough.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// What DetectChineseEncoding answers. GB2312 and Big5 are the character-set
// numbers of the editor's fonts.
constexpr int kEncodingGb2312 = 134;
constexpr int kEncodingHz = 2;
constexpr int kEncodingBig5 = 136;
constexpr int kEncodingEucTw = 259;
constexpr int kEncodingIso2022Cn = 16;
constexpr int kEncodingUtf8 = 261;
constexpr int kEncodingAscii = 0;
constexpr int kEncodingOther = -1;

// The scored encodings in the order they are tried; a tie goes to the first.
enum ScoredEncoding {
    kScoreGb2312,
    kScoreHz,
    kScoreBig5,
    kScoreEucTw,
    kScoreIso2022Cn,
    kScoreUtf8,
    kScoreAscii,
    kScoreCount
};

using CEncodingScores = std::array<int, kScoreCount>;

// Detection looks at no more of the trimmed text than this.
constexpr std::size_t kDetectionMaxChars = 9998;

// The scores of `text` as it stands (no trimming, no cut), each the real
// value truncated.
CEncodingScores ScoreChineseEncodings(std::string_view text);

// One of the kEncoding codes for `text`: blanks, tabs, CR and LF are trimmed
// at both ends, a text of fewer than 2 characters is "other", and only the
// first kDetectionMaxChars characters are scored. The best score must be
// above 50, or the text is "other".
int DetectChineseEncoding(std::string_view text);
