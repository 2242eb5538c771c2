#include "UpdateSignature.h"

#include "HexText.h"

bool SplitSignedUpdateText(const std::string& strText, std::size_t nSignatureBytes, CSignedUpdateText& signedText)
{
    std::size_t nEnd = strText.size();
    if (nEnd > 0 && strText[nEnd - 1] == '\n')
        --nEnd;
    if (nEnd > 0 && strText[nEnd - 1] == '\r')
        --nEnd;
    const std::size_t nBreak = nEnd == 0 ? std::string::npos : strText.rfind('\n', nEnd - 1);
    const std::size_t nLineStart = nBreak == std::string::npos ? 0 : nBreak + 1;
    const std::string strLine = strText.substr(nLineStart, nEnd - nLineStart);
    const std::size_t nPrefix = sizeof kUpdateSignaturePrefix - 1;
    if (strLine.compare(0, nPrefix, kUpdateSignaturePrefix) != 0 || strLine.size() != nPrefix + 2 * nSignatureBytes)
        return false;
    std::vector<unsigned char> arrSignature;
    if (!DecodeHexPairs(strLine.substr(nPrefix), arrSignature, nSignatureBytes))
        return false;
    signedText.strSigned = strText.substr(0, nLineStart);
    signedText.arrSignature.swap(arrSignature);
    return true;
}
