#include "AdjustedText.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

// The indexes stay sound as the text grows, only less selective; past this
// growth they are built again for its size.
constexpr std::size_t kGrowthBeforeRebuild = 2;
// A four-byte string that an edit created starts up to three bytes before
// the target inserted.
constexpr std::size_t kGramReach = 3;

}  // namespace

CAdjustedText::CAdjustedText(std::string strText, const CLeadByteTable& leads, std::size_t nMaxBytes)
    : m_strText(std::move(strText)),
      m_leads(leads),
      m_nMaxBytes(std::max(nMaxBytes, m_strText.size())),
      m_index(m_strText),
      m_segments(m_strText),
      m_nIndexedSize(m_strText.size())
{
}

ReplaceOutcome CAdjustedText::ReplaceAll(std::string_view strSource, std::string_view strTarget)
{
    if (strSource.empty() || strSource.size() > m_strText.size() || !m_index.MayContain(strSource))
        return ReplaceOutcome::Unchanged;
    FindOccurrences(strSource);
    if (m_arrAt.empty())
        return ReplaceOutcome::Unchanged;
    const std::size_t nCount = m_arrAt.size();
    if (m_strText.size() - nCount * strSource.size() + nCount * strTarget.size() > m_nMaxBytes)
        return ReplaceOutcome::TooLong;
    Edit(strSource.size(), strTarget);
    RecordTargets(strSource.size(), strTarget.size());
    return ReplaceOutcome::Replaced;
}

// Jumps from one candidate to the next within the segments that may hold
// the source, and keeps a candidate only at a character start.
void CAdjustedText::FindOccurrences(std::string_view strSource)
{
    m_arrAt.clear();
    m_segments.Candidates(strSource, m_arrRanges);
    const std::string_view text(m_strText);
    const std::size_t nSourceBytes = strSource.size();
    std::size_t nResume = 0;  // behind the last occurrence
    std::size_t nKnown = 0;   // a character start at or before every later candidate
    for (const CSegmentSignatures::Range& range : m_arrRanges) {
        // Occurrences start in the range and may reach past its end.
        const std::string_view window = text.substr(0, std::min(text.size(), range.second + nSourceBytes - 1));
        for (std::size_t nFrom = std::max(range.first, nResume);;) {
            const std::size_t nAt = window.find(strSource, nFrom);
            if (nAt == std::string_view::npos || nAt >= range.second)
                break;
            if (!m_leads.IsCharacterStart(m_strText, nAt, nKnown)) {
                nFrom = nAt + 1;
                continue;
            }
            m_arrAt.push_back(nAt);
            nFrom = nResume = nAt + nSourceBytes;
        }
    }
}

void CAdjustedText::Edit(std::size_t nSourceBytes, std::string_view strTarget)
{
    if (strTarget.size() == nSourceBytes) {
        for (std::size_t nAt : m_arrAt)
            std::memcpy(&m_strText[nAt], strTarget.data(), nSourceBytes);
        return;
    }
    if (m_arrAt.size() == 1) {
        m_strText.replace(m_arrAt.front(), nSourceBytes, strTarget);
    } else {
        m_strNext.clear();
        m_strNext.reserve(m_strText.size() - m_arrAt.size() * nSourceBytes + m_arrAt.size() * strTarget.size());
        std::size_t nCopied = 0;
        for (std::size_t nAt : m_arrAt) {
            m_strNext.append(m_strText, nCopied, nAt - nCopied).append(strTarget);
            nCopied = nAt + nSourceBytes;
        }
        m_strNext.append(m_strText, nCopied, std::string::npos);
        m_strText.swap(m_strNext);
    }
    m_segments.Shift(m_arrAt, nSourceBytes, strTarget.size());
}

void CAdjustedText::RecordTargets(std::size_t nSourceBytes, std::size_t nTargetBytes)
{
    m_arrWritten.resize(m_arrAt.size());
    for (std::size_t i = 0; i < m_arrAt.size(); ++i)
        m_arrWritten[i] = m_arrAt[i] - i * nSourceBytes + i * nTargetBytes;
    if (m_strText.size() > kGrowthBeforeRebuild * m_nIndexedSize) {
        m_index.Build(m_strText);
        m_segments.Build(m_strText);
        m_nIndexedSize = m_strText.size();
        return;
    }
    for (std::size_t i = 0; i < m_arrAt.size(); ++i) {
        const std::size_t nAt = m_arrWritten[i];
        const std::size_t nFrom = nAt >= kGramReach ? nAt - kGramReach : 0;
        m_index.Add(m_strText, nFrom, nAt + nTargetBytes);
        m_segments.Add(m_strText, nFrom, nAt + nTargetBytes);
    }
}
