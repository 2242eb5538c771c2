#include "ConvArguments.h"

#include "TransferCodes.h"

const char kConvUsage[] = "usage: kivoconv [OPTIONS] FROM TO [INPUT...]   (kivoconv --help tells more)\n";

const char kConvHelp[] =
    "usage: kivoconv [OPTIONS] FROM TO [INPUT...]\n"
    "Converts Chinese text between GBK, Big5 and Unicode through the registered KIVO\n"
    "control, with the word adjustment of the Lumbra installation KIVO is configured with.\n"
    "\n"
    "FROM, TO:\n"
    "  0 gbk          GBK, simplified characters\n"
    "  1 big5         Big5, traditional characters\n"
    "  2 gbk-trad     GBK bytes holding traditional characters\n"
    "  3 utf16-simp   UTF-16LE, simplified (characters of GBK)\n"
    "  4 utf16-trad   UTF-16LE, traditional (characters of Big5); 5 is the same\n"
    "    utf8-simp    UTF-8, simplified (characters of GBK)\n"
    "    utf8-trad    UTF-8, traditional (characters of Big5)\n"
    "INPUT: files converted one after the other into one output; \"-\" or none is\n"
    "standard input. A byte-order mark at the start of a Unicode input is dropped.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE   write to FILE instead of standard output\n"
    "      --in-place      convert each INPUT into itself (through a temporary file\n"
    "                      in its folder; on a failure the file stays as it was)\n"
    "      --bom           begin a UTF-8 or UTF-16 output with a byte-order mark\n"
    "      --strict        refuse (exit 3, nothing written) when characters have no\n"
    "                      counterpart in the destination\n"
    "  -h, --help          show this help\n"
    "      --version       show the version\n"
    "  --                  ends the options\n"
    "\n"
    "Exit status: 0 done, 1 failure, 2 wrong command line, 3 refused by --strict.\n";

const char kConvVersion[] = "kivoconv 1.5 (KIVO 1.5)\n";

namespace {

const struct {
    const char* name;
    ConvCode code;
} kCodeNames[] = {
    {"gbk", {GbkSimplified, false}},
    {"big5", {Big5Traditional, false}},
    {"gbk-trad", {GbkTraditional, false}},
    {"utf16-simp", {UnicodeSimplified, false}},
    {"utf16-trad", {UnicodeTraditional, false}},
    {"utf8-simp", {UnicodeSimplified, true}},
    {"utf8-trad", {UnicodeTraditional, true}},
};

// Takes the value of -o: the rest of the word ("-oFILE", "--output=FILE")
// or the next word. False when there is none.
bool TakeValue(const std::vector<std::string>& words, std::size_t& i, std::size_t prefix, std::string& value)
{
    if (words[i].size() > prefix) {
        value = words[i].substr(prefix + (words[i][prefix] == '=' ? 1 : 0));
        return !value.empty();
    }
    if (i + 1 >= words.size())
        return false;
    value = words[++i];
    return !value.empty();
}

} // namespace

ConvCode ParseConvCode(const std::string& word)
{
    if (word.size() == 1 && word[0] >= '0' && word[0] <= '5')
        return {word[0] - '0', false};
    for (const auto& entry : kCodeNames)
        if (word == entry.name)
            return entry.code;
    return {};
}

const char* CharacterSetName(int transferCode)
{
    if (transferCode == GbkTraditional)
        return "traditional GBK";
    return IsSimplifiedFamily(transferCode) ? "GBK" : "Big5";
}

std::string ParseConvArguments(const std::vector<std::string>& words, ConvArguments& arguments)
{
    arguments = ConvArguments();
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word == "-" || word.empty() || word[0] != '-') {
            operands.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "-h" || word == "--help") {
            arguments.action = ConvAction::Help;
        } else if (word == "--version") {
            arguments.action = ConvAction::Version;
        } else if (word == "--in-place") {
            arguments.inPlace = true;
        } else if (word == "--bom") {
            arguments.bom = true;
        } else if (word == "--strict") {
            arguments.strict = true;
        } else if (word.compare(0, 2, "-o") == 0 || word == "--output" || word.compare(0, 9, "--output=") == 0) {
            if (!TakeValue(words, i, word[1] == 'o' ? 2 : 8, arguments.output))
                return "-o needs a file name";
        } else {
            return "unknown option " + word;
        }
    }
    if (arguments.action != ConvAction::Convert)
        return std::string();
    if (operands.size() < 2)
        return "FROM and TO are needed";
    arguments.source = ParseConvCode(operands[0]);
    arguments.destination = ParseConvCode(operands[1]);
    if (arguments.source.transfer < 0)
        return "unknown code " + operands[0];
    if (arguments.destination.transfer < 0)
        return "unknown code " + operands[1];
    arguments.inputs.assign(operands.begin() + 2, operands.end());
    if (arguments.output == "-")
        arguments.output.clear();
    if (arguments.bom && !IsUnicodeCode(arguments.destination.transfer))
        return "--bom needs a UTF-8 or UTF-16 destination";
    if (arguments.inPlace) {
        if (!arguments.output.empty())
            return "--in-place writes each file into itself; it takes no -o";
        if (arguments.inputs.empty())
            return "--in-place needs the files to convert";
        for (const std::string& input : arguments.inputs)
            if (input == "-")
                return "--in-place cannot convert standard input";
    }
    return std::string();
}
