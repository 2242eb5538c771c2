#include "WAMatcher.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Past this many edges a node's children are found by halving: a common
// character opens many phrases.
constexpr std::uint32_t kLinearEdges = 8;

// The string ends in a lead byte that stands alone when read from its start.
bool EndsInLoneLead(const std::string& strText, const CLeadByteTable& leads)
{
    std::size_t nLast = 0;
    for (std::size_t i = 0; i < strText.size();) {
        nLast = i;
        i += leads.IsLead(static_cast<unsigned char>(strText[i])) && i + 1 < strText.size() ? 2 : 1;
    }
    return !strText.empty() && nLast == strText.size() - 1 && leads.IsLead(static_cast<unsigned char>(strText.back()));
}

// Where the byte stands among `nCount` (at most kLinearEdges) edge bytes,
// nCount for nowhere. Eight bytes at once, without a branch on each, where
// the word's byte order is known: the edges' bytes are stored with room
// behind them to read a whole word.
std::uint32_t FindEdge(const unsigned char* pBytes, std::uint32_t nCount, unsigned char chByte)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    std::uint64_t nWord;
    std::memcpy(&nWord, pBytes, sizeof nWord);
    const std::uint64_t nDiffer = nWord ^ (kOnes * chByte);
    // The lowest byte flagged here is the lowest byte equal to chByte.
    const std::uint64_t nEqual = (nDiffer - kOnes) & ~nDiffer & kHighs;
    if (nEqual == 0)
        return nCount;
    return std::min(nCount, static_cast<std::uint32_t>(__builtin_ctzll(nEqual)) / 8);
#else
    std::uint32_t k = 0;
    while (k < nCount && pBytes[k] != chByte)
        ++k;
    return k;
#endif
}

struct NewEdge {
    std::uint32_t m_nParent, m_nChild;
    unsigned char m_chByte;
};

// The nodes numbered breadth first, each depth's nodes side by side: walks
// visit the first levels far the most, and so read fewer cache lines.
// Gives the new number of each node; a child's number stays above its parent's.
std::vector<std::uint32_t> BreadthFirstNumbers(const std::vector<NewEdge>& arrEdges, std::uint32_t nNodes)
{
    std::vector<std::uint32_t> arrFirst(nNodes + 1, 0), arrChildren(arrEdges.size());
    for (const NewEdge& edge : arrEdges)
        ++arrFirst[edge.m_nParent + 1];
    for (std::uint32_t n = 0; n < nNodes; ++n)
        arrFirst[n + 1] += arrFirst[n];
    std::vector<std::uint32_t> arrFill(arrFirst.begin(), arrFirst.end() - 1);
    for (const NewEdge& edge : arrEdges)
        arrChildren[arrFill[edge.m_nParent]++] = edge.m_nChild;
    std::vector<std::uint32_t> arrOrder(1, 0), arrNumber(nNodes, 0);
    arrOrder.reserve(nNodes);
    for (std::size_t q = 0; q < arrOrder.size(); ++q) {
        const std::uint32_t nNode = arrOrder[q];
        arrNumber[nNode] = static_cast<std::uint32_t>(q);
        arrOrder.insert(arrOrder.end(), arrChildren.begin() + arrFirst[nNode], arrChildren.begin() + arrFirst[nNode + 1]);
    }
    return arrNumber;
}

}  // namespace

CWAMatcher::CWAMatcher(const std::vector<std::unique_ptr<WALibrary>>& libraries, const CLeadByteTable& leads)
    : m_leads(leads)
{
    for (const std::unique_ptr<WALibrary>& library : libraries) {
        if (!library->m_bApply)
            continue;
        const std::size_t nPairs = library->PairCount();
        for (std::size_t j = 0; j < nPairs; ++j)
            AddPair(library->m_arrSources[j], library->m_arrTargets[j], leads);
    }
    BuildTrie();
    BuildTargetWalks();
}

