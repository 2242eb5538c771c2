#include "WALibraryLists.h"

#include "TextAdjuster.h"
#include "WAMatcher.h"

#include <algorithm>
#include <utility>

CWALibraryLists::CWALibraryLists(unsigned nCodePage) : m_leads(nCodePage) {}

CWALibraryLists::CWALibraryLists(CWALibraryLists&& other) noexcept
    : m_leads(other.m_leads),
      m_nMaxTextBytes(other.m_nMaxTextBytes),
      m_WALibrariesG2B(std::move(other.m_WALibrariesG2B)),
      m_WALibrariesB2G(std::move(other.m_WALibrariesB2G))
{
}

void CWALibraryLists::Append(WADirection direction, std::unique_ptr<WALibrary> library)
{
    if (library)
        ListOf(direction).push_back(std::move(library));
}

void CWALibraryLists::Clear()
{
    m_WALibrariesG2B.clear();
    m_WALibrariesB2G.clear();
}

const WALibraryList& CWALibraryLists::List(WADirection direction) const
{
    return direction == WADirection::G2B ? m_WALibrariesG2B : m_WALibrariesB2G;
}

WALibraryList& CWALibraryLists::ListOf(WADirection direction)
{
    return direction == WADirection::G2B ? m_WALibrariesG2B : m_WALibrariesB2G;
}

const CLeadByteTable& CWALibraryLists::LeadsOf(WADirection direction) const
{
    // The text is Big5 (G2B) or GBK (B2G) whatever the process code page. A
    // single-byte process code page would let a source match from the trail
    // byte of one character into the next and tear both apart; the
    // direction's own code page tells the characters apart instead. (Under a
    // Chinese code page the lead bytes of both agree, so nothing changes.)
    static const CLeadByteTable kBig5Leads(950), kGbkLeads(936);
    return m_leads.HasLeadBytes() ? m_leads : direction == WADirection::G2B ? kBig5Leads : kGbkLeads;
}

std::shared_ptr<const CWAMatcher> CWALibraryLists::Matcher(WADirection direction) const
{
    const WALibraryList& list = List(direction);
    const std::lock_guard<std::mutex> lock(m_mutex);
    MatcherState& state = m_matchers[direction == WADirection::G2B ? 0 : 1];
    bool bCurrent = state.m_pMatcher && state.m_nCodePage == m_leads.CodePage() && state.m_arrBuilt.size() == list.size();
    for (std::size_t i = 0; bCurrent && i < list.size(); ++i)
        bCurrent = state.m_arrBuilt[i] == Built{list[i].get(), list[i]->m_bApply, list[i]->PairCount()};
    if (bCurrent)
        return state.m_pMatcher;
    state.m_arrBuilt.clear();
    for (const std::unique_ptr<WALibrary>& library : list)
        state.m_arrBuilt.push_back(Built{library.get(), library->m_bApply, library->PairCount()});
    state.m_pMatcher = std::make_shared<const CWAMatcher>(list, LeadsOf(direction));
    state.m_nCodePage = m_leads.CodePage();
    return state.m_pMatcher;
}

void CWALibraryLists::Prepare(WADirection direction) const
{
    Matcher(direction);
}

// One pass of the trie names the pairs that occur; only they replace,
// in their order, and only around what they wrote is looked at again.
void CWALibraryLists::Apply(WADirection direction, std::string& text) const
{
    if (text.empty())
        return;
    const std::shared_ptr<const CWAMatcher> matcher = Matcher(direction);
    AdjustText(*matcher, LeadsOf(direction), text, m_nMaxTextBytes);
}
