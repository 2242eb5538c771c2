#include "TextPieces.h"

namespace {

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

char16_t UnitAt(const std::string& bytes, std::size_t i)
{
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// Bytes of the character at `i` of a text of `size` bytes: a lead byte with
// its trail byte, a UTF-16 unit, or a surrogate pair.
std::size_t CharacterSize(const std::string& bytes, bool unicode, std::size_t i, std::size_t size)
{
    if (unicode)
        return IsHighSurrogate(UnitAt(bytes, i)) && i + 4 <= size ? 4 : 2;
    return IsLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < size ? 2 : 1;
}

} // namespace

std::size_t NextPieceEnd(const std::string& bytes, bool unicode, std::size_t from, std::size_t limit)
{
    const std::size_t size = unicode ? bytes.size() & ~std::size_t(1) : bytes.size();
    if (size - from <= limit)
        return size;
    std::size_t lastLineFeed = 0, lastBoundary = from;
    for (std::size_t i = from; i < size;) {
        const std::size_t step = CharacterSize(bytes, unicode, i, size);
        const bool lineFeed = unicode ? UnitAt(bytes, i) == u'\n' : bytes[i] == '\n';
        if (i + step - from > limit)
            break;
        i += step;
        lastBoundary = i;
        if (lineFeed)
            lastLineFeed = i;
    }
    if (lastLineFeed > from)
        return lastLineFeed;
    if (lastBoundary > from)
        return lastBoundary;
    // A limit smaller than one character still moves on, by that character
    // whole: half a character converts to garbage, never to its half.
    return from + CharacterSize(bytes, unicode, from, size);
}
