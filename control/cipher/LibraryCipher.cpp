#include "LibraryCipher.h"

#include "CipherError.h"
#include "FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <utility>

const char kFirstPassSuffix[] = "q";

namespace {

std::uint32_t Fnv1a(const std::string& strText)
{
    std::uint32_t nHash = 2166136261u;
    for (char c : strText) {
        nHash ^= static_cast<unsigned char>(c);
        nHash *= 16777619u;
    }
    return nHash;
}

class CXorShift32 {
public:
    explicit CXorShift32(std::uint32_t nSeed) : m_nState(nSeed != 0 ? nSeed : 0x9E3779B9u) {}
    std::uint32_t Next()
    {
        m_nState ^= m_nState << 13;
        m_nState ^= m_nState >> 17;
        m_nState ^= m_nState << 5;
        return m_nState;
    }

private:
    std::uint32_t m_nState;
};

// Removes a file when the scope ends, however it ends.
class CRemoveOnExit {
public:
    explicit CRemoveOnExit(std::string strPath) : m_strPath(std::move(strPath)) {}
    ~CRemoveOnExit() { std::remove(m_strPath.c_str()); }
    CRemoveOnExit(const CRemoveOnExit&) = delete;
    CRemoveOnExit& operator=(const CRemoveOnExit&) = delete;

private:
    std::string m_strPath;
};

// The files of a two-pass run must be three: the scratch file is removed on
// every path, and the second pass must not overwrite the first one's input.
void CheckDistinct(const std::string& strFirst, const std::string& strSecond)
{
    if (strFirst == strSecond || IsSameExistingFile(strFirst, strSecond))
        throw CCipherError("FileCrypt ERROR: The same File for Input and Output " + strFirst + "!");
}

void CheckThreeFiles(const std::string& strInput, const std::string& strOutput, const std::string& strScratch)
{
    CheckDistinct(strInput, strOutput);
    CheckDistinct(strScratch, strInput);
    CheckDistinct(strScratch, strOutput);
}

} // namespace

