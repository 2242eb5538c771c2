// kivoconv: converts text files (or standard input) between the transfer
// codes and UTF-8, the quickest way to use KIVO from a shell or a script. It
// is a host of the registered control like any other: the conversion, and
// the word adjustment of the Lumbra installation KIVO is configured with,
// happen in the control; kivoconv only reads, cuts long texts into calls,
// counts what had no counterpart and writes.
//
// Every input is converted before anything is written, so that a failure
// or a refusal by --strict leaves every output and every file as it was.
#include "ConvArguments.h"
#include "ControlFailureMessage.h"
#include "FileIdentity.h"
#include "FileReplace.h"
#include "KIVOControlClient.h"
#include "LongTextTransfer.h"
#include "StandardStreams.h"
#include "TransferCodes.h"
#include "UnmappedCount.h"
#include "Utf8Codec.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum ExitStatus { kExitDone = 0, kExitFailure = 1, kExitUsage = 2, kExitStrict = 3 };

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

int Fail(const std::string& message)
{
    std::fprintf(stderr, "kivoconv: %s\n", message.c_str());
    return kExitFailure;
}

std::string DisplayName(const std::string& path) { return path == "-" ? "standard input" : path; }

bool ReadInput(const std::string& path, std::string& data)
{
    if (path == "-")
        return ReadStandardInput(data);
    CFile file(std::fopen(path.c_str(), "rb"));
    if (!file.Get())
        return false;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.Get())) > 0)
        data.append(buffer, n);
    return !std::ferror(file.Get());
}

bool WriteWholeFile(const std::string& path, const std::string& data)
{
    CFile file(std::fopen(path.c_str(), "wb"));
    if (!file.Get())
        return false;
    const bool written = std::fwrite(data.data(), 1, data.size(), file.Get()) == data.size();
    return file.Close() && written;
}

std::wstring Widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// One input, converted: the bytes to write and, for a Unicode destination,
// the same text as UTF-16LE (what a console is given).
struct ConvertedText {
    std::string path;
    std::string bytes;
    std::string unicode;
    UnmappedCount unmapped;
};

class CConversion {
public:
    explicit CConversion(const ConvArguments& arguments) : m_arguments(arguments) {}

    // Empty on success, else the message.
    std::string Convert(const std::string& path, ConvertedText& converted)
    {
        const std::string name = DisplayName(path);
        std::string input;
        if (!ReadInput(path, input))
            return "cannot read " + name;
        std::string error = ToControlForm(name, input);
        if (!error.empty())
            return error;
        if (!EnsureControl(error))
            return error;
        const ConvCode& source = m_arguments.source;
        const ConvCode& destination = m_arguments.destination;
        const CodeTransferCall transfer = [this](short* charCode, const short controlCodes[3]) {
            return m_control.CodeTransfer(charCode, controlCodes);
        };
        std::string output;
        const LongTransferResult result =
            TransferLongText(input, source.transfer, destination.transfer, transfer, output);
        if (FAILED(m_control.CallError()))
            return ControlCallMessage(m_control.CallError());
        switch (result) {
        case LongTransferResult::Done:
            break;
        case LongTransferResult::HoldsZero:
            return name + " holds a zero character; it is not a text file";
        case LongTransferResult::InvalidCodes:
        case LongTransferResult::Failed:
            return "the conversion of " + name + " failed";
        }
        converted.path = path;
        converted.unmapped = CountUnmapped(input, source.transfer, output, destination.transfer);
        if (IsUnicodeCode(destination.transfer))
            converted.unicode = output;
        if (!destination.utf8) {
            converted.bytes.swap(output);
        } else if (!Utf16LeToUtf8(output, converted.bytes)) {
            return "the conversion of " + name + " into UTF-8 failed";
        }
        return std::string();
    }

private:
    // The input as the control takes it: byte codes as they are, UTF-16LE
    // without its byte-order mark, UTF-8 checked and made UTF-16LE.
    std::string ToControlForm(const std::string& name, std::string& input) const
    {
        const ConvCode& source = m_arguments.source;
        if (!IsUnicodeCode(source.transfer))
            return std::string();
        const std::size_t before = input.size();
        DropByteOrderMark(input, source.utf8);
        if (!source.utf8) {
            if (input.size() % 2 != 0)
                return name + " is not UTF-16: it holds an odd number of bytes";
            return std::string();
        }
        const std::size_t invalid = FirstInvalidUtf8Byte(input);
        if (invalid != kValidUtf8) {
            // Offsets count from the start of the file, byte-order mark included.
            const std::size_t offset = invalid + (before - input.size());
            char detail[96];
            if (invalid >= input.size())
                std::snprintf(detail, sizeof detail, " is not UTF-8: it ends inside a character (offset %zu)", offset);
            else
                std::snprintf(detail, sizeof detail, " is not UTF-8: the byte at offset %zu (0x%02X) is invalid",
                              offset, static_cast<unsigned char>(input[invalid]));
            return name + detail;
        }
        std::string utf16le;
        if (!Utf8ToUtf16Le(input, utf16le))
            return "cannot read " + name + " as UTF-8";
        input.swap(utf16le);
        return std::string();
    }

