// CStreamCipher: the file cipher of the enciphered word-adjustment libraries.
// Each byte passes through R internal rounds driven by an RC4 key stream over
// a 256-byte key block, and is chained to the bytes before it in the file.
//
// Enciphering byte x (chain c, key-stream pairs A0 B0 A1 B1 ... in order):
//   c ^= x;  y = (A0 ^ c) + B0;  then R - 1 times  y = (y ^ Ak) + Bk.
// Deciphering draws the same 2R bytes and undoes the rounds from the last.
//
// A file is the 32-byte signature (GetSignature) followed by the enciphered
// bytes, exactly as many as the plain text has: no length, no padding. The
// signature only tells whether a file was made with this key; it does not
// protect the body (see GetSignature for what it covers).
#pragma once

#include "FileCipher.h"
#include "KeyStream.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CStreamCipher : public CFileCipher {
public:
    static constexpr int kKeyBlockSize = 256;
    // How the file operations read their input.
    static constexpr int kFileBufferSize = 1024;
    static constexpr int kFileBlockSize = 384;
    // Key-stream bytes drawn at a time while deciphering.
    static constexpr std::size_t kKeyStreamBatch = 64 * 1024;

    CStreamCipher() = default;

    // Installs a key (repeated cyclically to fill the 256-byte key block) and
    // the number of rounds. Everything is checked before anything changes, so
    // a refused call leaves the cipher as it was. Installing the key block
    // already in place skips the key scheduling and only restarts the stream
    // and the chain, which leaves the cipher exactly as a first Initialize
    // with these parameters would.
    void Initialize(const std::uint8_t* pKey, int nKeyLength, int nRounds);

    // SHA-256 of "XOR256STREAM", the key block and the rounds in decimal,
    // taken up to the first zero byte: a key block with a zero byte leaves
    // out everything from there, and then the rounds, so such a key block
    // gives the same signature for every number of rounds. The file format
    // of the libraries fixes this; keys meant for files avoid zero bytes.
    void GetSignature(std::uint8_t* pSignature) override;

    // Both throw when not initialised or when nLength is 0 or less (or a
    // buffer is missing).
    void EncryptBlock(const std::uint8_t* pIn, std::uint8_t* pOut, int nLength) override;
    void DecryptBlock(const std::uint8_t* pIn, std::uint8_t* pOut, int nLength) override;

    // Reads strInput, writes strOutput (created or truncated). Refuses equal
    // names, and two names of one existing file, before opening anything.
    // DecryptFile throws when the input does not start with this key's
    // signature, a file shorter than the signature included; it has created
    // the output (empty) by then. A read or write error throws too.
    void EncryptFile(const std::string& strInput, const std::string& strOutput) override;
    void DecryptFile(const std::string& strInput, const std::string& strOutput) override;

    void ResetChain() override;

    // DecryptBlock in two steps, for callers that draw the key streams of
    // two ciphers side by side: the key-stream bytes nLength bytes take
    // (2R each), and the deciphering of nLength bytes in place from those
    // bytes, drawn from this cipher's stream in order.
    std::size_t KeyStreamBytesFor(std::size_t nLength) const { return 2 * static_cast<std::size_t>(m_nRounds) * nLength; }
    static void DrawKeyStreams(CStreamCipher& first, std::uint8_t* pFirst, std::size_t nFirst, CStreamCipher& second,
                               std::uint8_t* pSecond, std::size_t nSecond);
    void DecryptWithKeyStream(const std::uint8_t* pKeyStream, std::uint8_t* pData, std::size_t nLength);

    int GetRounds() const { return m_nRounds; }

private:
    void CheckInitialized() const;
    void CheckBlock(const std::uint8_t* pIn, const std::uint8_t* pOut, int nLength) const;
    void CheckFilePair(const std::string& strInput, const std::string& strOutput) const;
    // The file body: every block read from `in`, through `transform`, to `out`.
    template <typename Transform>
    void TransformBody(std::istream& in, std::ostream& out, const std::string& strOutput, Transform transform);

    int m_nKeyBlockSize = kKeyBlockSize;
    CKeyStream m_KeyStream;
    std::array<std::uint8_t, kKeyBlockSize> m_pKeyBlock{};
    int m_nRounds = -1;
    std::vector<std::uint8_t> m_pRoundA;
    std::vector<std::uint8_t> m_pRoundB;
    std::vector<std::uint8_t> m_KeyBuffer;
    std::uint8_t m_byInitialChain = 0;
    std::uint8_t m_byChain = 0;
};
