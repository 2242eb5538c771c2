// The text that word adjustment rewrites, one pair at a time, with what is
// known about it: where its characters start under the code page, and
// indexes of the short strings it holds, kept up to date as pairs edit it.
#pragma once

#include "LeadByteTable.h"
#include "SegmentSignatures.h"
#include "TextGramIndex.h"

#include <cstddef>
#include <string>
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
    ReplaceOutcome ReplaceAll(const std::string& strSource, const std::string& strTarget);

    const std::string& Text() const { return m_strText; }
    std::string Release() { return std::move(m_strText); }

private:
    void FindOccurrences(const std::string& strSource);
    void Edit(std::size_t nSourceBytes, const std::string& strTarget);
    void RecordTargets(std::size_t nSourceBytes, std::size_t nTargetBytes);

    std::string m_strText;
    const CLeadByteTable& m_leads;
    std::size_t m_nMaxBytes;
    CTextGramIndex m_index;
    CSegmentSignatures m_segments;
    std::size_t m_nIndexedSize;
    std::vector<std::size_t> m_arrAt;  // occurrences of the current pair
    std::vector<CSegmentSignatures::Range> m_arrRanges;
    std::string m_strNext;
};
