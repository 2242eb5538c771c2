#include "UnmappedCount.h"

#include "CodeTables.h"
#include "TransferCodes.h"

namespace {

constexpr char16_t kWhiteSquare = 0x25A1;

struct CharacterCounts {
    std::size_t squares = 0, questions = 0;
};

// Walks the text character by character: a GBK or Big5 trail byte can be
// 0xA1 or 0xBC, so the square is looked for only where a character starts.
CharacterCounts CountIn(const std::string& text, int code)
{
    CharacterCounts counts;
    if (IsUnicodeCode(code)) {
        for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
            const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(text[i]) |
                                                        static_cast<unsigned char>(text[i + 1]) << 8);
            counts.squares += unit == kWhiteSquare;
            counts.questions += unit == u'?';
        }
        return counts;
    }
    const bool big5 = code == Big5Traditional;
    const unsigned char lead = big5 ? kBig5PlaceholderLead : kGbkPlaceholderLead;
    const unsigned char trail = big5 ? kBig5PlaceholderTrail : kGbkPlaceholderTrail;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < text.size()) {
            counts.squares += byte == lead && static_cast<unsigned char>(text[i + 1]) == trail;
            i += 2;
            continue;
        }
        counts.questions += byte == '?';
        ++i;
    }
    return counts;
}

std::size_t Increase(std::size_t before, std::size_t after) { return after > before ? after - before : 0; }

} // namespace

UnmappedCount CountUnmapped(const std::string& input, int source, const std::string& output, int destination)
{
    UnmappedCount count;
    if (source == destination)
        return count;
    const CharacterCounts in = CountIn(input, source), out = CountIn(output, destination);
    count.squares = Increase(in.squares, out.squares);
    if (IsUnicodeCode(source))
        count.questions = Increase(in.questions, out.questions);
    return count;
}
