// Code-page conversion through iconv, for the native build of the core.
//
// It follows the Windows behaviour where the tests depend on it: "?" for a
// unit the code page cannot hold, and an undecodable byte taken as one "?"
// (Windows substitutes the code page's default character there).
#include "CodePageConverter.h"

#include <iconv.h>

#include <cerrno>

namespace {

constexpr std::size_t kWindowUnits = 64;

const char* IconvName(unsigned codePage)
{
    switch (codePage) {
    case 936: return "CP936";
    case 950: return "CP950";
    default: return nullptr;
    }
}

// An iconv descriptor, closed on destruction.
class CIconv {
public:
    CIconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~CIconv()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [in, in+inLeft) as it can; returns false on an
    // unconvertible or incomplete sequence, leaving `in` at it.
    bool Convert(char*& in, std::size_t& inLeft, std::string& out)
    {
        char buffer[256];
        while (inLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &in, &inLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

private:
    iconv_t m_cd;
};

class CCodePageConverterIconv final : public CCodePageConverter {
public:
    bool UnicodeToMultiByte(const char16_t* units, std::size_t count, unsigned codePage,
                            std::string& out) const override
    {
        std::size_t length = 0;
        while (length < count && units[length] != 0)
            ++length;
        const char* name = IconvName(codePage);
        if (length == 0 || !name)
            return false;
        CIconv cd(name, "UTF-16LE");
        if (!cd.IsOpen())
            return false;
        std::string bytes;
        for (std::size_t i = 0; i < length; ++i) {
            bytes.push_back(static_cast<char>(units[i] & 0xFF));
            bytes.push_back(static_cast<char>(units[i] >> 8));
        }
        // iconv converts ahead into a buffer of its own and, at a unit the
        // code page cannot hold, converts that stretch again to find the
        // unit: handed the whole text, a text full of such units took
        // quadratic time. A window at a time keeps each restart short; a
        // window never ends between the halves of a surrogate pair.
        std::string result;
        for (std::size_t from = 0; from < length;) {
            std::size_t to = from + kWindowUnits < length ? from + kWindowUnits : length;
            if (to < length && units[to - 1] >= 0xD800 && units[to - 1] <= 0xDBFF)
                ++to;
            char* in = &bytes[2 * from];
            std::size_t inLeft = 2 * (to - from);
            while (!cd.Convert(in, inLeft, result)) {
                // One unit the code page cannot hold (a lone surrogate included).
                result.push_back('?');
                const std::size_t skip = inLeft < 2 ? inLeft : 2;
                in += skip;
                inLeft -= skip;
            }
            from = to;
        }
        out = result;
        return true;
    }

    bool MultiByteToUnicode(const std::string& text, unsigned codePage,
                            std::u16string& out) const override
    {
        const char* name = IconvName(codePage);
        if (!name)
            return false;
        CIconv cd("UTF-16LE", name);
        if (!cd.IsOpen())
            return false;
        std::string source(text.c_str());
        std::string utf16;
        char* in = &source[0];
        std::size_t inLeft = source.size();
        while (!cd.Convert(in, inLeft, utf16)) {
            utf16.append("?\0", 2);
            ++in;
            --inLeft;
        }
        out.clear();
        for (std::size_t i = 0; i + 1 < utf16.size(); i += 2)
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                                static_cast<unsigned char>(utf16[i + 1]) << 8));
        out.push_back(u'\0');
        return true;
    }
};

} // namespace

const CCodePageConverter& PlatformCodePageConverter()
{
    static const CCodePageConverterIconv converter;
    return converter;
}
