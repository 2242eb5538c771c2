// Replacing every occurrence of a byte string that starts at a character
// boundary of a multibyte text: one pair of a word-adjustment library.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Which bytes open a double-byte character in one code page, looked up
// without going through the code page each time.
class CLeadByteTable {
public:
    explicit CLeadByteTable(unsigned nCodePage);

    unsigned CodePage() const { return m_nCodePage; }
    bool HasLeadBytes() const { return m_bHasLeadBytes; }
    bool IsLead(unsigned char chByte) const { return m_arrLead[chByte]; }

    // True when `nAt` (< text size) starts a character of `strText` as read
    // from its start. `nKnown` is a character start at or before `nAt`; it
    // moves up to a start at or before `nAt` again, so a scan that asks
    // about ever later positions reads each byte of the text at most once.
    bool IsCharacterStart(const std::string& strText, std::size_t nAt, std::size_t& nKnown) const;

private:
    unsigned m_nCodePage;
    bool m_bHasLeadBytes = false;
    bool m_arrLead[256] = {};
};

enum class ReplaceOutcome {
    Unchanged,  // no occurrence: `strOut` is left as it was
    Replaced,   // `strOut` holds the new text
    TooLong,    // the new text would exceed the limit; `strOut` holds a part of it
};

// Scans `strText` from the left for `strSource` starting at character
// boundaries and replaces each occurrence by `strTarget`, going on behind it;
// the text inserted is not scanned again. `arrInsertedAt` receives the offset
// in `strOut` of each target inserted. An empty source never matches.
ReplaceOutcome ReplaceAtBoundaries(const CLeadByteTable& leads, const std::string& strText,
                                   const std::string& strSource, const std::string& strTarget,
                                   std::size_t nMaxBytes, std::string& strOut,
                                   std::vector<std::size_t>& arrInsertedAt);
