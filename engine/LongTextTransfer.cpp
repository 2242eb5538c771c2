#include "LongTextTransfer.h"

#include "CodeTransfer.h"

#include <vector>

namespace {

char16_t UnitAt(const std::string& bytes, std::size_t i)
{
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
}

// What a call into UTF-16 answers for an empty text: its terminator alone.
constexpr short kEmptyUnicodeResult = 2;

// Converts the pieces of one text, each in one call where its result fits.
class CPieceTransfer {
public:
    CPieceTransfer(const std::string& bytes, int source, int destination, const CodeTransferCall& transfer)
        : m_bytes(bytes), m_nSource(source), m_nDestination(destination), m_transfer(transfer)
    {
    }

    LongTransferResult Run(std::size_t from, std::size_t to, std::string& output) const
    {
        std::vector<short> elements(kMaxTransferElements);
        const short result = Call(from, to, m_nDestination, elements);
        if (result < 0)
            return LongTransferResult::InvalidCodes;
        if (result != kTransferFailed) {
            Append(elements, static_cast<std::size_t>(result), output);
            return LongTransferResult::Done;
        }
        if (ConvertsToNothing(from, to))
            return LongTransferResult::Done;
        return RunInTwo(from, to, output);
    }

private:
    short Call(std::size_t from, std::size_t to, int destination, std::vector<short>& elements) const
    {
        for (std::size_t i = from; i < to; ++i)
            elements[i - from] = static_cast<signed char>(m_bytes[i]);
        const short codes[3] = {static_cast<short>(m_nSource), static_cast<short>(destination),
                                static_cast<short>(to - from)};
        return m_transfer(elements.data(), codes);
    }

    void Append(const std::vector<short>& elements, std::size_t count, std::string& output) const
    {
        if (IsUnicodeCode(m_nDestination) && m_nSource != m_nDestination)
            count = count >= 2 ? count - 2 : 0;  // the terminator belongs to the call, not the text
        for (std::size_t i = 0; i < count; ++i)
            output.push_back(static_cast<char>(elements[i] & 0xFF));
    }

    // Into a byte code CodeTransfer answers 0 alike for a result too large
    // for the call and for one that word adjustment emptied: a library may
    // delete a word, and a piece may hold nothing else. The same piece into
    // UTF-16 of the destination's script tells them apart, as there an empty
    // text still brings its terminator, while a result too large as bytes
    // is larger still as units (a character of at most two bytes becomes at
    // least one unit of two elements). Only a transfer across the scripts
    // runs word adjustment, so only there is the question asked, and the
    // probe's code then never equals the source's.
    bool ConvertsToNothing(std::size_t from, std::size_t to) const
    {
        if (IsUnicodeCode(m_nDestination) || IsSimplifiedFamily(m_nSource) == IsSimplifiedFamily(m_nDestination))
            return false;
        const int probe = IsSimplifiedFamily(m_nDestination) ? UnicodeSimplified : UnicodeTraditional;
        std::vector<short> elements(kMaxTransferElements);
        return Call(from, to, probe, elements) == kEmptyUnicodeResult;
    }

    // A piece whose result did not fit goes over in two halves cut between
    // characters. One character that still does not fit, or a conversion
    // refused down to one character, fails the text: its bytes are never
    // handed back as if converted.
    LongTransferResult RunInTwo(std::size_t from, std::size_t to, std::string& output) const
    {
        const std::size_t half = NextPieceEnd(m_bytes, IsUnicodeCode(m_nSource), from, (to - from) / 2);
        if (half <= from || half >= to)
            return LongTransferResult::Failed;
        const LongTransferResult first = Run(from, half, output);
        if (first != LongTransferResult::Done)
            return first;
        return Run(half, to, output);
    }

    const std::string& m_bytes;
    int m_nSource, m_nDestination;
    const CodeTransferCall& m_transfer;
};

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
    const CPieceTransfer pieces(input, source, destination, transfer);
    std::string result;
    for (std::size_t from = 0, size = unicode ? input.size() & ~std::size_t(1) : input.size(); from < size;) {
        const std::size_t to = NextPieceEnd(input, unicode, from, kMaxPieceBytes);
        const LongTransferResult piece = pieces.Run(from, to, result);
        if (piece != LongTransferResult::Done)
            return piece;
        from = to;
    }
    output.swap(result);
    return LongTransferResult::Done;
}
