// Every applied pair of one direction's libraries in the order they apply,
// with a trie over their sources (built once, when a list is complete) that
// finds in one pass over a text which pairs can occur in it at all.
//
// A pair can only match where a character starts, so the trie is walked
// from each character start rather than run as an automaton over every byte:
// real text fails to extend a source within a character or two, and the
// walk needs no failure links to chase. The first two bytes of a walk come
// from one table, as the first character fans out widest.
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
    std::string_view Source(std::uint32_t nPair) const;
    std::string_view Target(std::uint32_t nPair) const;
    std::size_t MaxSourceBytes() const { return m_nMaxSourceBytes; }

    // True when the character of `nBytes` bytes at `p` (1 or 2, as the text
    // reads from its start) can never be part of an occurrence: no source
    // holds it, and no pair can shift the characters of the text.
    bool IsBarrier(const unsigned char* p, std::size_t nBytes) const;

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

    // The wanted sources that are prefixes of p[0, nBytes), shortest first.
    template <typename OnPair>
    void Walk(const unsigned char* p, std::size_t nBytes, const Wanted& wanted, OnPair& onPair) const
    {
        // One-byte sources are rare: their bytes are marked, so that a walk
        // reads no node of the first level.
        if (m_arrOneByteSource[p[0]])
            Report(m_arrFirst[p[0]], 1, wanted, onPair);
        if (nBytes < 2)
            return;
        std::uint32_t nNode = m_arrFirstTwo[std::size_t{p[0]} << 8 | p[1]];
        for (std::size_t i = 2; nNode != 0 && wanted.Beyond(m_arrNodes[nNode]); ++i) {
            Report(nNode, i, wanted, onPair);
            if (i == nBytes || (i == 2 && !MayBeLonger(p, nBytes)))
                return;
            nNode = Child(nNode, p[i]);
        }
    }
    // False when no source longer than two bytes can start at p: most walks
    // of real text end after the first character, and this answer comes
    // from a small table instead of two or three reads deep in the trie.
    bool MayBeLonger(const unsigned char* p, std::size_t nBytes) const
    {
        if (m_bThreeByteSource)
            return true;
        if (nBytes < 4)
            return false;
        const std::uint32_t nBit = FourByteBit(p);
        return (m_arrFourBytePrefixes[nBit >> 6] >> (nBit & 63) & 1) != 0;
    }
    static std::uint32_t FourByteBit(const unsigned char* p)
    {
        const std::uint32_t nWord = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                    std::uint32_t{p[3]} << 24;
        return (nWord * 0x9E3779B1u) >> (32 - kFourByteBits);
    }
    template <typename OnPair>
    void Report(std::uint32_t nNode, std::size_t nDepth, const Wanted& wanted, OnPair& onPair) const
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
    std::vector<std::uint32_t> m_arrFirstTwo = std::vector<std::uint32_t>(65536);  // their children, by both bytes
    CLeadByteTable m_leads;
    // A pair whose source or target ends in a lone lead byte can join bytes
    // of neighbouring characters into new ones; then only bytes that no
    // source holds anywhere stay certain barriers.
    bool m_bWellFormed = true;
    bool m_arrByteInSource[256] = {};
    bool m_arrSingleInSource[256] = {};
    std::vector<std::uint64_t> m_arrDoubleInSource = std::vector<std::uint64_t>(65536 / 64);
};
