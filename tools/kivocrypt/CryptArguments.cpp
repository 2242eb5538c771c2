#include "CryptArguments.h"

const char kCryptUsage[] =
    "usage: kivocrypt encipher PLAIN LIBRARY [--name NAME] | kivocrypt decipher LIBRARY PLAIN [--name NAME]\n"
    "  The key comes from the library's file name (NAME, by default the last\n"
    "  part of LIBRARY's path), in any case.\n";

namespace {

const char kNameOption[] = "--name";

} // namespace

bool ParseCryptArguments(const std::vector<std::string>& words, CryptArguments& arguments)
{
    if (words.empty())
        return false;
    if (words[0] == "encipher")
        arguments.bEncipher = true;
    else if (words[0] == "decipher")
        arguments.bEncipher = false;
    else
        return false;

    std::vector<std::string> paths;
    bool bNamed = false;
    for (std::size_t n = 1; n < words.size(); ++n) {
        const std::string& word = words[n];
        std::string strName;
        if (word == kNameOption) {
            if (++n == words.size())
                return false;
            strName = words[n];
        } else if (word.rfind(std::string(kNameOption) + "=", 0) == 0) {
            strName = word.substr(sizeof kNameOption);
        } else if (word.size() > 1 && word[0] == '-') {
            return false;  // an unknown option
        } else {
            paths.push_back(word);
            continue;
        }
        if (bNamed || strName.empty())
            return false;
        bNamed = true;
        arguments.strName = strName;
    }
    if (paths.size() != 2 || paths[0].empty() || paths[1].empty())
        return false;
    arguments.strInput = paths[0];
    arguments.strOutput = paths[1];
    return true;
}
