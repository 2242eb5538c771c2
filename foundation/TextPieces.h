// Cutting a long text into pieces for a conversion that takes a bounded
// number of bytes a call: the engine's long-text transfer and the tester
// both cut with this one rule, so that a text converts the same way
// whichever of them hands it over.
#pragma once

#include <cstddef>
#include <string>

// Where the piece that starts at `from` ends: after the last line feed within
// `limit` bytes, else at the last character boundary within them (a GBK or
// Big5 lead byte 0x81 to 0xFE keeps its trail byte). For a Unicode text the
// positions are in bytes of UTF-16LE, an odd final byte is left out and a
// surrogate pair is never split. The piece is never empty while text remains
// and never ends inside a character: a limit below the size of the first
// character gives that character whole.
std::size_t NextPieceEnd(const std::string& bytes, bool unicode, std::size_t from, std::size_t limit);
