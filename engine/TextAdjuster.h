// One word-adjustment call: the pairs of a direction applied to a text with
// exactly the result of every pair replacing in turn over the whole text,
// at the cost of the pairs that occur in it.
//
// The text is cut at the characters no source holds (CWAMatcher::IsBarrier):
// nothing ever covers or shifts them, so each piece between two of them goes
// through the pairs on its own. In a piece, the trie names the pairs
// whose source occurs; they replace in their order, and behind each
// replacement only the bytes around what it wrote are searched again for the
// later pairs it may have made occur.
#pragma once

#include "LeadByteTable.h"
#include "WAMatcher.h"

#include <cstddef>
#include <string>

// Rewrites `text` in place. If the text would at some point grow past
// max(nMaxBytes, its size on entry), it is left as it came and false returned.
bool AdjustText(const CWAMatcher& matcher, const CLeadByteTable& leads, std::string& text, std::size_t nMaxBytes);
