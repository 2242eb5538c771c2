#include "ConvArguments.h"

#include <cstring>

const char kConvUsage[] =
    "usage: kivoconv FROM TO [INPUT [OUTPUT]]\n"
    "  FROM, TO: 0 gbk | 1 big5 | 2 gbk-trad | 3 utf16-simp | 4 utf16-trad | 5\n"
    "  INPUT, OUTPUT: files; standard input and output when left out.\n"
    "  A Unicode side is UTF-16LE; a byte-order mark is accepted on input.\n"
    "  Converts through the registered KIVO control (regsvr32 kivo.ocx), with the word\n"
    "  adjustment of the Lumbra installation KIVO is configured with.\n";

namespace {

const struct {
    const char* name;
    int code;
} kCodeNames[] = {
    {"gbk", 0}, {"big5", 1}, {"gbk-trad", 2}, {"utf16-simp", 3}, {"utf16-trad", 4},
};

} // namespace

int ParseTransferCode(const std::string& word)
{
    if (word.size() == 1 && word[0] >= '0' && word[0] <= '5')
        return word[0] - '0';
    for (const auto& entry : kCodeNames)
        if (word == entry.name)
            return entry.code;
    return -1;
}

bool ParseConvArguments(const std::vector<std::string>& words, ConvArguments& arguments)
{
    if (words.size() < 2 || words.size() > 4)
        return false;
    arguments.source = ParseTransferCode(words[0]);
    arguments.destination = ParseTransferCode(words[1]);
    if (arguments.source < 0 || arguments.destination < 0)
        return false;
    arguments.input = words.size() > 2 ? words[2] : std::string();
    arguments.output = words.size() > 3 ? words[3] : std::string();
    if (arguments.input == "-")
        arguments.input.clear();
    if (arguments.output == "-")
        arguments.output.clear();
    return true;
}
