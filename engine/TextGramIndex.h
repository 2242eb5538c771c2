// Which short byte strings may occur in a text: a quick "certainly not" for
// most pairs of a word-adjustment library before a scan of the text.
//
// Single bytes and two-byte strings are recorded exactly, four-byte strings
// in a two-probe bit filter. The index may claim more than the text holds
// (what a replacement removed stays recorded, the filter has false hits) but
// never less, so a source it rules out cannot match.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CTextGramIndex {
public:
    explicit CTextGramIndex(const std::string& strText) { Build(strText); }

    // Forgets everything and records every string of `strText`; the filter
    // is sized for its length.
    void Build(const std::string& strText);
    // Records the strings that start at offsets [nFrom, nTo) of `strText`.
    void Add(const std::string& strText, std::size_t nFrom, std::size_t nTo);
    // False when `strSource` certainly does not occur in the recorded text.
    bool MayContain(std::string_view strSource) const;

private:
    static bool Test(const std::vector<std::uint64_t>& bits, std::uint32_t n);
    static void Set(std::vector<std::uint64_t>& bits, std::uint32_t n);
    bool MayContainQuad(const unsigned char* p) const;

    std::vector<std::uint64_t> m_arrBytes = std::vector<std::uint64_t>(256 / 64);
    std::vector<std::uint64_t> m_arrPairs = std::vector<std::uint64_t>(65536 / 64);
    std::vector<std::uint64_t> m_arrQuads;
    unsigned m_nQuadShift = 0;
};
