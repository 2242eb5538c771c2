#include "LoadingProgress.h"

#include <cstdint>

CLoadingProgress LoadingProgressOf(int nTotal, int nDone)
{
    CLoadingProgress progress;
    if (nDone > nTotal || nTotal <= 0) {
        progress.m_nPosition = nDone > 0 || nTotal <= 0 ? kLoadingBarRange : 0;
        progress.m_strPercent = progress.m_nPosition == kLoadingBarRange ? "100%" : "0%";
        return progress;
    }
    const int nSteps = nDone < 0 ? 0 : nDone;
    // 64-bit products: a total near the int range must not overflow.
    progress.m_nPosition = static_cast<int>(std::int64_t(nSteps) * kLoadingBarRange / nTotal);
    progress.m_strPercent = std::to_string(std::int64_t(nSteps) * 100 / nTotal) + "%";
    return progress;
}