void CWAMatcher::AddPair(const std::string& strSource, const std::string& strTarget, const CLeadByteTable& leads)
{
    // An empty source never matches; it stays in the numbering all the same.
    Pair pair;
    pair.m_nSource = static_cast<std::uint32_t>(m_strBytes.size());
    pair.m_nSourceBytes = static_cast<std::uint32_t>(strSource.size());
    m_strBytes += strSource;
    pair.m_nTarget = static_cast<std::uint32_t>(m_strBytes.size());
    pair.m_nTargetBytes = static_cast<std::uint32_t>(strTarget.size());
    m_strBytes += strTarget;
    m_arrPairs.push_back(pair);
    m_nMaxSourceBytes = std::max(m_nMaxSourceBytes, strSource.size());
    if (strSource.empty())
        return;
    m_bWellFormed = m_bWellFormed && !EndsInLoneLead(strSource, leads) && !EndsInLoneLead(strTarget, leads);
    NoteCharacters(strSource, leads);
}

void CWAMatcher::NoteCharacters(const std::string& strSource, const CLeadByteTable& leads)
{
    const auto* p = reinterpret_cast<const unsigned char*>(strSource.data());
    const std::size_t nSize = strSource.size();
    for (std::size_t i = 0; i < nSize; ++i)
        m_arrByteInSource[p[i]] = true;
    for (std::size_t i = 0; i < nSize;) {
        if (leads.IsLead(p[i]) && i + 1 < nSize) {
            const std::uint32_t n = static_cast<std::uint32_t>(p[i]) << 8 | p[i + 1];
            m_arrDoubleInSource[n / 64] |= std::uint64_t{1} << (n % 64);
            i += 2;
        } else {
            m_arrSingleInSource[p[i]] = true;
            ++i;
        }
    }
}

std::uint32_t CWAMatcher::Child(std::uint32_t nNode, unsigned char chByte) const
{
    std::uint32_t nEdge = m_arrNodes[nNode].m_nFirstEdge;
    std::uint32_t nEnd = m_arrNodes[nNode + 1].m_nFirstEdge;
    // Deep in the trie most nodes have one edge.
    if (nEnd - nEdge == 1)
        return m_arrEdgeBytes[nEdge] == chByte ? nEdge + 1 : 0;
    // Edges are in byte order: halve down to a few, then look at each.
    while (nEnd - nEdge > kLinearEdges) {
        const std::uint32_t nMiddle = nEdge + (nEnd - nEdge) / 2;
        if (m_arrEdgeBytes[nMiddle] <= chByte)
            nEdge = nMiddle;
        else
            nEnd = nMiddle;
    }
    // Numbered breadth first, the node behind edge e is node e + 1.
    const std::uint32_t nAt = FindEdge(m_arrEdgeBytes.data() + nEdge, nEnd - nEdge, chByte);
    return nAt < nEnd - nEdge ? nEdge + nAt + 1 : 0;
}

