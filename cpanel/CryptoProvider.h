// The system's RSA and AES cryptography provider (CryptoAPI), the one place
// the control panel reaches for SHA-256 and for RSA signatures. It is there
// from Windows XP SP3 on, in either bitness, without a library that older
// systems lack; where it is missing (or knows no SHA-256) nothing can be
// checked, and callers treat that as "cannot check", never as "good".
#pragma once

#include <windows.h>

#include <wincrypt.h>

#include <cstddef>
#include <string>

class CCryptoProvider {
public:
    CCryptoProvider();
    ~CCryptoProvider();
    CCryptoProvider(const CCryptoProvider&) = delete;
    CCryptoProvider& operator=(const CCryptoProvider&) = delete;

    bool IsUsable() const { return m_hProvider != 0; }
    HCRYPTPROV Get() const { return m_hProvider; }

private:
    HCRYPTPROV m_hProvider = 0;
};

// A SHA-256 hash on the provider.
class CSha256Hash {
public:
    static constexpr DWORD kSize = 32;

    explicit CSha256Hash(const CCryptoProvider& provider);
    ~CSha256Hash();
    CSha256Hash(const CSha256Hash&) = delete;
    CSha256Hash& operator=(const CSha256Hash&) = delete;

    bool IsUsable() const { return m_hHash != 0 && !m_bFailed; }
    void Add(const void* pData, std::size_t nLength);
    // The digest of everything added; false when the provider failed anywhere.
    bool Finish(unsigned char (&digest)[kSize]);
    HCRYPTHASH Get() const { return m_hHash; }

private:
    HCRYPTHASH m_hHash = 0;
    bool m_bFailed = false;
};

// True when `strSignature` (big-endian, as OpenSSL writes it) is the
// PKCS #1 v1.5 signature of `strData`'s SHA-256 by the RSA public key of
// modulus `strModulusHex` (upper-case hexadecimal, big-endian) and
// exponent `nExponent`. False for anything wrong, the provider included.
bool VerifyRsaSha256(const CCryptoProvider& provider, const std::string& strModulusHex, DWORD nExponent,
                     const std::string& strData, const std::string& strSignature);
