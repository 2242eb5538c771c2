#include "WALibraryLists.h"

#include "TextGramIndex.h"

#include <algorithm>
#include <utility>

namespace {

// A filter sized for the text it was built on stays sound as the text grows,
// only less selective; past this growth it is built again.
constexpr std::size_t kIndexGrowthBeforeRebuild = 2;
// A four-byte string that a replacement created starts up to three bytes
// before the target inserted.
constexpr std::size_t kGramReach = 3;

}  // namespace

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
// what makes it fast is that most pairs are ruled out by the index of the
// text's short strings without a pass, and a pass jumps from one candidate
// to the next instead of comparing at every character.
void CWALibraryLists::Apply(WADirection direction, std::string& text) const
{
    if (text.empty())
        return;
    const std::size_t nLimit = std::max(m_nMaxTextBytes, text.size());
    CTextGramIndex index(text);
    std::size_t nIndexedSize = text.size();
    std::string original;  // the text as it came, once a pair changed it
    bool bChanged = false;
    std::string next;
    std::vector<std::size_t> insertedAt;

    for (const std::unique_ptr<WALibrary>& library : List(direction)) {
        if (!library->m_bApply)
            continue;
        const std::size_t nPairs = library->PairCount();
        for (std::size_t j = 0; j < nPairs; ++j) {
            const std::string& source = library->m_arrSources[j];
            if (source.size() > text.size() || !index.MayContain(source))
                continue;
            const std::string& target = library->m_arrTargets[j];
            const ReplaceOutcome outcome =
                ReplaceAtBoundaries(m_leads, text, source, target, nLimit, next, insertedAt);
            if (outcome == ReplaceOutcome::Unchanged)
                continue;
            if (outcome == ReplaceOutcome::TooLong) {
                if (bChanged)
                    text = std::move(original);
                return;
            }
            if (!bChanged) {
                original.swap(text);
                bChanged = true;
            }
            text.swap(next);
            if (text.size() > kIndexGrowthBeforeRebuild * nIndexedSize) {
                index.Build(text);
                nIndexedSize = text.size();
                continue;
            }
            for (std::size_t at : insertedAt)
                index.Add(text, at >= kGramReach ? at - kGramReach : 0, at + target.size());
        }
    }
}
