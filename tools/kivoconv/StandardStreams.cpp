#include "StandardStreams.h"

#include "Utf8Codec.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace {

bool IsConsole(HANDLE hStream)
{
    DWORD mode = 0;
    return hStream != nullptr && hStream != INVALID_HANDLE_VALUE && GetFileType(hStream) == FILE_TYPE_CHAR &&
           GetConsoleMode(hStream, &mode);
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// In pieces the console takes at once, never between the two halves of a
// surrogate pair.
bool WriteConsoleText(HANDLE hConsole, const std::wstring& text)
{
    constexpr std::size_t kPiece = 8192;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t count = text.size() - from < kPiece ? text.size() - from : kPiece;
        if (count > 1 && from + count < text.size() && IsHighSurrogate(text[from + count - 1]))
            --count;
        DWORD written = 0;
        if (!WriteConsoleW(hConsole, text.data() + from, static_cast<DWORD>(count), &written, nullptr) || written == 0)
            return false;
        from += written;
    }
    return true;
}

} // namespace

bool ReadStandardInput(std::string& data)
{
    _setmode(_fileno(stdin), _O_BINARY);
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        data.append(buffer, n);
    return !std::ferror(stdin);
}

bool WriteStandardOutput(const std::string& bytes, const std::string* unicode)
{
    HANDLE hOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    if (unicode && IsConsole(hOutput))
        return WriteConsoleText(hOutput, Utf16LeToWide(*unicode));
    _setmode(_fileno(stdout), _O_BINARY);
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

void ReportLine(const std::wstring& text)
{
    const std::wstring line = L"kivoconv: " + text + L"\n";
    std::fflush(stderr);
    HANDLE hError = GetStdHandle(STD_ERROR_HANDLE);
    if (IsConsole(hError) && WriteConsoleText(hError, line))
        return;
    std::string utf16le, utf8;
    for (const wchar_t unit : line) {
        utf16le.push_back(static_cast<char>(unit & 0xFF));
        utf16le.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    if (Utf16LeToUtf8(utf16le, utf8))
        std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}
