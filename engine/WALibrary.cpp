#include "WALibrary.h"

#include <algorithm>

std::size_t WALibrary::PairCount() const
{
    return std::min(m_arrSources.size(), m_arrTargets.size());
}

void WALibrary::ClearPairs()
{
    m_arrSources.clear();
    m_arrTargets.clear();
}
