// Fuzz target of the library file a loader deciphers: the input is written
// to a file and deciphered as the loader does, first pass, then (when that
// passes the signature check) second pass, checking what DecryptFile
// promises. A broken promise aborts with the failed condition, so the
// fuzzer keeps the input.
//
// The ordinary test run replays the seed corpus through ExerciseDecryptFile
// (control/cipher/tests/DecryptFileCorpusTest.cpp).
#include "CipherError.h"
#include "LibraryCipher.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "../../../foundation/fuzz/FuzzRequire.h"


namespace {

// The name the seed corpus was enciphered for.
const char kFuzzLibraryName[] = "fuzzlib.txt";

using FuzzBytes = std::vector<std::uint8_t>;

// One folder for the files of every input, removed when the process ends.
class CFuzzFolder {
public:
    CFuzzFolder()
    {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / ("kivo-decrypt-fuzz-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~CFuzzFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    std::string operator/(const char* pszName) const { return (m_path / pszName).string(); }

private:
    std::filesystem::path m_path;
};

const CFuzzFolder& FuzzFolder()
{
    static const CFuzzFolder folder;
    return folder;
}

void WriteFuzzFile(const std::string& strPath, const FuzzBytes& bytes)
{
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    KIVO_FUZZ_REQUIRE(file.flush());
}

FuzzBytes ReadFuzzFile(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    KIVO_FUZZ_REQUIRE(file.is_open());
    return FuzzBytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Deciphers one layer from strInput (holding `input`) into strOutput.
// Returns false when the signature check refused it.
bool DecipherOnePass(bool bFirstPass, const std::string& strInput, const FuzzBytes& input, const std::string& strOutput)
{
    CStreamCipher& cipher = CreateLibraryCipher(kFuzzLibraryName, bFirstPass);
    std::uint8_t signature[CFileCipher::kSignatureSize];
    cipher.GetSignature(signature);
    const bool bSigned = input.size() >= sizeof signature && std::memcmp(input.data(), signature, sizeof signature) == 0;
    try {
        cipher.DecryptFile(strInput, strOutput);
    } catch (const CCipherError& error) {
        // The only refusal a readable file can meet, and only without the signature.
        KIVO_FUZZ_REQUIRE(!bSigned);
        KIVO_FUZZ_REQUIRE(std::string(error.what()) == "FileCrypt ERROR: File " + strInput + " cannot be Correctly Decrypted!");
        KIVO_FUZZ_REQUIRE(ReadFuzzFile(strOutput).empty());
        return false;
    }
    KIVO_FUZZ_REQUIRE(bSigned);

    // Exactly the body's length, and the bytes that deciphering the body in
    // one piece gives: the 384-byte blocks of the file reader do not show.
    const FuzzBytes plain = ReadFuzzFile(strOutput);
    KIVO_FUZZ_REQUIRE(plain.size() == input.size() - sizeof signature);
    if (!plain.empty()) {
        FuzzBytes body(input.begin() + sizeof signature, input.end());
        cipher.ResetChain();
        cipher.DecryptBlock(body.data(), body.data(), static_cast<int>(body.size()));
        KIVO_FUZZ_REQUIRE(body == plain);
    }

    // For one key the cipher is a bijection: enciphering gives the input back.
    const std::string strAgain = FuzzFolder() / "again.dat";
    cipher.EncryptFile(strOutput, strAgain);
    KIVO_FUZZ_REQUIRE(ReadFuzzFile(strAgain) == input);
    return true;
}

} // namespace

// Deciphers one input as a library file; returns how many of the two
// passes passed their signature check (0, 1 or 2). Aborts on a broken promise.
int ExerciseDecryptFile(const std::uint8_t* pData, std::size_t nSize)
{
    const CFuzzFolder& folder = FuzzFolder();
    const std::string strLibrary = folder / "library.dat";
    const std::string strInner = folder / "inner.dat";
    const std::string strPlain = folder / "plain.txt";
    const FuzzBytes library(pData, pData + nSize);
    WriteFuzzFile(strLibrary, library);
    if (!DecipherOnePass(true, strLibrary, library, strInner))
        return 0;
    const FuzzBytes inner = ReadFuzzFile(strInner);
    if (!DecipherOnePass(false, strInner, inner, strPlain))
        return 1;

    // The two passes together are what the loader's helper does.
    const std::string strBoth = folder / "both.txt";
    DecipherLibrary(strLibrary, strBoth, kFuzzLibraryName, folder / "scratch.dat");
    KIVO_FUZZ_REQUIRE(ReadFuzzFile(strBoth) == ReadFuzzFile(strPlain));
    return 2;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    ExerciseDecryptFile(pData, nSize);
    return 0;
}
