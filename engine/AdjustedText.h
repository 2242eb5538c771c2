// A long text that word adjustment rewrites, one pair at a time, with what is
// known about it: where its characters start under the code page, and
// indexes of the short strings it holds, kept up to date as pairs edit it,
// so that finding a pair's occurrences reads only the parts that may hold it.
#pragma once

#include "LeadByteTable.h"
#include "SegmentSignatures.h"
#include "TextGramIndex.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class ReplaceOutcome {
    Unchanged,  // the source does not occur at a character start
    Replaced,
    TooLong,    // the text would grow past the limit; it is left as it was
};

class CAdjustedText {
public:
    CAdjustedText(std::string strText, const CLeadByteTable& leads, std::size_t nMaxBytes);

    // Every occurrence of `strSource` that starts at a character start of the
    // text as it stands, from the left and without overlap, becomes
    // `strTarget`; the targets are not searched again. An empty source never
    // matches.
    ReplaceOutcome ReplaceAll(std::string_view strSource, std::string_view strTarget);
    // Where the targets of the last replacement start in the text as it now stands.
    const std::vector<std::size_t>& Written() const { return m_arrWritten; }

    const std::string& Text() const { return m_strText; }
    std::string Release() { return std::move(m_strText); }

private:
    void FindOccurrences(std::string_view strSource);
    void Edit(std::size_t nSourceBytes, std::string_view strTarget);
    void RecordTargets(std::size_t nSourceBytes, std::size_t nTargetBytes);

    std::string m_strText;
    const CLeadByteTable& m_leads;
    std::size_t m_nMaxBytes;
    CTextGramIndex m_index;
    CSegmentSignatures m_segments;
    std::size_t m_nIndexedSize;
    std::vector<std::size_t> m_arrAt;  // occurrences of the current pair
    std::vector<std::size_t> m_arrWritten;
    std::vector<CSegmentSignatures::Range> m_arrRanges;
    std::string m_strNext;
};
