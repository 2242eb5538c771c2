// Every applied pair of one direction's libraries in the order they apply,
// with an automaton over their sources (built once, when a list is complete)
// that finds in one pass over a text which pairs can occur in it at all.
//
// Besides the automaton it knows which characters of a text no source can
// cover: word adjustment never touches such a character, so the text between
// two of them is rewritten on its own (see AdjustedText.h).
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

    // Calls onPair(index) for each pair whose source occurs (byte for byte,
    // wherever it starts) wholly inside p[0, nBytes); a pair once for each
    // occurrence.
    template <typename OnPair>
    void Scan(const unsigned char* p, std::size_t nBytes, OnPair&& onPair) const
    {
        std::uint32_t nState = 0;
        for (std::size_t i = 0; i < nBytes; ++i) {
            nState = Next(nState, p[i]);
            for (std::uint32_t n = m_arrNodes[nState].m_nOutputs ? nState : m_arrNodes[nState].m_nDictionary;
                 n != kNone; n = m_arrNodes[n].m_nDictionary) {
                const Node& node = m_arrNodes[n];
                for (std::uint32_t k = node.m_nFirstOutput; k < node.m_nFirstOutput + node.m_nOutputs; ++k)
                    onPair(m_arrOutputs[k]);
            }
        }
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Pair {
        std::uint32_t m_nSource, m_nSourceBytes, m_nTarget, m_nTargetBytes;  // in m_strBytes
    };
    struct Node {
        std::uint32_t m_nFail = 0;
        std::uint32_t m_nDictionary = kNone;  // the nearest node with outputs along the fail links
        std::uint32_t m_nFirstEdge = 0;
        std::uint32_t m_nEdges = 0;
        std::uint32_t m_nDense = kNone;       // row of m_arrDense: the root, and nodes with many edges
        std::uint32_t m_nFirstOutput = 0;
        std::uint32_t m_nOutputs = 0;
    };
    struct Edge {
        unsigned char m_chByte;
        std::uint32_t m_nChild;
    };

    // The child along `chByte`, 0 for none (the root is nobody's child).
    std::uint32_t Child(std::uint32_t nState, unsigned char chByte) const;
    // The state after `chByte`: the child, else the fail links followed.
    std::uint32_t Next(std::uint32_t nState, unsigned char chByte) const
    {
        for (;;) {
            const Node& node = m_arrNodes[nState];
            if (node.m_nDense != kNone)
                return m_arrDense[std::size_t{node.m_nDense} * 256 + chByte];
            const std::uint32_t nChild = Child(nState, chByte);
            if (nChild != 0)
                return nChild;
            nState = node.m_nFail;
        }
    }
    void AddPair(const std::string& strSource, const std::string& strTarget, const CLeadByteTable& leads);
    void BuildAutomaton();
    void NoteCharacters(const std::string& strSource, const CLeadByteTable& leads);

    std::string m_strBytes;  // every source and target, one after the other
    std::vector<Pair> m_arrPairs;
    std::size_t m_nMaxSourceBytes = 0;
    std::vector<Node> m_arrNodes;  // node 0 is the root
    std::vector<Edge> m_arrEdges;
    std::vector<std::uint32_t> m_arrDense;  // 256 next states a row
    std::vector<std::uint32_t> m_arrOutputs;
    // A pair whose source or target ends in a lone lead byte can join bytes
    // of neighbouring characters into new ones; then only bytes that no
    // source holds anywhere stay certain barriers.
    bool m_bWellFormed = true;
    bool m_arrByteInSource[256] = {};
    bool m_arrSingleInSource[256] = {};
    std::vector<std::uint64_t> m_arrDoubleInSource = std::vector<std::uint64_t>(65536 / 64);
};
