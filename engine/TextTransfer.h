// The cross-script step of a transfer: map a multibyte text between GB and
// Big5 chunk by chunk, then apply word adjustment of the direction.
#pragma once

#include "CodePageConverter.h"
#include "MessagePump.h"
#include "WordAdjustment.h"

#include <cstddef>
#include <string>

// What a transfer needs of its surroundings.
struct TransferServices {
    const CCodePageConverter* codePages = &PlatformCodePageConverter();
    CMessagePump* messagePump = nullptr;            // runs between Big5-to-GB chunks
    const CWordAdjustment* wordAdjustment = nullptr; // null: no libraries loaded
};

enum TransferMode {
    TransferWithAdjustment = 0,      // table of the direction, then word adjustment
    TransferFromGbkTraditional = 3,  // GBK Traditional to Big5, no word adjustment (reading a GBK Traditional source)
    TransferToGbkTraditional = 4,    // Big5 to GBK Traditional table only
};

constexpr std::size_t kMaxTransferBytes = 65535;
constexpr std::size_t kChunkMinimum = 160;    // a chunk ends at the first line feed past this
constexpr std::size_t kChunkRemainder = 500;  // fewer bytes left than this: one last chunk

// End of the chunk that starts at `from` in a text of `size` bytes. The line
// feed that ends a chunk opens the next one, so no double-byte character is split.
std::size_t NextChunkEnd(const char* text, std::size_t size, std::size_t from);

// Both take the text up to its first zero byte and at most kMaxTransferBytes of it.
std::string TransferGbToBig5(const std::string& text, TransferMode mode, const TransferServices& services);
std::string TransferBig5ToGb(const std::string& text, TransferMode mode, const TransferServices& services);
