// Which bytes open a double-byte character in one code page, and where the
// characters of a text start as that code page reads it.
#pragma once

#include <cstddef>
#include <string>

class CLeadByteTable {
public:
    explicit CLeadByteTable(unsigned nCodePage);

    unsigned CodePage() const { return m_nCodePage; }
    bool HasLeadBytes() const { return m_bHasLeadBytes; }
    bool IsLead(unsigned char chByte) const { return m_arrLead[chByte]; }

    // True when `nAt` (< text size) starts a character of `strText` read from
    // its start. `nKnown` is a character start at or before `nAt`; it moves
    // up to a start at or before `nAt` again, so a scan that asks about ever
    // later positions reads each byte of the text at most once.
    bool IsCharacterStart(const std::string& strText, std::size_t nAt, std::size_t& nKnown) const;

private:
    unsigned m_nCodePage;
    bool m_bHasLeadBytes = false;
    bool m_arrLead[256] = {};
};
