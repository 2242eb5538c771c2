#include "InstallerDigest.h"

namespace {

bool Succeeded(NTSTATUS nStatus)
{
    return nStatus >= 0;
}

} // namespace

CInstallerDigest::CInstallerDigest()
{
    m_bFailed = !Succeeded(::BCryptOpenAlgorithmProvider(&m_hAlgorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
                !Succeeded(::BCryptCreateHash(m_hAlgorithm, &m_hHash, nullptr, 0, nullptr, 0, 0));
}

CInstallerDigest::~CInstallerDigest()
{
    if (m_hHash)
        ::BCryptDestroyHash(m_hHash);
    if (m_hAlgorithm)
        ::BCryptCloseAlgorithmProvider(m_hAlgorithm, 0);
}

void CInstallerDigest::Add(const void* pData, ULONG nLength)
{
    if (m_bFailed || nLength == 0)
        return;
    m_bFailed = !Succeeded(
        ::BCryptHashData(m_hHash, static_cast<PUCHAR>(const_cast<void*>(pData)), nLength, 0));
}

bool CInstallerDigest::Finish(unsigned char (&digest)[kSize])
{
    if (m_bFailed)
        return false;
    m_bFailed = true;  // a hash gives its digest once
    return Succeeded(::BCryptFinishHash(m_hHash, digest, kSize, 0));
}
