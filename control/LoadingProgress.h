// The arithmetic of the loading window's progress: the bar runs from 0 to
// 1000 and the percentage is shown beside it.
#pragma once

#include <string>

constexpr int kLoadingBarRange = 1000;

struct CLoadingProgress {
    int m_nPosition = 0;        // 0..kLoadingBarRange
    std::string m_strPercent;   // "50%"
};

// Where `nDone` of `nTotal` steps puts the bar. A step beyond the total shows
// a full bar; so does any step of a total of 0 or less, which would
// otherwise divide by zero.
CLoadingProgress LoadingProgressOf(int nTotal, int nDone);
