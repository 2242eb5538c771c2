// Small helpers shared by the engine tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

inline std::string Bytes(std::initializer_list<int> bytes)
{
    std::string text;
    for (int b : bytes)
        text.push_back(static_cast<char>(b));
    return text;
}

inline std::string Hex(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : text) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
        hex.push_back(' ');
    }
    return hex;
}

// A random multibyte text: mostly double-byte characters with leads and
// trails from the whole byte range, ASCII, and line feeds now and then.
inline std::string RandomText(std::mt19937& rng, std::size_t size, int lineFeedPercent = 2)
{
    std::uniform_int_distribution<int> percent(0, 99), byte(1, 255), ascii(0x20, 0x7E);
    std::string text;
    while (text.size() < size) {
        const int p = percent(rng);
        if (p < lineFeedPercent)
            text.push_back('\n');
        else if (p < 20)
            text.push_back(static_cast<char>(ascii(rng)));
        else {
            text.push_back(static_cast<char>(0x81 + byte(rng) % 0x7E));
            text.push_back(static_cast<char>(byte(rng)));
        }
    }
    text.resize(size);
    return text;
}
