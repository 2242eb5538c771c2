#include "AreaText.h"

#include "Clipboard.h"

#include <vector>

namespace {

// An escaped byte is the character U+F0000 + byte of the supplementary
// private use plane: a proper surrogate pair, which edit controls keep
// (a lone surrogate they refuse), and which no code page's decoding makes.
constexpr wchar_t kEscapeHigh = 0xDB80;
constexpr wchar_t kEscapeLowBase = 0xDC00;

bool IsEscape(const std::wstring& text, size_t i)
{
    return text[i] == kEscapeHigh && i + 1 < text.size() && text[i + 1] >= kEscapeLowBase &&
           text[i + 1] <= kEscapeLowBase + 0xFF;
}

void AppendEscape(std::wstring& text, unsigned char chByte)
{
    text.push_back(kEscapeHigh);
    text.push_back(static_cast<wchar_t>(kEscapeLowBase + chByte));
}

std::wstring Widen(const char* pBytes, int nBytes, UINT nCodePage, DWORD dwFlags)
{
    if (nBytes <= 0)
        return std::wstring();
    const int nUnits = ::MultiByteToWideChar(nCodePage, dwFlags, pBytes, nBytes, nullptr, 0);
    if (nUnits <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(nUnits), L'\0');
    ::MultiByteToWideChar(nCodePage, dwFlags, pBytes, nBytes, &wide[0], nUnits);
    return wide;
}

std::string Narrow(const wchar_t* pUnits, int nUnits, UINT nCodePage)
{
    if (nUnits <= 0)
        return std::string();
    const int nBytes = ::WideCharToMultiByte(nCodePage, 0, pUnits, nUnits, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        return std::string();
    std::string bytes(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(nCodePage, 0, pUnits, nUnits, &bytes[0], nBytes, nullptr, nullptr);
    return bytes;
}

// One character of `nBytes` bytes decoded, when it decodes to one unit
// that encodes back to exactly those bytes; 0 otherwise.
wchar_t DecodeOne(const char* pBytes, int nBytes, UINT nCodePage)
{
    wchar_t unit = 0;
    if (::MultiByteToWideChar(nCodePage, MB_ERR_INVALID_CHARS, pBytes, nBytes, &unit, 1) != 1 || unit == 0)
        return 0;
    char back[4] = {};
    BOOL bLossy = FALSE;
    const int nBack = ::WideCharToMultiByte(nCodePage, 0, &unit, 1, back, sizeof back, nullptr, &bLossy);
    if (bLossy || nBack != nBytes || std::string(back, static_cast<size_t>(nBack)) != std::string(pBytes, nBytes))
        return 0;
    return unit;
}

bool UsesWideText()
{
    return (::GetVersion() & 0x80000000u) == 0;
}

std::wstring GetWideText(HWND hEdit)
{
    const int nLength = ::GetWindowTextLengthW(hEdit);
    if (nLength <= 0)
        return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(nLength) + 1, L'\0');
    const int nCopied = ::GetWindowTextW(hEdit, buffer.data(), nLength + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(nCopied > 0 ? nCopied : 0));
}

std::string GetAnsiText(HWND hEdit)
{
    const int nLength = ::GetWindowTextLengthA(hEdit);
    if (nLength <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(nLength) + 1, '\0');
    const int nCopied = ::GetWindowTextA(hEdit, buffer.data(), nLength + 1);
    return std::string(buffer.data(), static_cast<size_t>(nCopied > 0 ? nCopied : 0));
}

} // namespace

std::wstring DecodeAreaBytes(const std::string& bytes, UINT nCodePage)
{
    if (bytes.empty())
        return std::wstring();
    const int nBytes = static_cast<int>(bytes.size());
    // Nearly every text decodes whole and comes back the same: one call each way.
    if (bytes.find('\0') == std::string::npos) {
        std::wstring whole = Widen(bytes.data(), nBytes, nCodePage, MB_ERR_INVALID_CHARS);
        if (!whole.empty() && Narrow(whole.data(), static_cast<int>(whole.size()), nCodePage) == bytes)
            return whole;
    }
    std::wstring text;
    text.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char chByte = static_cast<unsigned char>(bytes[i]);
        if (chByte != 0 && chByte < 0x80) {
            text.push_back(static_cast<wchar_t>(chByte));
            ++i;
            continue;
        }
        if (i + 1 < bytes.size() && ::IsDBCSLeadByteEx(nCodePage, chByte)) {
            if (const wchar_t unit = DecodeOne(&bytes[i], 2, nCodePage)) {
                text.push_back(unit);
                i += 2;
                continue;
            }
        }
        const wchar_t unit = chByte == 0 ? 0 : DecodeOne(&bytes[i], 1, nCodePage);
        if (unit)
            text.push_back(unit);
        else
            AppendEscape(text, chByte);
        ++i;
    }
    return text;
}

std::string EncodeAreaText(const std::wstring& text, UINT nCodePage)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    size_t nRun = 0;  // start of the characters not yet encoded
    size_t i = 0;
    while (i <= text.size()) {
        if (i < text.size() && !IsEscape(text, i)) {
            ++i;
            continue;
        }
        bytes += Narrow(text.data() + nRun, static_cast<int>(i - nRun), nCodePage);
        if (i == text.size())
            break;
        bytes.push_back(static_cast<char>(text[i + 1] - kEscapeLowBase));
        i += 2;
        nRun = i;
    }
    return bytes;
}

std::string GetAreaBytes(HWND hEdit, UINT nCodePage)
{
    return UsesWideText() ? EncodeAreaText(GetWideText(hEdit), nCodePage) : GetAnsiText(hEdit);
}

