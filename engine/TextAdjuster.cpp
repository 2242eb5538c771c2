#include "TextAdjuster.h"

#include "AdjustedText.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Past this a piece takes the indexed text, whose search reads only the
// segments that may hold a source; below it a plain search is cheaper than
// building the indexes.
constexpr std::size_t kIndexedPieceBytes = 1024;

// Where `source` next occurs in `text` from `nFrom`, or npos. A plain loop:
// the pieces are a few dozen bytes, and the C library's search functions of
// some platforms work a byte at a time behind a call each.
std::size_t FindIn(std::string_view text, std::string_view source, std::size_t nFrom)
{
    if (source.empty() || source.size() > text.size())
        return std::string_view::npos;
    const char chFirst = source.front();
    const std::size_t nLast = text.size() - source.size();
    for (std::size_t i = nFrom; i <= nLast; ++i) {
        if (text[i] != chFirst)
            continue;
        std::size_t k = 1;
        while (k < source.size() && text[i + k] == source[k])
            ++k;
        if (k == source.size())
            return i;
    }
    return std::string_view::npos;
}

// A short piece of text rewritten by plain search, as CAdjustedText does
// with its indexes. One serves every piece of a call, so that its buffers
// are allocated once.
class CPlainText {
public:
    CPlainText(const CLeadByteTable& leads, std::size_t nMaxBytes) : m_leads(leads), m_nLimit(nMaxBytes) {}

    void Reset(std::string_view piece)
    {
        m_strText.assign(piece.data(), piece.size());
        m_nMaxBytes = std::max(m_nLimit, piece.size());
    }

    ReplaceOutcome ReplaceAll(std::string_view strSource, std::string_view strTarget)
    {
        m_arrAt.clear();
        const std::string_view text(m_strText);
        std::size_t nKnown = 0;
        for (std::size_t nFrom = 0;;) {
            const std::size_t nAt = FindIn(text, strSource, nFrom);
            if (nAt == std::string_view::npos)
                break;
            if (!m_leads.IsCharacterStart(m_strText, nAt, nKnown)) {
                nFrom = nAt + 1;
                continue;
            }
            m_arrAt.push_back(nAt);
            nFrom = nAt + strSource.size();
        }
        if (m_arrAt.empty())
            return ReplaceOutcome::Unchanged;
        const std::size_t nCount = m_arrAt.size();
        if (m_strText.size() - nCount * strSource.size() + nCount * strTarget.size() > m_nMaxBytes)
            return ReplaceOutcome::TooLong;
        m_arrWritten.clear();
        if (strTarget.size() == strSource.size()) {
            for (std::size_t nAt : m_arrAt)
                std::copy(strTarget.begin(), strTarget.end(), m_strText.begin() + static_cast<std::ptrdiff_t>(nAt));
            m_arrWritten = m_arrAt;
            return ReplaceOutcome::Replaced;
        }
        m_strNext.clear();
        std::size_t nCopied = 0;
        for (std::size_t nAt : m_arrAt) {
            m_strNext.append(m_strText, nCopied, nAt - nCopied);
            m_arrWritten.push_back(m_strNext.size());
            m_strNext.append(strTarget);
            nCopied = nAt + strSource.size();
        }
        m_strNext.append(m_strText, nCopied, std::string::npos);
        m_strText.swap(m_strNext);
        return ReplaceOutcome::Replaced;
    }

    const std::vector<std::size_t>& Written() const { return m_arrWritten; }
    const std::string& Text() const { return m_strText; }
    std::string Release() { return std::move(m_strText); }

private:
    std::string m_strText;
    const CLeadByteTable& m_leads;
    std::size_t m_nLimit;
    std::size_t m_nMaxBytes = 0;
    std::vector<std::size_t> m_arrAt, m_arrWritten;
    std::string m_strNext;
};

const unsigned char* Bytes(const std::string& strText)
{
    return reinterpret_cast<const unsigned char*>(strText.data());
}

// The pairs still to come, lowest first; a pair may be named more than once.
class CPendingPairs {
public:
    void Clear() { m_arrHeap.clear(); }
    void Add(std::uint32_t nPair)
    {
        m_arrHeap.push_back(nPair);
        std::push_heap(m_arrHeap.begin(), m_arrHeap.end(), std::greater<>());
    }
    bool Empty() const { return m_arrHeap.empty(); }
    std::uint32_t Take()
    {
        std::pop_heap(m_arrHeap.begin(), m_arrHeap.end(), std::greater<>());
        const std::uint32_t nPair = m_arrHeap.back();
        m_arrHeap.pop_back();
        return nPair;
    }

private:
    std::vector<std::uint32_t> m_arrHeap;
};

