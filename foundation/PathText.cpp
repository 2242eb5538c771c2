#include "PathText.h"

#include "DbcsText.h"
#include "TextTrim.h"

#include <cctype>
#include <cstring>

namespace {

bool IsDriveLetter(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

bool StartsWithNoCase(const std::string& strText, const char* pszPrefix)
{
    const std::size_t nLength = std::strlen(pszPrefix);
    if (strText.size() < nLength)
        return false;
    for (std::size_t i = 0; i < nLength; ++i) {
        if (std::tolower(static_cast<unsigned char>(strText[i])) !=
            std::tolower(static_cast<unsigned char>(pszPrefix[i])))
            return false;
    }
    return true;
}

}  // namespace

bool IsDriveRoot(const std::string& strPath)
{
    if (strPath.size() < 2 || strPath.size() > 3 || !IsDriveLetter(strPath[0]) || strPath[1] != ':')
        return false;
    return strPath.size() == 2 || strPath[2] == '\\' || strPath[2] == '/';
}

std::string ToBackslashes(std::string strPath)
{
    for (char& ch : strPath) {
        if (ch == '/')
            ch = '\\';
    }
    return strPath;
}

std::string NormalizePathInput(const std::string& strPath)
{
    std::string strResult = strPath;
    TrimBlank(strResult);
    return ToBackslashes(strResult);
}

std::string RemoveTrailingBackslash(const std::string& strPath, unsigned nCodePage)
{
    if (EndsWithSingleByte(strPath, '\\', nCodePage))
        return strPath.substr(0, strPath.size() - 1);
    return strPath;
}

std::string ParentFolder(const std::string& strPath, unsigned nCodePage)
{
    std::string strFolder = strPath;
    // Blanks and separators may alternate at the end ("C:\Data\ \"); neither
    // 0x20 nor 0x5C as a lone last byte can be part of a double-byte
    // character unless a lead byte precedes the "\", which the check rules out.
    for (;;) {
        if (!strFolder.empty() && strFolder.back() == ' ')
            strFolder.pop_back();
        else if (EndsWithSingleByte(strFolder, '\\', nCodePage))
            strFolder.pop_back();
        else
            break;
    }
    const std::size_t nSeparator = FindLastSingleByte(strFolder, '\\', nCodePage);
    if (nSeparator == std::string::npos)
        return std::string();
    return strFolder.substr(0, nSeparator);
}

std::string EnsureTxtExtension(const std::string& strPath, unsigned nCodePage)
{
    std::string strResult = strPath;
    TrimBlank(strResult);
    if (strResult.empty() || strResult.back() == '/' || EndsWithSingleByte(strResult, '\\', nCodePage))
        return strResult;

    std::size_t nStart = 0;
    const std::size_t nBackslash = FindLastSingleByte(strResult, '\\', nCodePage);
    const std::size_t nSlash = strResult.rfind('/');
    if (nBackslash != std::string::npos)
        nStart = nBackslash + 1;
    if (nSlash != std::string::npos && nSlash + 1 > nStart)
        nStart = nSlash + 1;

    // "." is 0x2E, never the second byte of a double-byte character.
    const std::size_t nDot = strResult.find('.', nStart);
    if (nDot == std::string::npos)
        strResult += ".txt";
    else if (nDot == strResult.size() - 1)
        strResult += "txt";
    return strResult;
}

bool HasExtension(const std::string& strPath, const char* pszExtension)
{
    const std::size_t nLength = std::strlen(pszExtension);
    return strPath.size() >= nLength && StartsWithNoCase(strPath.substr(strPath.size() - nLength), pszExtension);
}

bool HasLnkExtension(const std::string& strPath)
{
    return HasExtension(strPath, ".lnk");
}

std::string CleanWritePath(const std::string& strPath, unsigned nCodePage)
{
    std::string strResult = strPath;
    TrimBlank(strResult);
    if (StartsWithNoCase(strResult, "File:///"))
        strResult.erase(0, 8);
    if (strResult.size() >= 2 && IsDriveLetter(strResult[0]) && strResult[1] == ':' &&
        FindLastSingleByte(strResult, '\\', nCodePage) == std::string::npos)
        strResult = ToBackslashes(strResult);
    return strResult;
}
