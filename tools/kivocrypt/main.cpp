// kivocrypt: enciphers a plain word-adjustment library the way the built-in
// libraries are stored, or deciphers one, with the key derived from the
// library's file name (LibraryCipher.h). Data generators and tests use it
// to make enciphered libraries.
//
// The output appears only when everything worked: it is written beside its
// final place under a temporary name and renamed at the end.
#include "CryptArguments.h"
#include "FileSystem.h"
#include "LibraryCipher.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

int Fail(const std::string& strMessage)
{
    std::fprintf(stderr, "kivocrypt: %s\n", strMessage.c_str());
    return 1;
}

bool SameFile(const std::string& strFirst, const std::string& strSecond)
{
    return FullPathName(strFirst) == FullPathName(strSecond) || IsSameExistingFile(strFirst, strSecond);
}

// Removes the temporary output unless it was renamed into place.
class CTemporaryFile {
public:
    explicit CTemporaryFile(std::string strPath) : m_strPath(std::move(strPath)) {}
    ~CTemporaryFile() { std::remove(m_strPath.c_str()); }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};

} // namespace

int main(int argc, char** argv)
{
    CryptArguments arguments;
    if (!ParseCryptArguments(std::vector<std::string>(argv + 1, argv + argc), arguments)) {
        std::fputs(kCryptUsage, stderr);
        return 2;
    }
    const std::string strName = arguments.strName.empty() ? LibraryNameOf(arguments.LibraryPath()) : arguments.strName;
    if (strName.empty()) {
        std::fprintf(stderr, "kivocrypt: %s names no file; give --name\n", arguments.LibraryPath().c_str());
        std::fputs(kCryptUsage, stderr);
        return 2;
    }
    const std::string& strInput = arguments.strInput;
    const std::string& strOutput = arguments.strOutput;
    if (SameFile(strInput, strOutput))
        return Fail("input and output are the same file: " + strInput);
    if (!std::ifstream(strInput, std::ios::binary).is_open())
        return Fail("cannot read " + strInput);

    const std::string strTemporary = strOutput + ".kivocrypt-tmp";
    const std::string strScratch = strOutput + ".kivocrypt-pass";
    for (const std::string* pOwn : {&strTemporary, &strScratch}) {
        if (SameFile(strInput, *pOwn))
            return Fail("the input " + strInput + " has the name of a temporary file of kivocrypt");
    }
    CTemporaryFile temporary(strTemporary);
    try {
        if (arguments.bEncipher)
            EncipherLibrary(strInput, temporary.Path(), strName);
        else
            DecipherLibrary(strInput, temporary.Path(), strName, strScratch);
    } catch (const std::exception& error) {
        const std::string strMessage = error.what();
        if (strMessage.find("cannot be Correctly Decrypted") != std::string::npos)
            return Fail(strMessage + " (not a library enciphered as " + strName + ")");
        return Fail(strMessage);
    }
    if (!MoveFileOver(temporary.Path(), strOutput))
        return Fail("cannot write " + strOutput);
    return 0;
}