void CWAMatcher::BuildTrie()
{
    // The trie, one node per distinct prefix of a source, made from the
    // sources in byte order: each shares with the one before the path of
    // their common prefix, and the rest of it is new nodes.
    std::vector<std::uint32_t> arrOrder;
    arrOrder.reserve(m_arrPairs.size());
    for (std::uint32_t nPair = 0; nPair < m_arrPairs.size(); ++nPair) {
        if (m_arrPairs[nPair].m_nSourceBytes != 0)
            arrOrder.push_back(nPair);
    }
    // In unsigned byte order, as the prefixes must be; compared by hand, as
    // some platforms' memcmp goes a byte at a time behind a call.
    std::stable_sort(arrOrder.begin(), arrOrder.end(), [this](std::uint32_t a, std::uint32_t b) {
        const std::string_view x = Source(a), y = Source(b);
        const std::size_t nCommon = std::min(x.size(), y.size());
        for (std::size_t i = 0; i < nCommon; ++i) {
            if (x[i] != y[i])
                return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[i]);
        }
        return x.size() < y.size();
    });
    std::vector<NewEdge> arrNew;
    std::vector<std::uint32_t> arrEnds(m_arrPairs.size(), 0);  // the node where each source ends
    std::vector<std::uint32_t> arrPath(1, 0);                  // the nodes of the previous source
    std::string_view previous;
    std::uint32_t nNodes = 1;
    for (std::uint32_t nPair : arrOrder) {
        const std::string_view source = Source(nPair);
        std::size_t nCommon = 0;
        while (nCommon < source.size() && nCommon < previous.size() && source[nCommon] == previous[nCommon])
            ++nCommon;
        arrPath.resize(nCommon + 1);
        for (std::size_t d = nCommon; d < source.size(); ++d) {
            arrNew.push_back(NewEdge{arrPath.back(), nNodes, static_cast<unsigned char>(source[d])});
            arrPath.push_back(nNodes++);
        }
        arrEnds[nPair] = arrPath.back();
        previous = source;
    }
    const std::vector<std::uint32_t> arrNumber = BreadthFirstNumbers(arrNew, nNodes);
    for (NewEdge& edge : arrNew) {
        edge.m_nParent = arrNumber[edge.m_nParent];
        edge.m_nChild = arrNumber[edge.m_nChild];
    }
    for (std::uint32_t& nEnd : arrEnds)
        nEnd = arrNumber[nEnd];

    // Each node's edges and outputs run up to where the next node's begin:
    // one node more closes the last run.
    std::vector<std::uint32_t> arrEdges(nNodes + 1, 0), arrOutputs(nNodes + 1, 0);
    for (const NewEdge& edge : arrNew)
        ++arrEdges[edge.m_nParent];
    for (std::uint32_t nPair = 0; nPair < m_arrPairs.size(); ++nPair)
        arrOutputs[arrEnds[nPair]] += arrEnds[nPair] != 0 ? 1 : 0;
    m_arrNodes.assign(nNodes + 1, Node{});
    std::uint32_t nFirstEdge = 0, nFirstOutput = 0;
    for (std::uint32_t n = 0; n <= nNodes; ++n) {
        m_arrNodes[n].m_nFirstEdge = nFirstEdge;
        m_arrNodes[n].m_nFirstOutput = nFirstOutput;
        nFirstEdge += arrEdges[n];
        nFirstOutput += arrOutputs[n];
        arrOutputs[n] = 0;
    }
    // Breadth first, the children of each node follow those of the node
    // before, in byte order as the sources were: edge e leads to node e + 1,
    // and only its byte is kept.
    m_arrEdgeBytes.resize(arrNew.size() + kLinearEdges);
    for (const NewEdge& edge : arrNew)
        m_arrEdgeBytes[edge.m_nChild - 1] = edge.m_chByte;

    // Outputs: the pairs ending at each node, ascending.
    m_arrOutputs.resize(nFirstOutput);
    for (std::uint32_t nPair = 0; nPair < m_arrPairs.size(); ++nPair) {
        if (arrEnds[nPair] != 0)
            m_arrOutputs[m_arrNodes[arrEnds[nPair]].m_nFirstOutput + arrOutputs[arrEnds[nPair]]++] = nPair;
    }

    // The longest source through each node: children come after their
    // parents, so from the last edge back every child is complete first.
    // The same for the highest pair.
    for (std::uint32_t nPair = 0; nPair < m_arrPairs.size(); ++nPair) {
        Node& node = m_arrNodes[arrEnds[nPair]];
        node.m_nLongest = std::max(node.m_nLongest, m_arrPairs[nPair].m_nSourceBytes);
        node.m_nLastPair = std::max(node.m_nLastPair, nPair);
    }
    for (auto edge = arrNew.rbegin(); edge != arrNew.rend(); ++edge) {
        Node& parent = m_arrNodes[edge->m_nParent];
        const Node& child = m_arrNodes[edge->m_nChild];
        parent.m_nLongest = std::max(parent.m_nLongest, child.m_nLongest);
        parent.m_nLastPair = std::max(parent.m_nLastPair, child.m_nLastPair);
    }
    arrNew = {};

    // The first two bytes of every walk in one step each.
    for (unsigned b = 0; b < 256; ++b) {
        m_arrFirst[b] = Child(0, static_cast<unsigned char>(b));
        m_arrOneByteSource[b] = m_arrFirst[b] != 0 && m_arrNodes[m_arrFirst[b]].m_nFirstOutput != m_arrNodes[m_arrFirst[b] + 1].m_nFirstOutput;
    }
    for (unsigned b = 0; b < 256; ++b) {
        if (m_arrFirst[b] == 0)
            continue;
        const std::uint32_t nFirst = m_arrFirst[b];
        for (std::uint32_t e = m_arrNodes[nFirst].m_nFirstEdge; e < m_arrNodes[nFirst + 1].m_nFirstEdge; ++e) {
            const bool bEnds = m_arrNodes[e + 1].m_nFirstOutput != m_arrNodes[e + 2].m_nFirstOutput;
            m_arrFirstTwo[std::size_t{b} << 8 | m_arrEdgeBytes[e]] = (e + 1) | (bEnds ? kEndsAtTwo : 0);
        }
    }
    for (std::uint32_t n = 0; n < 65536; ++n) {
        if ((m_arrDoubleInSource[n / 64] >> (n % 64)) & 1)
            m_arrFirstTwo[n] |= kInSource;
    }
    for (std::uint32_t nPair = 0; nPair < m_arrPairs.size(); ++nPair) {
        const std::string_view source = Source(nPair);
        if (source.size() == 3)
            m_bThreeByteSource = true;
        if (source.size() < 4)
            continue;
        const std::uint32_t nBit = FourByteBit(reinterpret_cast<const unsigned char*>(source.data()));
        m_arrFourBytePrefixes[nBit >> 6] |= std::uint64_t{1} << (nBit & 63);
    }
    BuildFourByteNodes();
}

