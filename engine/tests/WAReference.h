// The word-adjustment rules in their plainest form, to hold the engine's
// fast forms against: pairs stored one by one by walking back through the
// stored ones, and one comparison at every character of the text for every
// pair. Shared by the tests, the fuzz target and the benchmark.
#pragma once

#include "DbcsText.h"
#include "WALibrary.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace wa_reference {

// A library's pairs as the file wrote them, in file order.
struct WrittenPair {
    std::string written;  // the source before the comma token is replaced
    std::string source;
    std::string target;
};

// Stores each pair behind the last stored one whose source (as written) is
// not greater than its own, searching from the back; at the front if none is.
inline void StoreOneByOne(const std::vector<WrittenPair>& pairs, WALibrary& lib)
{
    std::vector<std::string> written;
    lib.ClearPairs();
    for (const WrittenPair& pair : pairs) {
        std::size_t at = written.size();
        while (at > 0 && !(written[at - 1] <= pair.written))
            --at;
        written.insert(written.begin() + static_cast<std::ptrdiff_t>(at), pair.written);
        lib.m_arrSources.insert(lib.m_arrSources.begin() + static_cast<std::ptrdiff_t>(at), pair.source);
        lib.m_arrTargets.insert(lib.m_arrTargets.begin() + static_cast<std::ptrdiff_t>(at), pair.target);
    }
}

// One pair over the whole text: walks the characters from the start and
// replaces at each one where the source matches and no earlier match covers it.
inline void ReplaceOnePair(std::string& text, const std::string& source, const std::string& target,
                           unsigned codePage)
{
    if (source.empty())
        return;
    std::string out;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < text.size();) {
        const bool pair = IsDbcsLeadByte(codePage, static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        if (i >= copied && text.compare(i, source.size(), source) == 0) {
            out.append(text, copied, i - copied);
            out += target;
            copied = i + source.size();
        }
        i += pair ? 2 : 1;
    }
    out.append(text, std::min(copied, text.size()), std::string::npos);
    text.swap(out);
}

// Every applied library in list order, every pair in order. A text that
// grows past max(maxBytes, its size on entry) is given back as it came.
inline void Apply(const std::vector<std::unique_ptr<WALibrary>>& libraries, std::string& text, unsigned codePage,
                  std::size_t maxBytes)
{
    const std::string original = text;
    const std::size_t limit = std::max(maxBytes, text.size());
    for (const auto& lib : libraries) {
        if (!lib->m_bApply)
            continue;
        const std::size_t pairs = std::min(lib->m_arrSources.size(), lib->m_arrTargets.size());
        for (std::size_t j = 0; j < pairs; ++j) {
            ReplaceOnePair(text, lib->m_arrSources[j], lib->m_arrTargets[j], codePage);
            if (text.size() > limit) {
                text = original;
                return;
            }
        }
    }
}

}  // namespace wa_reference
