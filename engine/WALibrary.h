// One word-adjustment library: where it comes from, whether it takes part in
// transfers, and its phrase pairs in the order they are applied.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct WALibrary {
    std::string m_strTitle;        // user library: its "[T]" line; built-in: a fixed identifier
    std::string m_strDescription;  // user library: its comment lines; built-in: a fixed identifier
    std::string m_strPath;         // full path of the library file
    bool m_bBuiltIn = false;       // one of the six enciphered libraries
    bool m_bG2B = true;            // true: rewrites Big5 produced from GB; false: GB produced from Big5
    bool m_bApply = false;         // takes part in transfers
    // Pair i is m_arrSources[i] -> m_arrTargets[i], ascending in the byte
    // order of the source as the file wrote it; equal sources in file order.
    std::vector<std::string> m_arrSources;
    std::vector<std::string> m_arrTargets;

    // Number of complete pairs; a record whose arrays differ in length (built
    // by hand) never has the surplus entries of the longer one applied.
    std::size_t PairCount() const;
    void ClearPairs();
};
