#include "BrowserCommand.h"

namespace {

std::string EscapeForCommandLine(const std::string& strUrl)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string strOut;
    strOut.reserve(strUrl.size());
    for (const char c : strUrl) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || c == '"') {
            strOut += '%';
            strOut += kHex[u >> 4];
            strOut += kHex[u & 0x0F];
        } else {
            strOut += c;
        }
    }
    return strOut;
}

} // namespace

std::string BrowserCommandLine(const std::string& strCommand, const std::string& strUrl)
{
    std::size_t nCut = strCommand.find("\"%1\"");
    if (nCut == std::string::npos)
        nCut = strCommand.find("%1");
    const std::string strProgram = strCommand.substr(0, nCut);
    if (strProgram.find_first_not_of(" \t") == std::string::npos)
        return std::string();
    std::string strLine = strProgram + " " + EscapeForCommandLine(strUrl);
    if (strLine.size() > kMaxBrowserCommandChars)
        return std::string();
    return strLine;
}
