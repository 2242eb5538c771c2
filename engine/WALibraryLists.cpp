#include "WALibraryLists.h"

#include "AdjustedText.h"

#include <algorithm>
#include <utility>

CWALibraryLists::CWALibraryLists(unsigned nCodePage) : m_leads(nCodePage) {}

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

// Each pair is a pass over the whole text, as the order of the pairs demands;
// what makes it fast is CAdjustedText: most pairs are ruled out by its index
// of short strings without reading the text, and the others read only the
// segments that may hold their source.
void CWALibraryLists::Apply(WADirection direction, std::string& text) const
{
    if (text.empty())
        return;
    // The text is Big5 (G2B) or GBK (B2G) whatever the process code page. A
    // single-byte process code page would let a source match from the trail
    // byte of one character into the next and tear both apart; the
    // direction's own code page tells the characters apart instead. (Under a
    // Chinese code page the lead bytes of both agree, so nothing changes.)
    static const CLeadByteTable kBig5Leads(950), kGbkLeads(936);
    const CLeadByteTable& leads =
        m_leads.HasLeadBytes() ? m_leads : direction == WADirection::G2B ? kBig5Leads : kGbkLeads;
    CAdjustedText adjusted(text, leads, m_nMaxTextBytes);
    bool bChanged = false;
    for (const std::unique_ptr<WALibrary>& library : List(direction)) {
        if (!library->m_bApply)
            continue;
        const std::size_t nPairs = library->PairCount();
        for (std::size_t j = 0; j < nPairs; ++j) {
            const ReplaceOutcome outcome = adjusted.ReplaceAll(library->m_arrSources[j], library->m_arrTargets[j]);
            if (outcome == ReplaceOutcome::TooLong)
                return;
            bChanged = bChanged || outcome == ReplaceOutcome::Replaced;
        }
    }
    if (bChanged)
        text = adjusted.Release();
}
