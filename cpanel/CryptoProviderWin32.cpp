#include "CryptoProvider.h"

#include "HexText.h"

#include <cstring>
#include <vector>

// The headers name these only for programs made for Windows XP SP3 and
// later; this one starts on older systems too and asks the provider at run time.
#ifndef PROV_RSA_AES
#define PROV_RSA_AES 24
#endif
#ifndef CALG_SHA_256
#define CALG_SHA_256 (ALG_CLASS_HASH | ALG_TYPE_ANY | 12)
#endif

namespace {

class CCryptoKey {
public:
    CCryptoKey(const CCryptoProvider& provider, const std::vector<BYTE>& arrBlob)
    {
        if (!::CryptImportKey(provider.Get(), arrBlob.data(), static_cast<DWORD>(arrBlob.size()), 0, 0, &m_hKey))
            m_hKey = 0;
    }
    ~CCryptoKey()
    {
        if (m_hKey)
            ::CryptDestroyKey(m_hKey);
    }
    CCryptoKey(const CCryptoKey&) = delete;
    CCryptoKey& operator=(const CCryptoKey&) = delete;
    HCRYPTKEY Get() const { return m_hKey; }

private:
    HCRYPTKEY m_hKey = 0;
};

// The provider's PUBLICKEYBLOB of an RSA signature key: its numbers are little-endian.
std::vector<BYTE> PublicKeyBlob(const std::vector<unsigned char>& arrModulus, DWORD nExponent)
{
    BLOBHEADER header = {};
    header.bType = PUBLICKEYBLOB;
    header.bVersion = CUR_BLOB_VERSION;
    header.aiKeyAlg = CALG_RSA_SIGN;
    RSAPUBKEY key = {};
    key.magic = 0x31415352;  // "RSA1"
    key.bitlen = static_cast<DWORD>(arrModulus.size() * 8);
    key.pubexp = nExponent;
    std::vector<BYTE> arrBlob(sizeof header + sizeof key);
    std::memcpy(arrBlob.data(), &header, sizeof header);
    std::memcpy(arrBlob.data() + sizeof header, &key, sizeof key);
    arrBlob.insert(arrBlob.end(), arrModulus.rbegin(), arrModulus.rend());
    return arrBlob;
}

} // namespace

CCryptoProvider::CCryptoProvider()
{
    if (!::CryptAcquireContextA(&m_hProvider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
        m_hProvider = 0;
}

CCryptoProvider::~CCryptoProvider()
{
    if (m_hProvider)
        ::CryptReleaseContext(m_hProvider, 0);
}

CSha256Hash::CSha256Hash(const CCryptoProvider& provider)
{
    if (!provider.IsUsable() || !::CryptCreateHash(provider.Get(), CALG_SHA_256, 0, 0, &m_hHash))
        m_hHash = 0;
}

CSha256Hash::~CSha256Hash()
{
    if (m_hHash)
        ::CryptDestroyHash(m_hHash);
}

void CSha256Hash::Add(const void* pData, std::size_t nLength)
{
    if (!IsUsable() || nLength == 0)
        return;
    m_bFailed = !::CryptHashData(m_hHash, static_cast<const BYTE*>(pData), static_cast<DWORD>(nLength), 0);
}

bool CSha256Hash::Finish(unsigned char (&digest)[kSize])
{
    if (!IsUsable())
        return false;
    DWORD nSize = kSize;
    const bool bDone = ::CryptGetHashParam(m_hHash, HP_HASHVAL, digest, &nSize, 0) && nSize == kSize;
    m_bFailed = true;  // a hash gives its digest once
    return bDone;
}

bool VerifyRsaSha256(const CCryptoProvider& provider, const std::string& strModulusHex, DWORD nExponent,
                     const std::string& strData, const std::string& strSignature)
{
    std::vector<unsigned char> arrModulus;
    if (!provider.IsUsable() || strModulusHex.size() % 2 != 0 ||
        !DecodeHexPairs(strModulusHex, arrModulus, strModulusHex.size() / 2) || arrModulus.empty() ||
        strSignature.size() != arrModulus.size())
        return false;
    const CCryptoKey key(provider, PublicKeyBlob(arrModulus, nExponent));
    CSha256Hash hash(provider);
    if (!key.Get() || !hash.IsUsable())
        return false;
    hash.Add(strData.data(), strData.size());
    if (!hash.IsUsable())
        return false;
    // The provider reads signatures little-endian.
    const std::string strReversed(strSignature.rbegin(), strSignature.rend());
    return ::CryptVerifySignatureA(hash.Get(), reinterpret_cast<const BYTE*>(strReversed.data()),
                                   static_cast<DWORD>(strReversed.size()), key.Get(), nullptr, 0) != FALSE;
}