void AddOccurring(const CWAMatcher& matcher, std::string_view text, CPendingPairs& pending)
{
    matcher.Scan(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                 [&](std::uint32_t nPair) { pending.Add(nPair); });
}

// The pairs `pending` names (those that occur in `text`), in their order,
// each replacing every occurrence. `nPeak` grows to the largest size the
// text reached.
template <typename Text>
ReplaceOutcome ApplyOccurring(const CWAMatcher& matcher, const CLeadByteTable& leads, Text& text,
                              CPendingPairs& pending, std::size_t& nPeak)
{
    const std::size_t nReach = matcher.MaxSourceBytes() - 1;  // bytes a source may start before a target
    ReplaceOutcome result = ReplaceOutcome::Unchanged;
    bool bFirst = true;
    std::uint32_t nLast = 0;
    while (!pending.Empty()) {
        const std::uint32_t nPair = pending.Take();
        if (!bFirst && nPair == nLast)
            continue;
        bFirst = false;
        nLast = nPair;
        const std::string_view target = matcher.Target(nPair);
        const ReplaceOutcome outcome = text.ReplaceAll(matcher.Source(nPair), target);
        if (outcome == ReplaceOutcome::TooLong)
            return outcome;
        if (outcome == ReplaceOutcome::Unchanged)
            continue;
        result = ReplaceOutcome::Replaced;
        const std::string& current = text.Text();
        nPeak = std::max(nPeak, current.size());
        // A later pair can newly occur only where it overlaps a target, or
        // across the gap a deletion closed: starting at most nReach bytes
        // before it and ending behind its start. One starting behind a
        // target reads the same bytes as before.
        std::size_t nKnown = 0;  // a character start at or before the next window
        auto add = [&](std::uint32_t nFound) { pending.Add(nFound); };
        if (matcher.WellFormed()) {
            // Before each target, the walks that reach into it; those from
            // its own characters the matcher has worked out. A walk from
            // before the previous target's end is that target's.
            std::size_t nDone = 0;
            for (std::size_t nAt : text.Written()) {
                const std::size_t nStart = std::max(nAt > nReach ? nAt - nReach : 0, nDone);
                if (nAt > nStart) {
                    leads.IsCharacterStart(current, nStart, nKnown);
                    matcher.Scan(Bytes(current), current.size(), nKnown, nAt, nAt, nPair + 1, add);
                }
                matcher.ScanTarget(nPair, Bytes(current) + nAt, current.size() - nAt, add);
                nDone = nAt + target.size();
            }
            continue;
        }
        auto scan = [&](std::size_t nFrom, std::size_t nTo, std::size_t nAfter) {
            leads.IsCharacterStart(current, nFrom, nKnown);
            matcher.Scan(Bytes(current), current.size(), nKnown, nTo, nAfter, nPair + 1,
                         [&](std::uint32_t nFound) { pending.Add(nFound); });
        };
        // Windows of nearby targets merge; a source reaching the window's
        // first target is the only kind that can start before it.
        std::size_t nFrom = 0, nTo = 0, nAfter = 0;
        bool bOpen = false;
        for (std::size_t nAt : text.Written()) {
            const std::size_t nStart = nAt > nReach ? nAt - nReach : 0;
            const std::size_t nEnd = std::min(current.size(), nAt + target.size());
            if (bOpen && nStart <= nTo) {
                nTo = std::max(nTo, nEnd);
                continue;
            }
            if (bOpen && nTo > nFrom)
                scan(nFrom, nTo, nAfter);
            nFrom = nStart;
            nTo = nEnd;
            nAfter = nAt;
            bOpen = true;
        }
        if (bOpen && nTo > nFrom)
            scan(nFrom, nTo, nAfter);
    }
    return result;
}

// What the pieces of one call share: buffers allocated once.
struct PieceWork {
    CPendingPairs pending;
    CPlainText plain;
};

