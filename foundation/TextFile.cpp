#include "TextFile.h"

#include <cstring>
#include <vector>

namespace {

// The catalogue's own line rule: each CR LF ends a piece, a CR LF at the
// very end opens no further piece.
std::vector<std::string> SplitCrLf(const std::string& strText)
{
    std::vector<std::string> arrLines;
    std::size_t nStart = 0;
    while (nStart < strText.size()) {
        const std::size_t nEnd = strText.find("\r\n", nStart);
        if (nEnd == std::string::npos) {
            arrLines.push_back(strText.substr(nStart));
            break;
        }
        arrLines.push_back(strText.substr(nStart, nEnd - nStart));
        nStart = nEnd + 2;
    }
    return arrLines;
}

// Line numbers of IDS_PXT_ATTRIBUTES.
constexpr std::size_t kLineReadOnly = 2, kLineHidden = 3, kLineSystem = 5;

}  // namespace

std::string ReplacePlaceholder(const std::string& strText, const char* pszPlaceholder, const std::string& strValue)
{
    const std::size_t nLength = std::strlen(pszPlaceholder);
    if (nLength == 0)
        return strText;
    std::string strResult;
    std::size_t nFrom = 0;
    for (;;) {
        const std::size_t nAt = strText.find(pszPlaceholder, nFrom);
        if (nAt == std::string::npos)
            break;
        strResult.append(strText, nFrom, nAt - nFrom);
        strResult += strValue;
        nFrom = nAt + nLength;
    }
    strResult.append(strText, nFrom, std::string::npos);
    return strResult;
}

std::string FormatAttributeNames(const std::string& strAttributeLines, bool bReadOnly, bool bHidden, bool bSystem)
{
    const std::vector<std::string> arrLines = SplitCrLf(strAttributeLines);
    auto name = [&arrLines](std::size_t nLine) {
        return nLine < arrLines.size() ? arrLines[nLine] : std::string();
    };
    std::string strNames;
    auto add = [&strNames](const std::string& strName) {
        if (!strNames.empty())
            strNames += " + ";
        strNames += "\"" + strName + "\"";
    };
    if (bReadOnly)
        add(name(kLineReadOnly));
    if (bHidden)
        add(name(kLineHidden));
    if (bSystem)
        add(name(kLineSystem));
    return strNames;
}
