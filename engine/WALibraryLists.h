// The two ordered lists of word-adjustment libraries, G2B and B2G, and their
// application to the result of a transfer.
#pragma once

#include "LeadByteTable.h"
#include "WALibrary.h"
#include "WordAdjustment.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CWAMatcher;

using WALibraryList = std::vector<std::unique_ptr<WALibrary>>;

class CWALibraryLists final : public CWordAdjustment {
public:
    // A transfer takes at most 64 KB and returns at most 32 KB; a text that
    // libraries grow past this size only ever fails at the host, after
    // having taken the memory. Libraries whose pairs feed each other (AB ->
    // ABAB, applied again and again) would otherwise grow it without bound.
    static constexpr std::size_t kDefaultMaxTextBytes = std::size_t{1} << 20;

    // `nCodePage`: the process's multibyte code page; a source matches only
    // where that code page sees a character start.
    explicit CWALibraryLists(unsigned nCodePage);
    // The records move; the tries are built again when next needed.
    CWALibraryLists(CWALibraryLists&& other) noexcept;

    void SetCodePage(unsigned nCodePage) { m_leads = CLeadByteTable(nCodePage); }
    unsigned CodePage() const { return m_leads.CodePage(); }
    // If the text would grow past this (or past its own size when it came in
    // longer), word adjustment gives up and leaves the text as it came.
    void SetMaxTextBytes(std::size_t nBytes) { m_nMaxTextBytes = nBytes; }

    // Appends a completely read record behind the others of its direction.
    // A null record is ignored.
    void Append(WADirection direction, std::unique_ptr<WALibrary> library);
    // Destroys every record of one list, or of both.
    void ClearWALibraryList(WADirection direction) { ListOf(direction).clear(); }
    void Clear();

    const WALibraryList& List(WADirection direction) const;
    const WALibraryList& WALibrariesG2B() const { return m_WALibrariesG2B; }
    const WALibraryList& WALibrariesB2G() const { return m_WALibrariesB2G; }

    // Each applied library in list order, each of its pairs in order: every
    // occurrence of the source that starts at a character boundary, from the
    // left and without overlap, becomes the target. Later pairs see the text
    // as the earlier ones left it.
    void Apply(WADirection direction, std::string& text) const override;

    // Builds the trie of a direction's applied pairs now rather than at
    // its first transfer: the loader calls it once a list is complete. Any
    // later change of the list (or of a record's flag or pair count) is seen
    // by the next transfer, which builds it again.
    void Prepare(WADirection direction) const;

private:
    // What a direction's trie was built from.
    struct Built {
        const WALibrary* m_pLibrary;
        bool m_bApply;
        std::size_t m_nPairs;
        bool operator==(const Built& other) const
        {
            return m_pLibrary == other.m_pLibrary && m_bApply == other.m_bApply && m_nPairs == other.m_nPairs;
        }
    };
    struct MatcherState {
        std::shared_ptr<const CWAMatcher> m_pMatcher;
        std::vector<Built> m_arrBuilt;
        unsigned m_nCodePage = 0;
    };

    WALibraryList& ListOf(WADirection direction);
    const CLeadByteTable& LeadsOf(WADirection direction) const;
    std::shared_ptr<const CWAMatcher> Matcher(WADirection direction) const;

    CLeadByteTable m_leads;
    std::size_t m_nMaxTextBytes = kDefaultMaxTextBytes;
    WALibraryList m_WALibrariesG2B;
    WALibraryList m_WALibrariesB2G;
    // Transfers of several threads may share the lists (each host thread its
    // own apartment); the tries are built under this lock and then only read.
    mutable std::mutex m_mutex;
    mutable MatcherState m_matchers[2];
};
