// The command line of kivocrypt:
//   encipher PLAIN LIBRARY [--name NAME]
//   decipher LIBRARY PLAIN [--name NAME]
#pragma once

#include <string>
#include <vector>

struct CryptArguments {
    bool bEncipher = true;
    std::string strInput;
    std::string strOutput;
    std::string strName;  // empty: the last path component of the library

    const std::string& LibraryPath() const { return bEncipher ? strOutput : strInput; }
};

// False when the words are not a valid command line. "--name" may stand
// anywhere after the command, as "--name NAME" or "--name=NAME", once.
bool ParseCryptArguments(const std::vector<std::string>& words, CryptArguments& arguments);

extern const char kCryptUsage[];
