// Where in a text a short byte string may start, without reading the text:
// the text is cut into segments of a few hundred bytes, each with a signature
// of the two- and four-byte strings that start in it. The signatures are
// stored bit-sliced (one row of segment bits per signature bit), so asking
// every segment at once costs a few machine words per probe.
//
// Like CTextGramIndex it may name segments where the string does not start,
// never miss one where it does. The segments move with the text: an edit
// shifts their starts and records the strings it created.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CSegmentSignatures {
public:
    using Range = std::pair<std::size_t, std::size_t>;  // [first, last) offsets

    explicit CSegmentSignatures(const std::string& strText) { Build(strText); }

    void Build(const std::string& strText);
    // After every occurrence at `arrAt` (ascending, offsets before the edit)
    // of `nSourceBytes` bytes was replaced by `nTargetBytes` bytes.
    void Shift(const std::vector<std::size_t>& arrAt, std::size_t nSourceBytes, std::size_t nTargetBytes);
    // Records the strings of `strText` that start at offsets [nFrom, nTo).
    void Add(const std::string& strText, std::size_t nFrom, std::size_t nTo);
    // The offset ranges, ascending, in which `strSource` may start.
    void Candidates(std::string_view strSource, std::vector<Range>& arrRanges) const;

private:
    std::uint64_t* Row(std::uint32_t nBit) { return &m_arrRows[nBit * m_nWords]; }
    const std::uint64_t* Row(std::uint32_t nBit) const { return &m_arrRows[nBit * m_nWords]; }
    void Set(std::uint32_t nBit, std::size_t nSegment);

    std::vector<std::size_t> m_arrStarts;  // segment i is [m_arrStarts[i], m_arrStarts[i + 1] or m_nSize)
    std::size_t m_nSize = 0;
    std::size_t m_nWords = 0;              // words of one row: one bit per segment
    unsigned m_nShift = 0;                 // 32 - log2 of the signature bits
    std::vector<std::uint64_t> m_arrRows;
};
