#include "TextConversion.h"

#include "LongTextTransfer.h"
#include "TransferCodes.h"

namespace {

// UTF-16 text as the UTF-16LE bytes a Unicode code carries, and back.
std::string ToLittleEndianBytes(const std::u16string& text)
{
    std::string bytes;
    bytes.reserve(2 * text.size());
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string FromLittleEndianBytes(const std::string& bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

} // namespace

unsigned TextCodePageOf(int code)
{
    return code == Big5Traditional ? kCodePageBig5 : code == GbkTraditional ? kCodePageGbk : CodePageOf(code);
}

TextConversionResult ConvertText(const std::u16string& input, int source, int destination,
                                 const TransferServices& services, std::u16string& output)
{
    if (!IsValidTransferCode(source) || !IsValidTransferCode(destination))
        return TextConversionResult::InvalidCodes;
    if (input.find(u'\0') != std::u16string::npos)
        return TextConversionResult::HoldsZero;
    if (input.empty()) {
        output.clear();
        return TextConversionResult::Done;
    }

    std::string sourceBytes;
    if (IsUnicodeCode(source))
        sourceBytes = ToLittleEndianBytes(input);
    else if (!services.codePages->UnicodeToMultiByte(input.data(), input.size(), TextCodePageOf(source),
                                                     sourceBytes))
        return TextConversionResult::Failed;

    std::string resultBytes;
    switch (TransferLongText(sourceBytes, source, destination, services, resultBytes)) {
    case LongTransferResult::Done:
        break;
    case LongTransferResult::InvalidCodes:
        return TextConversionResult::InvalidCodes;
    case LongTransferResult::HoldsZero:
        return TextConversionResult::HoldsZero;
    case LongTransferResult::Failed:
        return TextConversionResult::Failed;
    }

    if (IsUnicodeCode(destination)) {
        output = FromLittleEndianBytes(resultBytes);
        return TextConversionResult::Done;
    }
    std::u16string units;
    if (!services.codePages->MultiByteToUnicode(resultBytes, TextCodePageOf(destination), units))
        return TextConversionResult::Failed;
    if (!units.empty() && units.back() == u'\0')
        units.pop_back();
    output = std::move(units);
    return TextConversionResult::Done;
}
