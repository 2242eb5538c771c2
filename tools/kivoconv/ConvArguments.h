// The command line of kivoconv: FROM TO [INPUT [OUTPUT]].
#pragma once

#include <string>
#include <vector>

struct ConvArguments {
    int source = -1;
    int destination = -1;
    std::string input;   // empty: standard input
    std::string output;  // empty: standard output
};

// A transfer code from its number ("0".."5") or its name ("gbk", "big5",
// "gbk-trad", "utf16-simp", "utf16-trad"); -1 for anything else.
int ParseTransferCode(const std::string& word);

// False when the words are not a valid command line.
bool ParseConvArguments(const std::vector<std::string>& words, ConvArguments& arguments);

extern const char kConvUsage[];
