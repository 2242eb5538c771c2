// Converts a text of any length through CodeTransfer, which takes at most
// 32,767 elements a call: the text is cut into pieces, at line feeds where it
// has them and otherwise between characters, and the pieces are converted in order.
// The call itself is the caller's choice: the control makes it in-process,
// a host of the control makes it through the control's automation interface.
#pragma once

#include "TextPieces.h"
#include "TextTransfer.h"

#include <cstddef>
#include <functional>
#include <string>

// Largest piece handed to one call: its result stays countable even as
// UTF-16 (two elements a byte, plus the terminator).
constexpr std::size_t kMaxPieceBytes = 16000;

enum class LongTransferResult {
    Done,
    InvalidCodes,  // a code out of range
    HoldsZero,     // a zero byte (or zero unit) would end the text early
    Failed,        // the platform refused a code-page conversion, or one character's result outgrew a call
};

// One CodeTransfer call on one piece: `charCode` holds kMaxTransferElements
// elements (the piece first) and receives the result; `controlCodes` holds the
// source code, the destination code and the piece's element count. The answer
// is CodeTransfer's: the elements written; kTransferFailed when nothing was
// written, because the result did not fit (the piece is then cut in two
// between characters), the conversion was refused, or word adjustment left
// nothing of a piece going into a byte code (told apart by asking for the
// piece in UTF-16 once more); or negative to stop the whole text.
using CodeTransferCall = std::function<short(short* charCode, const short controlCodes[3])>;

// `input` holds bytes of the source code (UTF-16LE for a Unicode code, without
// a terminator); `output` receives bytes of the destination code, a Unicode
// result without its terminator. `output` is changed only on Done.
LongTransferResult TransferLongText(const std::string& input, int source, int destination,
                                    const CodeTransferCall& transfer, std::string& output);

// The same through the engine's own CodeTransfer.
LongTransferResult TransferLongText(const std::string& input, int source, int destination,
                                    const TransferServices& services, std::string& output);