    bool EnsureControl(std::string& error)
    {
        if (m_bCreated)
            return true;
        if (!m_control.Create()) {
            error = ControlCreationMessage(m_control.FailedStep(), m_control.Error());
            return false;
        }
        m_bCreated = true;
        return true;
    }

    const ConvArguments& m_arguments;
    CKIVOControlClient m_control;
    bool m_bCreated = false;
};

// Without --in-place an input that is the output would be emptied before it
// is read (by the shell's redirection, or by opening the output), so such a
// call is refused. With --in-place a file named twice would be converted twice.
std::string CheckFileIdentities(const ConvArguments& arguments)
{
    std::vector<FileIdentity> seen;
    const FileIdentity output = arguments.inPlace ? FileIdentity()
                                : arguments.output.empty() ? IdentityOfStandardHandle(STD_OUTPUT_HANDLE)
                                                           : IdentityOfPath(arguments.output);
    for (const std::string& input : arguments.inputs) {
        const FileIdentity identity =
            input == "-" ? IdentityOfStandardHandle(STD_INPUT_HANDLE) : IdentityOfPath(input);
        if (IsSameFile(identity, output))
            return DisplayName(input) + " is also the output; --in-place converts a file into itself";
        if (arguments.inPlace) {
            for (const FileIdentity& other : seen)
                if (IsSameFile(identity, other))
                    return input + " is named twice";
            seen.push_back(identity);
        }
    }
    return std::string();
}

std::wstring UnmappedLine(std::size_t count, const char* characterSet, wchar_t replacement)
{
    std::wstring line = std::to_wstring(count) + (count == 1 ? L" character has" : L" characters have");
    line += L" no counterpart in " + Widened(characterSet) + L" and became ";
    line += replacement;
    return line;
}

// Says what had no counterpart; true when anything had none.
bool ReportUnmapped(const ConvArguments& arguments, const std::vector<ConvertedText>& texts)
{
    bool any = false;
    for (const ConvertedText& text : texts) {
        const std::wstring prefix = texts.size() > 1 ? Widened(DisplayName(text.path)) + L": " : std::wstring();
        if (text.unmapped.questions > 0)
            ReportLine(prefix + UnmappedLine(text.unmapped.questions, CharacterSetName(arguments.source.transfer), L'?'));
        if (text.unmapped.squares > 0)
            ReportLine(prefix +
                       UnmappedLine(text.unmapped.squares, CharacterSetName(arguments.destination.transfer), 0x25A1));
        any = any || text.unmapped.questions > 0 || text.unmapped.squares > 0;
    }
    return any;
}

std::string ByteOrderMark(const ConvArguments& arguments)
{
    if (!arguments.bom)
        return std::string();
    return arguments.destination.utf8 ? "\xEF\xBB\xBF" : "\xFF\xFE";
}

int WriteInPlace(const ConvArguments& arguments, const std::vector<ConvertedText>& texts)
{
    const std::string mark = ByteOrderMark(arguments);
    for (const ConvertedText& text : texts) {
        const unsigned long error = WriteFileReplacing(text.path, mark + text.bytes);
        if (error != ERROR_SUCCESS)
            return Fail("cannot write " + text.path + " (error " + std::to_string(error) + "); it is as it was");
    }
    return kExitDone;
}

int WriteOutput(const ConvArguments& arguments, const std::vector<ConvertedText>& texts)
{
    std::string bytes = ByteOrderMark(arguments), unicode;
    for (const ConvertedText& text : texts) {
        bytes += text.bytes;
        unicode += text.unicode;
    }
    if (!arguments.output.empty())
        return WriteWholeFile(arguments.output, bytes) ? kExitDone : Fail("cannot write " + arguments.output);
    const bool console = IsUnicodeCode(arguments.destination.transfer);
    return WriteStandardOutput(bytes, console ? &unicode : nullptr) ? kExitDone : Fail("cannot write standard output");
}

} // namespace

int main(int argc, char** argv)
{
    ConvArguments arguments;
    const std::string usageError = ParseConvArguments(std::vector<std::string>(argv + 1, argv + argc), arguments);
    if (!usageError.empty()) {
        std::fprintf(stderr, "kivoconv: %s\n%s", usageError.c_str(), kConvUsage);
        return kExitUsage;
    }
    if (arguments.action != ConvAction::Convert) {
        std::fputs(arguments.action == ConvAction::Help ? kConvHelp : kConvVersion, stdout);
        return std::fflush(stdout) == 0 ? kExitDone : kExitFailure;
    }
    if (arguments.inputs.empty())
        arguments.inputs.push_back("-");
    const std::string identityError = CheckFileIdentities(arguments);
    if (!identityError.empty())
        return Fail(identityError);

    CConversion conversion(arguments);
    std::vector<ConvertedText> texts(arguments.inputs.size());
    for (std::size_t i = 0; i < arguments.inputs.size(); ++i) {
        const std::string error = conversion.Convert(arguments.inputs[i], texts[i]);
        if (!error.empty())
            return Fail(error);
    }
    if (arguments.strict) {
        if (ReportUnmapped(arguments, texts)) {
            ReportLine(L"nothing was written (--strict)");
            return kExitStrict;
        }
    }
    const int status = arguments.inPlace ? WriteInPlace(arguments, texts) : WriteOutput(arguments, texts);
    if (status == kExitDone && !arguments.strict)
        ReportUnmapped(arguments, texts);
    return status;
}