// One piece through the pairs `work.pending` names, those that occur in it.
// When it changed, `out` receives `before` (the unchanged text since the
// last change) and then the piece as it became. `nPeak` grows by what the
// piece reached beyond its own size. A piece that grows past the limit takes
// the whole text past it at that moment.
ReplaceOutcome AdjustPiece(const CWAMatcher& matcher, const CLeadByteTable& leads, std::string_view piece,
                           std::string_view before, std::size_t nLimit, PieceWork& work, std::string& out,
                           std::size_t& nPeak)
{
    std::size_t nPiecePeak = piece.size();
    if (piece.size() <= kIndexedPieceBytes) {
        work.plain.Reset(piece);
        const ReplaceOutcome outcome = ApplyOccurring(matcher, leads, work.plain, work.pending, nPiecePeak);
        if (outcome == ReplaceOutcome::Replaced)
            out.append(before).append(work.plain.Text());
        nPeak += nPiecePeak - piece.size();
        return outcome;
    }
    CAdjustedText text{std::string(piece), leads, nLimit};
    const ReplaceOutcome outcome = ApplyOccurring(matcher, leads, text, work.pending, nPiecePeak);
    if (outcome == ReplaceOutcome::Replaced)
        out.append(before).append(text.Text());
    nPeak += nPiecePeak - piece.size();
    return outcome;
}

}  // namespace

bool AdjustText(const CWAMatcher& matcher, const CLeadByteTable& leads, std::string& text, std::size_t nMaxBytes)
{
    if (matcher.Empty() || text.empty())
        return true;
    const std::size_t nLimit = std::max(nMaxBytes, text.size());
    const auto* p = Bytes(text);
    const std::size_t nSize = text.size();
    const std::string_view source(text);
    // Built only once a piece changes: from then on it holds the text up to
    // nCopied as the pairs left it.
    std::string out;
    std::size_t nCopied = 0;
    // What the pieces reach at their largest, added up: the whole text never
    // grows past that at any moment.
    std::size_t nPeak = nSize;
    std::size_t nPiece = 0;
    PieceWork work{CPendingPairs(), CPlainText(leads, nLimit)};
    // Where the text's characters start, the walks of the one pass find the
    // pairs each piece holds; where a pair can shift characters, a piece is
    // searched at every byte once it is complete.
    const bool bByCharacter = matcher.WellFormed();
    auto piece = [&](std::size_t nEnd) {
        const std::string_view text = source.substr(nPiece, nEnd - nPiece);
        if (!bByCharacter)
            AddOccurring(matcher, text, work.pending);
        if (work.pending.Empty())
            return true;
        if (nCopied == 0 && out.capacity() < nSize)
            out.reserve(nSize + nSize / 8);
        const ReplaceOutcome outcome =
            AdjustPiece(matcher, leads, text, source.substr(nCopied, nPiece - nCopied), nLimit, work, out, nPeak);
        work.pending.Clear();
        if (outcome == ReplaceOutcome::Replaced)
            nCopied = nEnd;
        return outcome != ReplaceOutcome::TooLong;
    };
    if (bByCharacter) {
        auto found = [&](std::uint32_t nPair) { work.pending.Add(nPair); };
        auto cut = [&](std::size_t nFrom, std::size_t nTo) {
            nPiece = nFrom;
            return piece(nTo);
        };
        if (!matcher.ScanPieces(p, nSize, found, cut))
            return false;
    } else {
        for (std::size_t i = 0; i < nSize;) {
            const std::size_t nBytes = leads.IsLead(p[i]) && i + 1 < nSize ? 2 : 1;
            if (matcher.IsBarrier(p + i, nBytes)) {
                if (i > nPiece && !piece(i))
                    return false;
                nPiece = i + nBytes;
            }
            i += nBytes;
        }
        if (nSize > nPiece && !piece(nSize))
            return false;
    }
    const bool bChanged = nCopied != 0;
    if (bChanged)
        out.append(source.substr(nCopied));
    if (nPeak <= nLimit) {
        if (bChanged)
            text.swap(out);
        return true;
    }
    // The pieces together might have passed the limit at some moment: the
    // whole text through the pairs at once tells whether they really did.
    CPendingPairs pending;
    AddOccurring(matcher, text, pending);
    CAdjustedText whole(text, leads, nLimit);
    std::size_t nWholePeak = nSize;
    const ReplaceOutcome outcome = ApplyOccurring(matcher, leads, whole, pending, nWholePeak);
    if (outcome == ReplaceOutcome::TooLong)
        return false;
    if (outcome == ReplaceOutcome::Replaced)
        text = whole.Release();
    return true;
}
