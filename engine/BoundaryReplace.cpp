#include "BoundaryReplace.h"

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
    // when an even number of them stand before it.
    std::size_t nRunStart = nAt;
    while (nRunStart > nKnown && m_arrLead[static_cast<unsigned char>(strText[nRunStart - 1])])
        --nRunStart;
    const bool bStart = (nAt - nRunStart) % 2 == 0;
    nKnown = bStart ? nAt : nAt - 1;
    return bStart;
}

ReplaceOutcome ReplaceAtBoundaries(const CLeadByteTable& leads, const std::string& strText,
                                   const std::string& strSource, const std::string& strTarget,
                                   std::size_t nMaxBytes, std::string& strOut,
                                   std::vector<std::size_t>& arrInsertedAt)
{
    arrInsertedAt.clear();
    if (strSource.empty())
        return ReplaceOutcome::Unchanged;
    std::size_t nCopied = 0;  // strText before this is in strOut
    std::size_t nKnown = 0;   // a character start at or before the next candidate
    for (std::size_t nFrom = 0;;) {
        const std::size_t nAt = strText.find(strSource, nFrom);
        if (nAt == std::string::npos)
            break;
        if (!leads.IsCharacterStart(strText, nAt, nKnown)) {
            nFrom = nAt + 1;
            continue;
        }
        if (arrInsertedAt.empty()) {
            strOut.clear();
            strOut.reserve(strText.size() + strTarget.size());
        }
        strOut.append(strText, nCopied, nAt - nCopied);
        arrInsertedAt.push_back(strOut.size());
        strOut += strTarget;
        if (strOut.size() > nMaxBytes)
            return ReplaceOutcome::TooLong;
        nCopied = nFrom = nAt + strSource.size();
    }
    if (arrInsertedAt.empty())
        return ReplaceOutcome::Unchanged;
    strOut.append(strText, nCopied, std::string::npos);
    return strOut.size() > nMaxBytes ? ReplaceOutcome::TooLong : ReplaceOutcome::Replaced;
}
