// The command line of kivoconv:
//   kivoconv [OPTIONS] FROM TO [INPUT...]
// Options in the GNU manner, anywhere before "--": -h/--help, --version,
// -o FILE (also -oFILE, --output FILE, --output=FILE), --in-place, --bom,
// --strict. "-" as a file is standard input.
#pragma once

#include <string>
#include <vector>

// A code as kivoconv takes it: a transfer code of the control, and whether
// the text outside is UTF-8 (the control then sees the UTF-16 code).
struct ConvCode {
    int transfer = -1;
    bool utf8 = false;
};

enum class ConvAction { Convert, Help, Version };

struct ConvArguments {
    ConvAction action = ConvAction::Convert;
    ConvCode source, destination;
    std::vector<std::string> inputs;  // in order; "-" is standard input; none: standard input
    std::string output;               // empty: standard output
    bool inPlace = false;
    bool bom = false;
    bool strict = false;
};

// A code from its number ("0".."5") or its name ("gbk", "big5", "gbk-trad",
// "utf16-simp", "utf16-trad", "utf8-simp", "utf8-trad"); transfer -1 for
// anything else.
ConvCode ParseConvCode(const std::string& word);

// The name a message gives the code's character set ("GBK", "Big5", "traditional GBK").
const char* CharacterSetName(int transferCode);

// Empty when the words are a valid command line, else what is wrong with it.
std::string ParseConvArguments(const std::vector<std::string>& words, ConvArguments& arguments);

extern const char kConvUsage[];
extern const char kConvHelp[];
extern const char kConvVersion[];
