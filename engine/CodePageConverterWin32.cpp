// Code-page conversion through the Win32 API.
#include "CodePageConverter.h"

#include <windows.h>

#include <vector>

namespace {

// Shows the wait cursor for the lifetime of the object. The shared system
// cursor is loaded once: loading it per conversion cost more than converting.
class CWaitCursor {
public:
    CWaitCursor() : m_hPrevious(SetCursor(WaitCursor())) {}
    ~CWaitCursor() { SetCursor(m_hPrevious); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    static HCURSOR WaitCursor()
    {
        static const HCURSOR hWait = LoadCursor(nullptr, IDC_WAIT);
        return hWait;
    }
    HCURSOR m_hPrevious;
};

class CCodePageConverterWin32 final : public CCodePageConverter {
public:
    bool UnicodeToMultiByte(const char16_t* units, std::size_t count, unsigned codePage,
                            std::string& out) const override
    {
        std::size_t length = 0;
        while (length < count && units[length] != 0)
            ++length;
        if (length == 0 || length > 0x7FFFFFFF)
            return false;
        const auto* wide = reinterpret_cast<const WCHAR*>(units);
        const int wideLength = static_cast<int>(length);
        const int size = WideCharToMultiByte(codePage, 0, wide, wideLength, nullptr, 0, "?", nullptr);
        if (size <= 0)
            return false;
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        const int written =
            WideCharToMultiByte(codePage, 0, wide, wideLength, buffer.data(), size, "?", nullptr);
        if (written <= 0)
            return false;
        out.assign(buffer.data(), static_cast<std::size_t>(written));
        return true;
    }

    bool MultiByteToUnicode(const std::string& text, unsigned codePage,
                            std::u16string& out) const override
    {
        CWaitCursor wait;
        // -1: the whole NUL-terminated text, so the count includes the terminator.
        const int count = MultiByteToWideChar(codePage, MB_USEGLYPHCHARS, text.c_str(), -1, nullptr, 0);
        if (count <= 0)
            return false;
        out.assign(static_cast<std::size_t>(count), u'\0');
        const int written = MultiByteToWideChar(codePage, MB_USEGLYPHCHARS, text.c_str(), -1,
                                                reinterpret_cast<WCHAR*>(&out[0]), count);
        if (written <= 0) {
            out.clear();
            return false;
        }
        out.resize(static_cast<std::size_t>(written));
        return true;
    }
};

} // namespace

const CCodePageConverter& PlatformCodePageConverter()
{
    static const CCodePageConverterWin32 converter;
    return converter;
}
