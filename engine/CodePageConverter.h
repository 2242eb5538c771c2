// The platform's code-page conversion, behind a narrow seam.
//
// The Windows build converts with MultiByteToWideChar/WideCharToMultiByte
// (CodePageConverterWin32.cpp); the native build of the core uses iconv
// (CodePageConverterIconv.cpp) so that the pipeline can be tested on the host.
#pragma once

#include <cstddef>
#include <string>

class CCodePageConverter {
public:
    virtual ~CCodePageConverter() = default;

    // Converts the units up to the first zero unit (at most `count` of them)
    // into the code page, "?" standing for units the code page cannot hold.
    // Fails on an empty text and when the platform refuses the conversion.
    virtual bool UnicodeToMultiByte(const char16_t* units, std::size_t count, unsigned codePage,
                                    std::string& out) const = 0;

    // Converts the text up to its first zero byte. `out` receives the code
    // units with the terminating zero unit included, so an empty text gives
    // one unit. Fails only when the platform refuses the conversion.
    virtual bool MultiByteToUnicode(const std::string& text, unsigned codePage,
                                    std::u16string& out) const = 0;
};

// The converter of the build: the platform's own on Windows, iconv elsewhere.
const CCodePageConverter& PlatformCodePageConverter();
