#include "LeadByteTable.h"

#include "DbcsText.h"

CLeadByteTable::CLeadByteTable(unsigned nCodePage) : m_nCodePage(nCodePage)
{
    for (unsigned b = 0; b < 256; ++b) {
        m_arrLead[b] = IsDbcsLeadByte(nCodePage, static_cast<unsigned char>(b));
        m_bHasLeadBytes = m_bHasLeadBytes || m_arrLead[b];
    }
}

bool CLeadByteTable::IsCharacterStart(const std::string& strText, std::size_t nAt, std::size_t& nKnown) const
{
    if (!m_bHasLeadBytes)
        return true;
    // The byte behind a non-lead byte starts a character, whether that byte
    // was a character of its own or the second of a pair. From the nearest
    // such start (or the known one) lead bytes pair up, so `nAt` is a start
    // when an even number of them stand before it. A lead byte as the very
    // last byte stands alone, which cannot matter here: `nAt` lies behind it.
    std::size_t nRunStart = nAt;
    while (nRunStart > nKnown && m_arrLead[static_cast<unsigned char>(strText[nRunStart - 1])])
        --nRunStart;
    const bool bStart = (nAt - nRunStart) % 2 == 0;
    nKnown = bStart ? nAt : nAt - 1;
    return bStart;
}
