#include "StreamCipher.h"

#include "CipherError.h"
#include "DoubleBuffering.h"
#include "FileSystem.h"
#include "SHA.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace {

const char kSignaturePrefix[] = "XOR256STREAM";

[[noreturn]] void ThrowCannotOpen(const std::string& strPath)
{
    throw CCipherError("FileCrypt ERROR: Cannot open File " + strPath + "!");
}

[[noreturn]] void ThrowCannotWrite(const std::string& strPath)
{
    throw CCipherError("FileCrypt ERROR: Cannot write File " + strPath + "!");
}

} // namespace

void CStreamCipher::Initialize(const std::uint8_t* pKey, int nKeyLength, int nRounds)
{
    if (pKey == nullptr)
        throw CCipherError("FileCrypt ERROR: No Key DataSpecified!");
    if (nKeyLength <= 0)
        throw CCipherError("FileCrypt ERROR: Key Data Length should be > 0!");
    if (nRounds <= 0)
        throw CCipherError("Illegal Internal Rounds!");

    std::array<std::uint8_t, kKeyBlockSize> keyBlock;
    for (int n = 0; n < m_nKeyBlockSize; ++n)
        keyBlock[n] = pKey[n % nKeyLength];
    if (nRounds != m_nRounds) {
        // Allocated before anything is stored, so that a failure changes nothing.
        std::vector<std::uint8_t> roundA(static_cast<std::size_t>(nRounds));
        std::vector<std::uint8_t> roundB(static_cast<std::size_t>(nRounds));
        m_pRoundA.swap(roundA);
        m_pRoundB.swap(roundB);
        m_nRounds = nRounds;
    }

    if (m_bInitialized && keyBlock == m_pKeyBlock) {
        ResetChain();
        return;
    }
    m_pKeyBlock = keyBlock;
    m_KeyStream.SetKey(m_pKeyBlock.data(), m_nKeyBlockSize);
    m_byInitialChain = m_KeyStream.NextByte();
    m_byChain = m_byInitialChain;
    m_bInitialized = true;
}

void CStreamCipher::GetSignature(std::uint8_t* pSignature)
{
    CheckInitialized();
    std::string strSignature = kSignaturePrefix;
    strSignature.append(reinterpret_cast<const char*>(m_pKeyBlock.data()), m_pKeyBlock.size());
    strSignature += std::to_string(m_nRounds);
    strSignature.resize(std::strlen(strSignature.c_str()));
    CSHA sha;
    sha.AddData(reinterpret_cast<const std::uint8_t*>(strSignature.data()), static_cast<int>(strSignature.size()));
    sha.FinalDigest(pSignature);
}

void CStreamCipher::EncryptBlock(const std::uint8_t* pIn, std::uint8_t* pOut, int nLength)
{
    CheckInitialized();
    CheckBlock(pIn, pOut, nLength);
    for (int n = 0; n < nLength; ++n) {
        m_byChain ^= pIn[n];
        std::uint8_t c = static_cast<std::uint8_t>(m_KeyStream.NextByte() ^ m_byChain);
        c = static_cast<std::uint8_t>(c + m_KeyStream.NextByte());
        for (int k = 1; k < m_nRounds; ++k) {
            c ^= m_KeyStream.NextByte();
            c = static_cast<std::uint8_t>(c + m_KeyStream.NextByte());
        }
        pOut[n] = c;
    }
}

void CStreamCipher::DecryptBlock(const std::uint8_t* pIn, std::uint8_t* pOut, int nLength)
{
    CheckInitialized();
    CheckBlock(pIn, pOut, nLength);
    // The 2R key-stream bytes of many data bytes are drawn in one go (A0 B0
    // A1 B1 ... for each byte in turn, the order the rounds consume them),
    // then the rounds are undone from the buffer.
    const std::size_t nPerByte = KeyStreamBytesFor(1);
    const std::size_t nBatch = std::max<std::size_t>(1, kKeyStreamBatch / nPerByte);
    m_KeyBuffer.resize(nBatch * nPerByte);
    if (pOut != pIn)
        std::memmove(pOut, pIn, static_cast<std::size_t>(nLength));
    for (std::size_t nDone = 0, nTotal = static_cast<std::size_t>(nLength); nDone < nTotal;) {
        const std::size_t nCount = std::min(nBatch, nTotal - nDone);
        m_KeyStream.Fill(m_KeyBuffer.data(), nCount * nPerByte);
        DecryptWithKeyStream(m_KeyBuffer.data(), pOut + nDone, nCount);
        nDone += nCount;
    }
}

void CStreamCipher::DrawKeyStreams(CStreamCipher& first, std::uint8_t* pFirst, std::size_t nFirst,
                                   CStreamCipher& second, std::uint8_t* pSecond, std::size_t nSecond)
{
    first.CheckInitialized();
    second.CheckInitialized();
    CKeyStream::FillTwo(first.m_KeyStream, pFirst, nFirst, second.m_KeyStream, pSecond, nSecond);
}

