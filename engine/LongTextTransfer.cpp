#include "LongTextTransfer.h"

#include "CodeTransfer.h"

#include <vector>

namespace {

char16_t UnitAt(const std::string& bytes, std::size_t i)
{
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
}

// Converts one piece in one call; a piece whose result outgrows the call is halved.
LongTransferResult TransferPiece(const std::string& bytes, std::size_t from, std::size_t to, int source,
                                 int destination, const CodeTransferCall& transfer, std::string& output)
{
    std::vector<short> elements(kMaxTransferElements);
    for (std::size_t i = from; i < to; ++i)
        elements[i - from] = static_cast<signed char>(bytes[i]);
    const short codes[3] = {static_cast<short>(source), static_cast<short>(destination),
                            static_cast<short>(to - from)};
    const short result = transfer(elements.data(), codes);
    if (result < 0)
        return LongTransferResult::InvalidCodes;
    if (result == 0) {
        const bool unicode = IsUnicodeCode(source);
        const std::size_t half = NextPieceEnd(bytes, unicode, from, (to - from) / 2);
        if (half <= from || half >= to)
            return LongTransferResult::Failed;
        const LongTransferResult first = TransferPiece(bytes, from, half, source, destination, transfer, output);
        if (first != LongTransferResult::Done)
            return first;
        return TransferPiece(bytes, half, to, source, destination, transfer, output);
    }
    std::size_t count = static_cast<std::size_t>(result);
    if (IsUnicodeCode(destination) && source != destination)
        count = count >= 2 ? count - 2 : 0;  // the terminator belongs to the call, not the text
    for (std::size_t i = 0; i < count; ++i)
        output.push_back(static_cast<char>(elements[i] & 0xFF));
    return LongTransferResult::Done;
}

bool HoldsZero(const std::string& bytes, bool unicode)
{
    if (!unicode)
        return bytes.find('\0') != std::string::npos;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        if (UnitAt(bytes, i) == 0)
            return true;
    return false;
}

} // namespace

LongTransferResult TransferLongText(const std::string& input, int source, int destination,
                                    const CodeTransferCall& transfer, std::string& output)
{
    if (!IsValidTransferCode(source) || !IsValidTransferCode(destination))
        return LongTransferResult::InvalidCodes;
    const bool unicode = IsUnicodeCode(source);
    if (HoldsZero(input, unicode))
        return LongTransferResult::HoldsZero;
    std::string result;
    for (std::size_t from = 0, size = unicode ? input.size() & ~std::size_t(1) : input.size(); from < size;) {
        const std::size_t to = NextPieceEnd(input, unicode, from, kMaxPieceBytes);
        const LongTransferResult piece = TransferPiece(input, from, to, source, destination, transfer, result);
        if (piece != LongTransferResult::Done)
            return piece;
        from = to;
    }
    output.swap(result);
    return LongTransferResult::Done;
}
