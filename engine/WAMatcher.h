// Every applied pair of one direction's libraries in the order they apply,
// with a trie over their sources (built once, when a list is complete) that
// finds in one pass over a text which pairs can occur in it at all.
//
// A pair can only match where a character starts, so the trie is walked
// from each character start rather than run as an automaton over every byte:
// real text fails to extend a source within a character or two, and the
// walk needs no failure links to chase. The first two bytes of a walk come
// from one table, as the first character fans out widest, and the node after
// four from a hashed one, so that a walk of a two-character source reads no
// wide node at all. Where a pair has written its target, the walks from the
// target's own characters are known from the trie alone: they are worked
// out once, and only those that reach the target's end go on at a call.
//
// Besides the trie it knows which characters of a text no source can cover:
// word adjustment never touches such a character, so the text between two
// of them is rewritten on its own (see AdjustedText.h).
#pragma once

#include "LeadByteTable.h"
#include "WALibrary.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CWAMatcher {
public:
    // The pairs of the libraries whose m_bApply is set, in list order; `leads`
    // tells the characters of the direction's text apart.
    CWAMatcher(const std::vector<std::unique_ptr<WALibrary>>& libraries, const CLeadByteTable& leads);

    std::size_t PairCount() const { return m_arrPairs.size(); }
    bool Empty() const { return m_arrPairs.empty(); }
    std::string_view Source(std::uint32_t nPair) const
    {
        return std::string_view(m_strBytes).substr(m_arrPairs[nPair].m_nSource, m_arrPairs[nPair].m_nSourceBytes);
    }
    std::string_view Target(std::uint32_t nPair) const
    {
        return std::string_view(m_strBytes).substr(m_arrPairs[nPair].m_nTarget, m_arrPairs[nPair].m_nTargetBytes);
    }
    std::size_t MaxSourceBytes() const { return m_nMaxSourceBytes; }

    // True when the character of `nBytes` bytes at `p` (1 or 2, as the text
    // reads from its start) can never be part of an occurrence: no source
    // holds it, and no pair can shift the characters of the text.
    bool IsBarrier(const unsigned char* p, std::size_t nBytes) const
    {
        if (nBytes == 1)
            return !m_arrByteInSource[p[0]] || (m_bWellFormed && !m_arrSingleInSource[p[0]]);
        const std::uint32_t n = std::uint32_t{p[0]} << 8 | p[1];
        return m_bWellFormed && !((m_arrDoubleInSource[n / 64] >> (n % 64)) & 1);
    }
    // False when a pair can shift the characters of a text: then a source
    // may come to start at any byte, not only where a character starts.
    bool WellFormed() const { return m_bWellFormed; }

    // One pass over a text read from its start, for a matcher whose pairs
    // keep characters where they are (WellFormed): cuts it into pieces at
    // the barriers and calls onPair(index) for each occurrence of a source
    // at a character start, then onPiece(nFrom, nTo) at the end of each
    // piece, after the occurrences it holds. Stops when onPiece returns
    // false, and returns false then.
    template <typename OnPair, typename OnPiece>
    bool ScanPieces(const unsigned char* p, std::size_t nBytes, OnPair&& onPair, OnPiece&& onPiece) const
    {
        const EveryPair wanted;
        const std::uint32_t* pFirstTwo = m_arrFirstTwo.data();
        const bool bThreeByteSource = m_bThreeByteSource;
        std::size_t nPiece = 0;
        for (std::size_t i = 0; i < nBytes;) {
            if (!m_leads.IsLead(p[i]) || i + 1 == nBytes) {
                if (!m_arrSingleInSource[p[i]]) {
                    if (i > nPiece && !onPiece(nPiece, i))
                        return false;
                    nPiece = i + 1;
                } else {
                    Walk(p + i, nBytes - i, wanted, onPair);
                }
                ++i;
                continue;
            }
            const std::uint32_t nEntry = pFirstTwo[std::size_t{p[i]} << 8 | p[i + 1]];
            if ((nEntry & kInSource) == 0) {
                if (i > nPiece && !onPiece(nPiece, i))
                    return false;
                nPiece = i + 2;
            } else {
                // MayBeLonger, with the flag in a local.
                const bool bLonger = bThreeByteSource || (i + 4 <= nBytes && FourBytePrefix(p + i));
                WalkOn(p + i, nBytes - i, nEntry, bLonger, wanted, onPair);
            }
            i += 2;
        }
        return nBytes <= nPiece || onPiece(nPiece, nBytes);
    }

    // Calls onPair(index) for each pair from nFirstPair on whose source
    // occurs wholly inside p[0, nBytes) starting at a position of [nFrom, nTo)
    // and ending behind nAfter: at each character start, as the text reads
    // from `nFrom`, which must be one; at every byte when a pair can shift the
    // characters of a text, as then a source may come to start where no
    // character started before. A pair once for each occurrence.
    template <typename OnPair>
    void Scan(const unsigned char* p, std::size_t nBytes, std::size_t nFrom, std::size_t nTo, std::size_t nAfter,
              std::uint32_t nFirstPair, OnPair&& onPair) const
    {
        for (std::size_t i = nFrom; i < nTo && i < nBytes;) {
            Walk(p + i, nBytes - i, Wanted{nAfter > i ? nAfter - i : 0, nFirstPair}, onPair);
            i += m_bWellFormed && m_leads.IsLead(p[i]) && i + 1 < nBytes ? 2 : 1;
        }
    }
    template <typename OnPair>
    void Scan(const unsigned char* p, std::size_t nBytes, OnPair&& onPair) const
    {
        Scan(p, nBytes, 0, nBytes, 0, 0, onPair);
    }

    // After pair nPair has written its target at p, with p[0, nBytes) the
    // text from there on: calls onPair for each later pair whose source
    // starts inside the target. Where a source lies wholly inside, and how
    // far into the trie the walks from the target's characters get, was
    // worked out when the trie was built; only walks that reach the
    // target's end go on, into the text behind it. Only for a matcher whose
    // pairs keep characters where they are (WellFormed).
    template <typename OnPair>
    void ScanTarget(std::uint32_t nPair, const unsigned char* p, std::size_t nBytes, OnPair&& onPair) const
    {
        for (std::uint32_t k = m_arrInsideFirst[nPair]; k < m_arrInsideFirst[nPair + 1]; ++k)
            onPair(m_arrInside[k]);
        const std::size_t nTarget = m_arrPairs[nPair].m_nTargetBytes;
        const Wanted wanted{0, nPair + 1};
        for (std::uint32_t k = m_arrGoOnFirst[nPair]; k < m_arrGoOnFirst[nPair + 1]; ++k)
            GoOn(m_arrGoOn[k], p + nTarget, nBytes - nTarget, wanted, onPair);
    }

