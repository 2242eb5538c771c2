#include "DownloadNames.h"

#include "UpdateInfo.h"

#include <cstdio>

namespace {

// `nValue` / `nUnit` with two, one or no decimals, as the size allows.
std::string ScaledText(std::uint64_t nBytes, std::uint64_t nUnit, const char* pszUnit)
{
    std::string strDigits;
    std::size_t nDecimals = 0;
    if (nBytes <= nUnit * 10 - 1) {
        strDigits = std::to_string(nBytes * 100 / nUnit);
        nDecimals = 2;
    } else if (nBytes <= nUnit * 100 - 1) {
        strDigits = std::to_string(nBytes * 10 / nUnit);
        nDecimals = 1;
    } else {
        strDigits = std::to_string(nBytes / nUnit);
    }
    if (nDecimals)
        strDigits.insert(strDigits.size() - nDecimals, ".");
    return strDigits + " " + pszUnit;
}

} // namespace

std::string ShortSizeText(std::uint64_t nBytes, const std::string& strBytes)
{
    if (nBytes < 1024)
        return std::to_string(nBytes) + " " + strBytes;
    if (nBytes < 1048576)
        return ScaledText(nBytes, 1024, "KB");
    return ScaledText(nBytes, 1048576, "MB");
}

std::string LongSizeText(std::uint64_t nBytes, const std::string& strBytes)
{
    std::string strDigits = std::to_string(nBytes);
    for (std::size_t n = strDigits.size(); n > 3; n -= 3)
        strDigits.insert(n - 3, ",");
    return strDigits + " " + strBytes;
}

std::string SizeText(std::uint64_t nBytes, const std::string& strBytes)
{
    return ShortSizeText(nBytes, strBytes) + " (" + LongSizeText(nBytes, strBytes) + ")";
}

std::string LastPathPart(const std::string& strPath)
{
    const std::size_t nSlash = strPath.find_last_of("\\/");
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

std::string InstallerFileName(const std::string& strUrl)
{
    const std::string strName = LastPathPart(strUrl);
    return strName.empty() ? std::string("setup.exe") : strName;
}

std::string WithProgramExtension(const std::string& strPath)
{
    const std::string strTail = strPath.size() > 6 ? strPath.substr(strPath.size() - 6) : strPath;
    return strTail.find('.') == std::string::npos ? strPath + ".exe" : strPath;
}

std::string DownloadTarget(const std::string& strSaveTo,
                           const std::function<std::string(const std::string&)>& nearestFolder,
                           const std::function<bool(const std::string&)>& exists)
{
    std::string strFolder = nearestFolder(strSaveTo);
    if (strFolder.empty())
        strFolder = "C:\\";
    // A drive's root loses its "\" (other folders come without one; a
    // last byte "\" may be the trail byte of a Chinese character).
    if (strFolder.size() == 3 && strFolder[1] == ':' && strFolder[2] == '\\')
        strFolder.pop_back();
    std::string strName = LastPathPart(strSaveTo);
    if (IsInstallerUrl(strName))
        strName.resize(strName.size() - 4);
    if (strName.empty())
        strName = "setup";
    std::string strTarget = strFolder + "\\" + strName + ".exe";
    for (int n = 1; exists(strTarget); ++n)
        strTarget = strFolder + "\\" + strName + "(" + std::to_string(n) + ").exe";
    return strTarget;
}
