#include "CodeTransfer.h"

#include <string>
#include <utility>

namespace {

// Stage 1: the source as a multibyte text of its own script family.
bool Decode(const short* charCode, std::size_t count, int source, const TransferServices& services,
            std::string& text)
{
    if (!IsUnicodeCode(source)) {
        // Only the low byte of each element counts; a zero byte ends the text.
        std::size_t length = 0;
        while (length < count && (charCode[length] & 0xFF) != 0)
            ++length;
        text.resize(length);
        for (std::size_t i = 0; i < length; ++i)
            text[i] = static_cast<char>(charCode[i]);
        if (source == GbkTraditional)
            text = TransferGbToBig5(text, TransferFromGbkTraditional, services);
        return true;
    }
    // Element pairs, low byte first; an odd last element is ignored. Each
    // element is masked to its byte, so a host that sign-extends bytes here as
    // it does for multibyte text still gets its characters.
    std::u16string units(count / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>((charCode[2 * i + 1] & 0xFF) << 8 | (charCode[2 * i] & 0xFF));
    return services.codePages->UnicodeToMultiByte(units.data(), units.size(), CodePageOf(source), text);
}

// Stage 2: across the scripts when the families differ.
std::string Cross(std::string text, int source, int destination, const TransferServices& services)
{
    const bool fromSimplified = IsSimplifiedFamily(source);
    if (fromSimplified == IsSimplifiedFamily(destination))
        return text;
    return fromSimplified ? TransferGbToBig5(text, TransferWithAdjustment, services)
                          : TransferBig5ToGb(text, TransferWithAdjustment, services);
}

bool Fits(std::size_t elements, std::size_t capacity)
{
    return elements <= capacity && elements <= kMaxTransferElements;
}

// Stage 3: the result in the destination code, written into the caller's array.
short Encode(const std::string& text, int destination, const TransferServices& services, short* charCode,
             std::size_t capacity)
{
    if (!IsUnicodeCode(destination)) {
        std::string reencoded;
        if (destination == GbkTraditional)
            reencoded = TransferBig5ToGb(text, TransferToGbkTraditional, services);
        const std::string& bytes = destination == GbkTraditional ? reencoded : text;
        if (!Fits(bytes.size(), capacity))
            return kTransferFailed;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            charCode[i] = static_cast<signed char>(bytes[i]);  // sign-extended, as hosts expect
        return static_cast<short>(bytes.size());
    }
    std::u16string units;
    if (!services.codePages->MultiByteToUnicode(text, CodePageOf(destination), units))
        return kTransferFailed;
    if (!Fits(2 * units.size(), capacity))
        return kTransferFailed;
    for (std::size_t i = 0; i < units.size(); ++i) {
        charCode[2 * i] = static_cast<short>(units[i] & 0xFF);
        charCode[2 * i + 1] = static_cast<short>(units[i] >> 8);
    }
    return static_cast<short>(2 * units.size());
}

} // namespace

short CodeTransfer(short* charCode, std::size_t capacity, const short controlCodes[3],
                   const TransferServices& services)
{
    if (!controlCodes)
        return kTransferInvalidArguments;
    const int source = controlCodes[0];
    const int destination = controlCodes[1];
    const int count = controlCodes[2];
    if (!IsValidTransferCode(source) || !IsValidTransferCode(destination))
        return kTransferInvalidArguments;
    if (!charCode)
        capacity = 0;
    if (count < 0 || static_cast<std::size_t>(count) > capacity)
        return kTransferInvalidArguments;
    if (source == destination)
        return static_cast<short>(count);

    std::string text;
    if (!Decode(charCode, static_cast<std::size_t>(count), source, services, text))
        return kTransferFailed;
    return Encode(Cross(std::move(text), source, destination, services), destination, services, charCode,
                  capacity);
}
