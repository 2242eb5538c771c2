// What the update tests share: the server's address from the driver, and
// the hexadecimal SHA-256 a vendor publishes for an installer.
#pragma once

#include "SHA.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace updatetest {

inline std::string Environment(const char* pszName)
{
    const char* pszValue = std::getenv(pszName);
    return pszValue ? pszValue : "";
}

// A path of the build tree as the Windows programs see it.
inline std::string WindowsPath(std::string strPath)
{
    for (char& c : strPath)
        if (c == '/')
            c = '\\';
    return "Z:" + strPath;
}

inline std::string HexDigest(const std::string& strBytes)
{
    CSHA sha;
    sha.AddData(reinterpret_cast<const std::uint8_t*>(strBytes.data()), static_cast<int>(strBytes.size()));
    std::uint8_t digest[CSHA::kDigestSize];
    sha.FinalDigest(digest);
    static const char kHex[] = "0123456789abcdef";
    std::string strHex;
    for (std::uint8_t b : digest) {
        strHex += kHex[b >> 4];
        strHex += kHex[b & 15];
    }
    return strHex;
}

} // namespace updatetest