void CStreamCipher::DecryptWithKeyStream(const std::uint8_t* pKeyStream, std::uint8_t* pData, std::size_t nLength)
{
    CheckInitialized();
    const std::size_t nRounds = static_cast<std::size_t>(m_nRounds);
    std::uint8_t byChain = m_byChain;
    for (std::size_t n = 0; n < nLength; ++n, pKeyStream += 2 * nRounds) {
        unsigned d = pData[n];
        for (std::size_t k = nRounds - 1; k >= 1; --k)
            d = ((d - pKeyStream[2 * k + 1]) ^ pKeyStream[2 * k]) & 0xFF;
        const std::uint8_t x = static_cast<std::uint8_t>(pKeyStream[0] ^ byChain ^ ((d - pKeyStream[1]) & 0xFF));
        byChain ^= x;
        pData[n] = x;
    }
    m_byChain = byChain;
}

// Opens the input for reading and the output, emptied, for writing.
static void OpenFilePair(const std::string& strInput, const std::string& strOutput, std::ifstream& input,
                         std::ofstream& output)
{
    input.open(strInput, std::ios::binary);
    if (!input.is_open())
        ThrowCannotOpen(strInput);
    output.open(strOutput, std::ios::binary | std::ios::trunc);
    if (!output.is_open())
        ThrowCannotOpen(strOutput);
}

void CStreamCipher::EncryptFile(const std::string& strInput, const std::string& strOutput)
{
    CheckInitialized();
    CheckFilePair(strInput, strOutput);
    std::ifstream input;
    std::ofstream output;
    OpenFilePair(strInput, strOutput, input, output);

    std::uint8_t signature[kSignatureSize];
    GetSignature(signature);
    if (!output.write(reinterpret_cast<const char*>(signature), kSignatureSize))
        ThrowCannotWrite(strOutput);
    ResetChain();
    TransformBody(input, output, strOutput,
                  [this](std::uint8_t* pBlock, int nLength) { EncryptBlock(pBlock, pBlock, nLength); });
}

void CStreamCipher::DecryptFile(const std::string& strInput, const std::string& strOutput)
{
    CheckInitialized();
    CheckFilePair(strInput, strOutput);
    std::ifstream input;
    std::ofstream output;
    OpenFilePair(strInput, strOutput, input, output);

    std::uint8_t expected[kSignatureSize];
    GetSignature(expected);
    std::uint8_t found[kSignatureSize];
    input.read(reinterpret_cast<char*>(found), kSignatureSize);
    if (input.gcount() != kSignatureSize || std::memcmp(found, expected, kSignatureSize) != 0)
        throw CCipherError("FileCrypt ERROR: File " + strInput + " cannot be Correctly Decrypted!");
    ResetChain();
    TransformBody(input, output, strOutput,
                  [this](std::uint8_t* pBlock, int nLength) { DecryptBlock(pBlock, pBlock, nLength); });
}

template <typename Transform>
void CStreamCipher::TransformBody(std::istream& in, std::ostream& out, const std::string& strOutput,
                                  Transform transform)
{
    CDoubleBuffering reader(in, kFileBufferSize, kFileBlockSize);
    std::array<std::uint8_t, kFileBlockSize> block;
    for (int nRead; (nRead = reader.GetData(block.data(), -1)) > 0;) {
        transform(block.data(), nRead);
        if (!out.write(reinterpret_cast<const char*>(block.data()), nRead))
            ThrowCannotWrite(strOutput);
    }
    // A failed flush is a lost tail: report it rather than a short file.
    if (!out.flush())
        ThrowCannotWrite(strOutput);
}

void CStreamCipher::ResetChain()
{
    CheckInitialized();
    m_KeyStream.Reset();
    m_KeyStream.NextByte();
    m_byChain = m_byInitialChain;
}

void CStreamCipher::CheckInitialized() const
{
    if (!m_bInitialized)
        throw CCipherError("FileCrypt ERROR: Encryption/Decryption Object not Initialized!");
}

void CStreamCipher::CheckBlock(const std::uint8_t* pIn, const std::uint8_t* pOut, int nLength) const
{
    if (nLength <= 0 || pIn == nullptr || pOut == nullptr)
        throw CCipherError("Illegal Block Size!");
}

void CStreamCipher::CheckFilePair(const std::string& strInput, const std::string& strOutput) const
{
    // Before either file is opened: opening the output would empty the input.
    if (strInput == strOutput || IsSameExistingFile(strInput, strOutput))
        throw CCipherError("FileCrypt ERROR: The same File for Input and Output " + strInput + "!");
}
