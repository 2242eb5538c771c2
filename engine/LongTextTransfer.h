// Converts a text of any length through CodeTransfer, which takes at most
// 32,767 elements a call: the text is cut into pieces, at line feeds where it
// has them and otherwise between characters, and the pieces are converted in order.
#pragma once

#include "TextPieces.h"
#include "TextTransfer.h"

#include <cstddef>
#include <string>

// Largest piece handed to one call: its result stays countable even as
// UTF-16 (two elements a byte, plus the terminator).
constexpr std::size_t kMaxPieceBytes = 16000;

enum class LongTransferResult {
    Done,
    InvalidCodes,  // a code out of range
    HoldsZero,     // a zero byte (or zero unit) would end the text early
    Failed,        // the platform refused a code-page conversion
};

// `input` holds bytes of the source code (UTF-16LE for a Unicode code, without
// a terminator); `output` receives bytes of the destination code, a Unicode
// result without its terminator. `output` is changed only on Done.
LongTransferResult TransferLongText(const std::string& input, int source, int destination,
                                    const TransferServices& services, std::string& output);