void CWAMatcher::BuildTargetWalks()
{
    m_arrInsideFirst.assign(1, 0);
    m_arrGoOnFirst.assign(1, 0);
    if (!m_bWellFormed)
        return;
    m_arrInsideFirst.reserve(m_arrPairs.size() + 1);
    m_arrGoOnFirst.reserve(m_arrPairs.size() + 1);
    for (std::uint32_t nPair = 0; nPair < m_arrPairs.size(); ++nPair) {
        const std::string_view target = Target(nPair);
        const auto* p = reinterpret_cast<const unsigned char*>(target.data());
        const Wanted wanted{0, nPair + 1};
        for (std::size_t j = 0; j < target.size();) {
            std::uint32_t nNode = 0;
            std::size_t i = j;
            while (i < target.size()) {
                nNode = nNode == 0 ? m_arrFirst[p[i]] : Child(nNode, p[i]);
                ++i;
                if (nNode == 0 || !wanted.Beyond(m_arrNodes[nNode]))
                    break;
                for (std::uint32_t k = m_arrNodes[nNode].m_nFirstOutput; k < m_arrNodes[nNode + 1].m_nFirstOutput; ++k) {
                    if (m_arrOutputs[k] > nPair)
                        m_arrInside.push_back(m_arrOutputs[k]);
                }
            }
            if (i == target.size() && nNode != 0 && wanted.Beyond(m_arrNodes[nNode]))
                m_arrGoOn.push_back(nNode);
            j += m_leads.IsLead(p[j]) && j + 1 < target.size() ? 2 : 1;
        }
        m_arrInsideFirst.push_back(static_cast<std::uint32_t>(m_arrInside.size()));
        m_arrGoOnFirst.push_back(static_cast<std::uint32_t>(m_arrGoOn.size()));
    }
}

void CWAMatcher::BuildFourByteNodes()
{
    // The nodes at depth four are the children of the nodes after the
    // first two bytes: at most one slot in two is taken.
    std::vector<FourByteSlot> arrPrefixes;
    for (std::uint32_t n = 0; n < 65536; ++n) {
        const std::uint32_t nSecond = m_arrFirstTwo[n] & kNodeBits;
        if (nSecond == 0)
            continue;
        for (std::uint32_t e = m_arrNodes[nSecond].m_nFirstEdge; e < m_arrNodes[nSecond + 1].m_nFirstEdge; ++e) {
            const std::uint32_t nThird = e + 1;
            for (std::uint32_t f = m_arrNodes[nThird].m_nFirstEdge; f < m_arrNodes[nThird + 1].m_nFirstEdge; ++f) {
                const unsigned char bytes[4] = {static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n),
                                                m_arrEdgeBytes[e], m_arrEdgeBytes[f]};
                arrPrefixes.push_back(FourByteSlot{FourByteWord(bytes), f + 1});
            }
        }
    }
    m_nFourByteSlotBits = 1;
    while ((std::size_t{1} << m_nFourByteSlotBits) < 2 * arrPrefixes.size() + 1)
        ++m_nFourByteSlotBits;
    m_nFourByteSlotMask = (std::uint32_t{1} << m_nFourByteSlotBits) - 1;
    m_arrFourByteNodes.assign(std::size_t{1} << m_nFourByteSlotBits, FourByteSlot{});
    for (const FourByteSlot& prefix : arrPrefixes) {
        std::uint32_t nSlot = FourByteHash(prefix.m_nKey, m_nFourByteSlotBits);
        while (m_arrFourByteNodes[nSlot].m_nNode != 0)
            nSlot = (nSlot + 1) & m_nFourByteSlotMask;
        m_arrFourByteNodes[nSlot] = prefix;
    }
}
