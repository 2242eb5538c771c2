// CodeTransfer: the one conversion operation the control offers its hosts.
//
// `charCode` holds the text, one byte per 16-bit element (a Unicode text as
// little-endian byte pairs), and receives the result; `controlCodes` holds
// the source code, the destination code and the number of input elements.
#pragma once

#include "TextTransfer.h"
#include "TransferCodes.h"

#include <cstddef>

constexpr short kTransferInvalidArguments = -1;  // a code out of range, or a count outside the array
constexpr short kTransferFailed = 0;             // nothing written
constexpr std::size_t kMaxTransferElements = 32767;

// `capacity` is the number of elements of `charCode` that may be read and
// written. The result is the number of elements written; it never exceeds
// `capacity` or what the 16-bit result can express: a longer result is not
// written at all and the call answers kTransferFailed.
short CodeTransfer(short* charCode, std::size_t capacity, const short controlCodes[3],
                   const TransferServices& services);
