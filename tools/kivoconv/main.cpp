// kivoconv: converts a text file (or standard input) between the transfer
// codes, the quickest way to use KIVO from a shell or a script. It is a host
// of the registered control like any other: the conversion, and the word
// adjustment of the Lumbra installation KIVO is configured with, happen in
// the control; kivoconv only cuts long texts into calls.
#include "ConvArguments.h"
#include "ControlFailureMessage.h"
#include "KIVOControlClient.h"
#include "LongTextTransfer.h"
#include "TransferCodes.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A C stdio file, closed on destruction.
class CFile {
public:
    explicit CFile(FILE* file) : m_pFile(file) {}
    ~CFile()
    {
        if (m_pFile)
            std::fclose(m_pFile);
    }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    FILE* Get() const { return m_pFile; }
    // Closes now, so that a failed flush is seen.
    bool Close()
    {
        FILE* file = m_pFile;
        m_pFile = nullptr;
        return std::fclose(file) == 0;
    }

private:
    FILE* m_pFile;
};

bool ReadAll(FILE* file, std::string& data)
{
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        data.append(buffer, n);
    return !std::ferror(file);
}

bool ReadInput(const std::string& path, std::string& data)
{
    if (path.empty()) {
        _setmode(_fileno(stdin), _O_BINARY);
        return ReadAll(stdin, data);
    }
    CFile file(std::fopen(path.c_str(), "rb"));
    return file.Get() && ReadAll(file.Get(), data);
}

bool WriteOutput(const std::string& path, const std::string& data)
{
    if (path.empty()) {
        _setmode(_fileno(stdout), _O_BINARY);
        return std::fwrite(data.data(), 1, data.size(), stdout) == data.size() && std::fflush(stdout) == 0;
    }
    CFile file(std::fopen(path.c_str(), "wb"));
    if (!file.Get())
        return false;
    const bool written = std::fwrite(data.data(), 1, data.size(), file.Get()) == data.size();
    return file.Close() && written;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "kivoconv: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    ConvArguments arguments;
    if (!ParseConvArguments(std::vector<std::string>(argv + 1, argv + argc), arguments)) {
        std::fputs(kConvUsage, stderr);
        return 2;
    }
    const std::string inputName = arguments.input.empty() ? "standard input" : arguments.input;
    std::string input;
    if (!ReadInput(arguments.input, input))
        return Fail("cannot read " + inputName);

    const bool unicodeInput = IsUnicodeCode(arguments.source);
    if (unicodeInput) {
        if (input.size() >= 2 && static_cast<unsigned char>(input[0]) == 0xFF &&
            static_cast<unsigned char>(input[1]) == 0xFE)
            input.erase(0, 2);
        if (input.size() % 2 != 0)
            return Fail(inputName + " is not UTF-16: it holds an odd number of bytes");
    }

    CKIVOControlClient control;
    if (!control.Create())
        return Fail(ControlCreationMessage(control.FailedStep(), control.Error()));
    const CodeTransferCall transfer = [&control](short* charCode, const short controlCodes[3]) {
        return control.CodeTransfer(charCode, controlCodes);
    };
    std::string output;
    const LongTransferResult result = TransferLongText(input, arguments.source, arguments.destination, transfer, output);
    if (FAILED(control.CallError()))
        return Fail(ControlCallMessage(control.CallError()));
    switch (result) {
    case LongTransferResult::Done:
        break;
    case LongTransferResult::HoldsZero:
        return Fail(inputName + " holds a zero character; it is not a text file");
    case LongTransferResult::InvalidCodes:
    case LongTransferResult::Failed:
        return Fail("the conversion of " + inputName + " failed");
    }
    if (!WriteOutput(arguments.output, output))
        return Fail("cannot write " + (arguments.output.empty() ? std::string("standard output") : arguments.output));
    return 0;
}
