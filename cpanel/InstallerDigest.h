// The SHA-256 digest of a download as it arrives, or of a file read again
// through a handle, from the system's cryptography provider.
#pragma once

#include "CryptoProvider.h"

#include <windows.h>

#include <string>

class CInstallerDigest {
public:
    static constexpr DWORD kSize = CSha256Hash::kSize;

    CInstallerDigest() : m_hash(m_provider) {}
    CInstallerDigest(const CInstallerDigest&) = delete;
    CInstallerDigest& operator=(const CInstallerDigest&) = delete;

    void Add(const void* pData, std::size_t nLength) { m_hash.Add(pData, nLength); }
    // The digest of everything added; false when the provider failed anywhere.
    bool Finish(unsigned char (&digest)[kSize]) { return m_hash.Finish(digest); }

    // True when the whole file behind `hFile`, read from its start, has the
    // digest `strHex` (64 hexadecimal digits).
    static bool FileMatches(HANDLE hFile, const std::string& strHex);

private:
    CCryptoProvider m_provider;
    CSha256Hash m_hash;
};
