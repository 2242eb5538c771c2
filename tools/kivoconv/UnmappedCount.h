// How many characters of a conversion had no counterpart in the destination.
// The control does not say: a character it cannot map becomes the white
// square of the destination's code, and a Unicode character outside the
// source's code page becomes "?". So kivoconv counts those characters on
// both sides; what the output holds more of than the input came from the
// conversion.
#pragma once

#include <cstddef>
#include <string>

struct UnmappedCount {
    std::size_t squares = 0;    // became the white square (no counterpart in the destination)
    std::size_t questions = 0;  // became "?" (a Unicode source outside its code page)
};

// `input` in the source code and `output` in the destination code, as the
// control takes and gives them (Unicode as UTF-16LE without terminator).
UnmappedCount CountUnmapped(const std::string& input, int source, const std::string& output, int destination);