private:
    struct Pair {
        std::uint32_t m_nSource, m_nSourceBytes, m_nTarget, m_nTargetBytes;  // in m_strBytes
    };
    // A node's edges and outputs run up to the next node's: the last node
    // is an extra one that only closes the runs.
    struct Node {
        std::uint32_t m_nFirstEdge = 0;
        std::uint32_t m_nFirstOutput = 0;
        std::uint32_t m_nLongest = 0;   // bytes of the longest source through the node
        std::uint32_t m_nLastPair = 0;  // the highest pair whose source passes through it
    };

    // The child along `chByte`, 0 for none (the root is nobody's child).
    std::uint32_t Child(std::uint32_t nNode, unsigned char chByte) const;

    // What a walk reports: sources longer than m_nShortest bytes, pairs
    // from m_nFirstPair on.
    struct Wanted {
        std::size_t m_nShortest;
        std::uint32_t m_nFirstPair;
        bool Beyond(const Node& node) const
        {
            return node.m_nLongest > m_nShortest && node.m_nLastPair >= m_nFirstPair;
        }
    };
    // Every source, from every pair: what the first pass over a text wants,
    // for which no node need say whether a walk should go on.
    struct EveryPair {
        static constexpr std::size_t m_nShortest = 0;
        static constexpr std::uint32_t m_nFirstPair = 0;
        static constexpr bool Beyond(const Node&) { return true; }
    };

    // The wanted sources that are prefixes of p[0, nBytes), shortest first.
    // Most walks of real text end after the first character: that answer
    // comes from the small table of four-byte prefixes, read beside the
    // first-two-bytes table, before any node is read. This much is made a
    // part of every scan's loop; the rest of a walk is not.
    template <typename Want, typename OnPair>
    [[gnu::always_inline]] void Walk(const unsigned char* p, std::size_t nBytes, const Want& wanted,
                                     OnPair& onPair) const
    {
        // One-byte sources are rare: their bytes are marked, so that a walk
        // reads no node of the first level.
        if (m_arrOneByteSource[p[0]])
            Report(m_arrFirst[p[0]], 1, wanted, onPair);
        if (nBytes < 2)
            return;
        const bool bLonger = MayBeLonger(p, nBytes);
        WalkOn(p, nBytes, m_arrFirstTwo[std::size_t{p[0]} << 8 | p[1]], bLonger, wanted, onPair);
    }
    // The walk past the first two bytes, whose entry of m_arrFirstTwo is
    // nEntry; bLonger as MayBeLonger answers.
    template <typename Want, typename OnPair>
    [[gnu::always_inline]] void WalkOn(const unsigned char* p, std::size_t nBytes, std::uint32_t nEntry, bool bLonger,
                                       const Want& wanted, OnPair& onPair) const
    {
        if ((nEntry & kEndsAtTwo) != 0)
            ReportAtTwo(nEntry & kNodeBits, wanted, onPair);
        if (bLonger && (nEntry & kNodeBits) != 0)
            Descend(p, nBytes, nEntry & kNodeBits, wanted, onPair);
    }
    template <typename Want, typename OnPair>
    void ReportAtTwo(std::uint32_t nNode, const Want& wanted, OnPair& onPair) const
    {
        if (wanted.Beyond(m_arrNodes[nNode]))
            Report(nNode, 2, wanted, onPair);
    }
    // A walk on from a node, over p[0, nBytes).
    template <typename OnPair>
    void GoOn(std::uint32_t nNode, const unsigned char* p, std::size_t nBytes, const Wanted& wanted,
              OnPair& onPair) const
    {
        for (std::size_t i = 0; i < nBytes;) {
            nNode = Child(nNode, p[i++]);
            if (nNode == 0 || !wanted.Beyond(m_arrNodes[nNode]))
                return;
            Report(nNode, wanted.m_nShortest + 1, wanted, onPair);
        }
    }
    // The walk on from the node after the first two bytes. Without
    // three-byte sources the node after four comes from one table: a walk
    // that gets this far has passed a wide node.
    template <typename Want, typename OnPair>
    void Descend(const unsigned char* p, std::size_t nBytes, std::uint32_t nNode, const Want& wanted,
                 OnPair& onPair) const
    {
        std::size_t i = 2;
        if (!m_bThreeByteSource) {
            nNode = FourByteNode(p);
            i = 4;
            if (nNode == 0 || !wanted.Beyond(m_arrNodes[nNode]))
                return;
            Report(nNode, i, wanted, onPair);
        } else if (!wanted.Beyond(m_arrNodes[nNode])) {
            return;
        }
        while (i < nBytes) {
            nNode = Child(nNode, p[i++]);
            if (nNode == 0 || !wanted.Beyond(m_arrNodes[nNode]))
                return;
            Report(nNode, i, wanted, onPair);
        }
    }
    // The node after the four bytes at p, 0 for none.
    std::uint32_t FourByteNode(const unsigned char* p) const
    {
        const std::uint32_t nKey = FourByteWord(p);
        for (std::uint32_t nSlot = FourByteHash(nKey, m_nFourByteSlotBits);; nSlot = (nSlot + 1) & m_nFourByteSlotMask) {
            const FourByteSlot& slot = m_arrFourByteNodes[nSlot];
            if (slot.m_nNode == 0 || slot.m_nKey == nKey)
                return slot.m_nNode;
        }
    }
    // False when no source longer than two bytes can start at p: most walks
    // of real text end after the first character, and this answer comes
    // from a small table instead of two or three reads deep in the trie.
    bool MayBeLonger(const unsigned char* p, std::size_t nBytes) const
    {
        if (m_bThreeByteSource)
            return true;
        return nBytes >= 4 && FourBytePrefix(p);
    }
    // The first four bytes of a longer source may be p[0, 4).
    bool FourBytePrefix(const unsigned char* p) const
    {
        const std::uint32_t nBit = FourByteBit(p);
        return (m_arrFourBytePrefixes[nBit >> 6] >> (nBit & 63) & 1) != 0;
    }
    static std::uint32_t FourByteWord(const unsigned char* p)
    {
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    }
    static std::uint32_t FourByteHash(std::uint32_t nWord, int nBits) { return (nWord * 0x9E3779B1u) >> (32 - nBits); }
    static std::uint32_t FourByteBit(const unsigned char* p) { return FourByteHash(FourByteWord(p), kFourByteBits); }
    template <typename Want, typename OnPair>
    void Report(std::uint32_t nNode, std::size_t nDepth, const Want& wanted, OnPair& onPair) const
    {
        if (nDepth <= wanted.m_nShortest)
            return;
        for (std::uint32_t k = m_arrNodes[nNode].m_nFirstOutput; k < m_arrNodes[nNode + 1].m_nFirstOutput; ++k) {
            if (m_arrOutputs[k] >= wanted.m_nFirstPair)
                onPair(m_arrOutputs[k]);
        }
    }

    void AddPair(const std::string& strSource, const std::string& strTarget, const CLeadByteTable& leads);
    void BuildTrie();
    void BuildTargetWalks();
    void BuildFourByteNodes();
    void NoteCharacters(const std::string& strSource, const CLeadByteTable& leads);

    std::string m_strBytes;  // every source and target, one after the other
    std::vector<Pair> m_arrPairs;
    std::size_t m_nMaxSourceBytes = 0;
    std::vector<Node> m_arrNodes;  // node 0 is the root; one more closes the last
    // The bytes of each node's edges together, in byte order; the nodes are
    // numbered so that edge e leads to node e + 1.
    std::vector<unsigned char> m_arrEdgeBytes;
    std::vector<std::uint32_t> m_arrOutputs;
    std::uint32_t m_arrFirst[256] = {};  // the root's children
    bool m_arrOneByteSource[256] = {};   // the child is where a source ends
    // The first four bytes of every longer source, hashed into a bit each
    // (a set bit may be another's: it only ever lets a walk go on).
    static constexpr int kFourByteBits = 19;
    std::vector<std::uint64_t> m_arrFourBytePrefixes = std::vector<std::uint64_t>((1u << kFourByteBits) / 64);
    bool m_bThreeByteSource = false;  // then the table cannot tell
    // The node after each such prefix, by open addressing on the same hash:
    // a slot of node 0 is empty.
    struct FourByteSlot {
        std::uint32_t m_nKey = 0;
        std::uint32_t m_nNode = 0;
    };
    std::vector<FourByteSlot> m_arrFourByteNodes = std::vector<FourByteSlot>(1);
    int m_nFourByteSlotBits = 1;
    std::uint32_t m_nFourByteSlotMask = 0;
    // Their children, by both bytes, with kEndsAtTwo set where a source ends
    // and kInSource where the two bytes are a character some source holds.
    static constexpr std::uint32_t kEndsAtTwo = 0x80000000u, kInSource = 0x40000000u, kNodeBits = 0x3FFFFFFFu;
    std::vector<std::uint32_t> m_arrFirstTwo = std::vector<std::uint32_t>(65536);
    // For each pair, from m_arr...First[pair] to m_arr...First[pair + 1]:
    // the later pairs whose source lies inside its target, and the nodes
    // that walks from the target's characters reach at its end.
    std::vector<std::uint32_t> m_arrInsideFirst, m_arrInside, m_arrGoOnFirst, m_arrGoOn;
    CLeadByteTable m_leads;
    // A pair whose source or target ends in a lone lead byte can join bytes
    // of neighbouring characters into new ones; then only bytes that no
    // source holds anywhere stay certain barriers.
    bool m_bWellFormed = true;
    bool m_arrByteInSource[256] = {};
    bool m_arrSingleInSource[256] = {};
    std::vector<std::uint64_t> m_arrDoubleInSource = std::vector<std::uint64_t>(65536 / 64);
};
