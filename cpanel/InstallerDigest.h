// The SHA-256 digest of a download as it arrives, from the system's
// cryptography provider (the control panel links no part of the control).
#pragma once

#include <windows.h>

#include <bcrypt.h>

class CInstallerDigest {
public:
    static constexpr ULONG kSize = 32;

    CInstallerDigest();
    ~CInstallerDigest();
    CInstallerDigest(const CInstallerDigest&) = delete;
    CInstallerDigest& operator=(const CInstallerDigest&) = delete;

    void Add(const void* pData, ULONG nLength);
    // The digest of everything added; false when the provider failed anywhere.
    bool Finish(unsigned char (&digest)[kSize]);

private:
    BCRYPT_ALG_HANDLE m_hAlgorithm = nullptr;
    BCRYPT_HASH_HANDLE m_hHash = nullptr;
    bool m_bFailed = false;
};
