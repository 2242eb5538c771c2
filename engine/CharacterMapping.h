// Character-by-character mapping between GB and Big5 through the code tables.
//
// Both directions keep the length of the text: every output byte lands at the
// position of the input byte that produced it, so a text may be mapped in
// pieces cut at any single-byte character and the pieces joined afterwards.
#pragma once

#include <cstddef>
#include <string>

enum class Big5Target { Simplified, GbkTraditional };

// Buffer forms: `in` holds `size` bytes of a text that ends there (the byte
// after the last one reads as the terminating zero); `out` receives exactly
// `size` bytes and may not overlap `in`.
void MapGbToBig5(const unsigned char* in, std::size_t size, unsigned char* out);
void MapBig5ToGb(const unsigned char* in, std::size_t size, Big5Target target, unsigned char* out);
// GBK holding traditional characters into Big5: the same character where
// Big5 has it, otherwise what MapGbToBig5 makes of the code.
void MapGbkTraditionalToBig5(const unsigned char* in, std::size_t size, unsigned char* out);

// String forms: the text up to its first zero byte, mapped into a new string.
std::string MapGbToBig5(const std::string& text);
std::string MapBig5ToGb(const std::string& text, Big5Target target);
std::string MapGbkTraditionalToBig5(const std::string& text);
