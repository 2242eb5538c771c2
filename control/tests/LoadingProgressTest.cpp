#include "LoadingProgress.h"

#include <gtest/gtest.h>

#include <climits>

TEST(LoadingProgress, BarAndPercentFollowTheSteps)
{
    struct Case {
        int m_nTotal, m_nDone, m_nPosition;
        const char* m_pszPercent;
    };
    const Case cases[] = {
        {122, 0, 0, "0%"},
        {122, 61, 500, "50%"},
        {122, 121, 991, "99%"},     // rounded down, never early to 100%
        {122, 122, 1000, "100%"},
        {122, 123, 1000, "100%"},   // beyond the total: a full bar, no overrun
        {3, 1, 333, "33%"},
        {0, 0, 1000, "100%"},       // a total of 0 would divide by zero
        {-5, 2, 1000, "100%"},
        {100, -4, 0, "0%"},
        {INT_MAX, INT_MAX / 2, 499, "49%"},  // no overflow of the products
    };
    for (const Case& c : cases) {
        const CLoadingProgress progress = LoadingProgressOf(c.m_nTotal, c.m_nDone);
        EXPECT_EQ(progress.m_nPosition, c.m_nPosition) << c.m_nTotal << "/" << c.m_nDone;
        EXPECT_EQ(progress.m_strPercent, c.m_pszPercent) << c.m_nTotal << "/" << c.m_nDone;
    }
}
