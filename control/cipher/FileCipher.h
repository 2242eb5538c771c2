// CFileCipher: the interface of a cipher that enciphers whole files. A file
// starts with a 32-byte signature that identifies the key, followed by the
// enciphered body (see StreamCipher.h for the one implementation).
#pragma once

#include <cstdint>
#include <string>

// <windows.h> maps EncryptFile and DecryptFile to file-system functions of
// its own; here they are the cipher's. A file that needs both includes
// <windows.h> first.
#ifdef EncryptFile
#undef EncryptFile
#endif
#ifdef DecryptFile
#undef DecryptFile
#endif

class CFileCipher {
public:
    static constexpr int kSignatureSize = 32;

    virtual ~CFileCipher();

    // The 32 bytes that head every file enciphered with the current key.
    virtual void GetSignature(std::uint8_t* pSignature) = 0;
    // `nLength` bytes from pIn to pOut (which may be the same buffer); the
    // chaining state carries over from one call to the next.
    virtual void EncryptBlock(const std::uint8_t* pIn, std::uint8_t* pOut, int nLength) = 0;
    virtual void DecryptBlock(const std::uint8_t* pIn, std::uint8_t* pOut, int nLength) = 0;
    virtual void EncryptFile(const std::string& strInput, const std::string& strOutput) = 0;
    virtual void DecryptFile(const std::string& strInput, const std::string& strOutput) = 0;
    // Restarts the chaining state, as at the start of every file.
    virtual void ResetChain() = 0;

    bool IsInitialized() const { return m_bInitialized; }

protected:
    CFileCipher() = default;
    CFileCipher(const CFileCipher&) = default;
    CFileCipher& operator=(const CFileCipher&) = default;

    bool m_bInitialized = false;
};