bool SetAreaBytes(HWND hEdit, const std::string& bytes, UINT nCodePage)
{
    // An edit that took the text only in part (one that is full) has not
    // taken it: the caller must not name the area after a file it lacks.
    if (!UsesWideText())
        return ::SetWindowTextA(hEdit, bytes.c_str()) != FALSE &&
               static_cast<size_t>(::GetWindowTextLengthA(hEdit)) == std::string(bytes.c_str()).size();
    const std::wstring text = DecodeAreaBytes(bytes, nCodePage);
    return ::SetWindowTextW(hEdit, text.c_str()) != FALSE &&
           static_cast<size_t>(::GetWindowTextLengthW(hEdit)) == text.size();
}

std::string GetAreaSelectionBytes(HWND hEdit, UINT nCodePage)
{
    DWORD dwStart = 0, dwEnd = 0;
    ::SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
    return GetAreaRangeBytes(hEdit, static_cast<int>(dwStart), static_cast<int>(dwEnd), nCodePage);
}

std::string GetAreaRangeBytes(HWND hEdit, int nStart, int nEnd, UINT nCodePage)
{
    if (nStart < 0 || nEnd <= nStart)
        return std::string();
    const size_t nFrom = static_cast<size_t>(nStart);
    const size_t nCount = static_cast<size_t>(nEnd - nStart);
    if (!UsesWideText()) {
        const std::string text = GetAnsiText(hEdit);
        return nFrom < text.size() ? text.substr(nFrom, nCount) : std::string();
    }
    const std::wstring text = GetWideText(hEdit);
    return nFrom < text.size() ? EncodeAreaText(text.substr(nFrom, nCount), nCodePage) : std::string();
}

void ReplaceAreaSelection(HWND hEdit, const std::string& bytes, UINT nCodePage)
{
    if (!UsesWideText()) {
        ::SendMessageA(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(bytes.c_str()));
        return;
    }
    const std::wstring text = DecodeAreaBytes(bytes, nCodePage);
    ::SendMessageW(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

int GetAreaLength(HWND hEdit)
{
    return UsesWideText() ? ::GetWindowTextLengthW(hEdit) : ::GetWindowTextLengthA(hEdit);
}

bool WriteAreaClipboard(HWND hOwner, const std::string& bytes, UINT nCodePage)
{
    CGlobalBlock text = MakeGlobalBlock(bytes.data(), bytes.size(), 1);
    // Escaped bytes mean nothing to another program: they go as "?".
    const std::wstring decoded = DecodeAreaBytes(bytes, nCodePage);
    std::wstring wide;
    wide.reserve(decoded.size());
    for (size_t i = 0; i < decoded.size(); ++i) {
        if (IsEscape(decoded, i)) {
            wide.push_back(L'?');
            ++i;
        } else {
            wide.push_back(decoded[i]);
        }
    }
    CGlobalBlock unicode = MakeGlobalBlock(wide.data(), wide.size() * sizeof(wchar_t), sizeof(wchar_t));
    if (!text.Get())
        return false;
    CClipboardSession clipboard(hOwner);
    if (!clipboard.IsOpen() || !::EmptyClipboard())
        return false;
    if (!::SetClipboardData(CF_TEXT, text.Get()))
        return false;
    text.Release();  // the clipboard owns it now
    if (unicode.Get() && ::SetClipboardData(CF_UNICODETEXT, unicode.Get()))
        unicode.Release();
    return true;
}

namespace {

// True when the units encode in `nCodePage` and decode back to themselves.
bool Encodes(const wchar_t* pUnits, int nUnits, UINT nCodePage)
{
    if (nUnits <= 0)
        return true;
    BOOL bDefaultUsed = FALSE;
    const int nBytes = ::WideCharToMultiByte(nCodePage, 0, pUnits, nUnits, nullptr, 0, nullptr, &bDefaultUsed);
    if (nBytes <= 0 || bDefaultUsed)
        return false;
    std::string bytes(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(nCodePage, 0, pUnits, nUnits, &bytes[0], nBytes, nullptr, nullptr);
    // A best-fit look-alike (a plain letter for an accented one) is a loss too.
    return Widen(bytes.data(), nBytes, nCodePage, 0) == std::wstring(pUnits, static_cast<size_t>(nUnits));
}

size_t CountInRun(const wchar_t* pUnits, size_t nUnits, UINT nCodePage)
{
    // Nearly every run encodes whole: one look, then one per character only where it does not.
    if (Encodes(pUnits, static_cast<int>(nUnits), nCodePage))
        return 0;
    size_t nLost = 0;
    for (size_t i = 0; i < nUnits;) {
        const bool bPair = i + 1 < nUnits && pUnits[i] >= 0xD800 && pUnits[i] <= 0xDBFF && pUnits[i + 1] >= 0xDC00 &&
                           pUnits[i + 1] <= 0xDFFF;
        const int nLength = bPair ? 2 : 1;
        if (!Encodes(pUnits + i, nLength, nCodePage))
            ++nLost;
        i += static_cast<size_t>(nLength);
    }
    return nLost;
}

} // namespace

size_t CountUnencodableCharacters(const std::wstring& text, UINT nCodePage)
{
    size_t nLost = 0;
    size_t nRun = 0;
    size_t i = 0;
    while (i <= text.size()) {
        if (i < text.size() && !IsEscape(text, i)) {
            ++i;
            continue;
        }
        nLost += CountInRun(text.data() + nRun, i - nRun, nCodePage);
        i += 2;
        nRun = i;
    }
    return nLost;
}

size_t CountAreaUnencodable(HWND hEdit, UINT nCodePage)
{
    return UsesWideText() ? CountUnencodableCharacters(GetWideText(hEdit), nCodePage) : 0;
}