std::string LibraryNameOf(const std::string& strPath)
{
    const std::string::size_type nSlash = strPath.find_last_of("\\/");
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

std::string FoldedLibraryName(const std::string& strPath)
{
    std::string strName = LibraryNameOf(strPath);
    for (char& c : strName) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return strName;
}

LibraryCipherParameters DeriveLibraryCipherParameters(const std::string& strLibraryFileName, bool bFirstPass)
{
    std::string strName = FoldedLibraryName(strLibraryFileName);
    if (bFirstPass)
        strName += kFirstPassSuffix;
    CXorShift32 generator(Fnv1a(strName));
    LibraryCipherParameters parameters;
    parameters.nRounds = static_cast<int>(3 + generator.Next() % 98);
    const std::size_t nLength = 16 + generator.Next() % 17;
    parameters.key.resize(nLength);
    for (std::uint8_t& byKey : parameters.key)
        byKey = static_cast<std::uint8_t>(1 + (generator.Next() >> 8) % 255);
    return parameters;
}

CStreamCipher& CreateLibraryCipher(const std::string& strLibraryFileName, bool bFirstPass)
{
    static CStreamCipher cipher;
    const LibraryCipherParameters parameters = DeriveLibraryCipherParameters(strLibraryFileName, bFirstPass);
    cipher.Initialize(parameters.key.data(), static_cast<int>(parameters.key.size()), parameters.nRounds);
    return cipher;
}

void EncipherLibrary(const std::string& strPlainPath, const std::string& strLibraryPath,
                     const std::string& strLibraryName)
{
    const std::string strIntermediate = strLibraryPath + ".pass";
    CheckThreeFiles(strPlainPath, strLibraryPath, strIntermediate);
    CRemoveOnExit removeIntermediate(strIntermediate);
    CreateLibraryCipher(strLibraryName, false).EncryptFile(strPlainPath, strIntermediate);
    CreateLibraryCipher(strLibraryName, true).EncryptFile(strIntermediate, strLibraryPath);
}

void DecipherLibrary(const std::string& strLibraryPath, const std::string& strPlainPath,
                     const std::string& strLibraryName, const std::string& strScratchPath)
{
    CheckThreeFiles(strLibraryPath, strPlainPath, strScratchPath);
    CRemoveOnExit removeScratch(strScratchPath);
    CreateLibraryCipher(strLibraryName, true).DecryptFile(strLibraryPath, strScratchPath);
    CreateLibraryCipher(strLibraryName, false).DecryptFile(strScratchPath, strPlainPath);
}

namespace {

// Bytes undone at a time by both passes: their key streams (2R bytes a
// byte) then fit the processor's cache.
constexpr std::size_t kDecipherBlock = 256;

void InitializeFor(CStreamCipher& cipher, const std::string& strLibraryName, bool bFirstPass)
{
    const LibraryCipherParameters parameters = DeriveLibraryCipherParameters(strLibraryName, bFirstPass);
    cipher.Initialize(parameters.key.data(), static_cast<int>(parameters.key.size()), parameters.nRounds);
}

// Takes the signature off the front of one pass's bytes.
void CheckSignature(CStreamCipher& cipher, std::string& strBytes, const std::string& strLibraryName)
{
    std::uint8_t signature[CFileCipher::kSignatureSize];
    cipher.GetSignature(signature);
    if (strBytes.size() < sizeof signature || std::memcmp(strBytes.data(), signature, sizeof signature) != 0)
        throw CCipherError("FileCrypt ERROR: File " + strLibraryName + " cannot be Correctly Decrypted!");
    strBytes.erase(0, sizeof signature);
    cipher.ResetChain();
}

} // namespace

std::string DecipherLibraryText(std::string strEnciphered, const std::string& strLibraryName)
{
    // A cipher for each pass, so that neither is keyed again. The inner
    // pass's signature comes first out of the outer pass; then both undo the
    // same stretch of bytes block by block, their key streams drawn side by
    // side into buffers small enough to stay in the processor's cache.
    CStreamCipher first, second;
    InitializeFor(first, strLibraryName, true);
    InitializeFor(second, strLibraryName, false);
    CheckSignature(first, strEnciphered, strLibraryName);
    const std::size_t nSignature = CFileCipher::kSignatureSize;
    auto* pBytes = reinterpret_cast<std::uint8_t*>(&strEnciphered[0]);
    const std::size_t nHead = std::min(strEnciphered.size(), nSignature);
    std::vector<std::uint8_t> firstStream(first.KeyStreamBytesFor(std::max(nHead, kDecipherBlock)));
    std::vector<std::uint8_t> secondStream(second.KeyStreamBytesFor(kDecipherBlock));
    CStreamCipher::DrawKeyStreams(first, firstStream.data(), first.KeyStreamBytesFor(nHead), second,
                                  secondStream.data(), 0);
    first.DecryptWithKeyStream(firstStream.data(), pBytes, nHead);
    CheckSignature(second, strEnciphered, strLibraryName);  // takes the head off
    pBytes = reinterpret_cast<std::uint8_t*>(&strEnciphered[0]);
    for (std::size_t nDone = 0; nDone < strEnciphered.size();) {
        const std::size_t nCount = std::min(kDecipherBlock, strEnciphered.size() - nDone);
        CStreamCipher::DrawKeyStreams(first, firstStream.data(), first.KeyStreamBytesFor(nCount), second,
                                      secondStream.data(), second.KeyStreamBytesFor(nCount));
        first.DecryptWithKeyStream(firstStream.data(), pBytes + nDone, nCount);
        second.DecryptWithKeyStream(secondStream.data(), pBytes + nDone, nCount);
        nDone += nCount;
    }
    return strEnciphered;
}

std::string DecipherLibraryFile(const std::string& strLibraryPath, const std::string& strLibraryName)
{
    std::ifstream file(strLibraryPath, std::ios::binary | std::ios::ate);
    if (!file.is_open())
        throw CCipherError("FileCrypt ERROR: Cannot open File " + strLibraryPath + "!");
    const std::streamoff nSize = file.tellg();
    if (nSize < 0 || static_cast<std::uint64_t>(nSize) > kMaxLibraryFileBytes)
        throw CCipherError("FileCrypt ERROR: File " + strLibraryPath + " cannot be Correctly Decrypted!");
    std::string strBytes(static_cast<std::size_t>(nSize), '\0');
    file.seekg(0);
    if (nSize > 0 && !file.read(&strBytes[0], nSize))
        throw CCipherError("FileCrypt ERROR: Cannot open File " + strLibraryPath + "!");
    return DecipherLibraryText(std::move(strBytes), strLibraryName);
}
