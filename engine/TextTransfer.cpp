#include "TextTransfer.h"

#include "CharacterMapping.h"

#include <cstring>

namespace {

std::size_t TransferLength(const std::string& text)
{
    const std::size_t length = std::strlen(text.c_str());
    return length < kMaxTransferBytes ? length : kMaxTransferBytes;
}

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

} // namespace

std::size_t NextChunkEnd(const char* text, std::size_t size, std::size_t from)
{
    if (size - from < kChunkRemainder)
        return size;
    const void* lineFeed = std::memchr(text + from + kChunkMinimum, '\n', size - from - kChunkMinimum);
    return lineFeed ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - text) : size;
}

std::string TransferGbToBig5(const std::string& text, TransferMode mode, const TransferServices& services)
{
    const std::size_t size = TransferLength(text);
    std::string result(size, '\0');
    if (size == 0)
        return result;
    auto* out = reinterpret_cast<unsigned char*>(&result[0]);
    for (std::size_t from = 0, end; from < size; from = end) {
        end = NextChunkEnd(text.data(), size, from);
        if (mode == TransferFromGbkTraditional)
            MapGbkTraditionalToBig5(Bytes(text) + from, end - from, out + from);
        else
            MapGbToBig5(Bytes(text) + from, end - from, out + from);
    }
    if (mode == TransferWithAdjustment)
        ApplyWordAdjustment(services.wordAdjustment, WADirection::G2B, result);
    return result;
}

std::string TransferBig5ToGb(const std::string& text, TransferMode mode, const TransferServices& services)
{
    const std::size_t size = TransferLength(text);
    std::string result(size, '\0');
    if (size == 0)
        return result;
    const Big5Target target = mode == TransferToGbkTraditional ? Big5Target::GbkTraditional : Big5Target::Simplified;
    auto* out = reinterpret_cast<unsigned char*>(&result[0]);
    for (std::size_t from = 0, end; from < size; from = end) {
        end = NextChunkEnd(text.data(), size, from);
        MapBig5ToGb(Bytes(text) + from, end - from, target, out + from);
        // The host's windows stay alive through a long traditional-to-simplified text.
        if (services.messagePump)
            services.messagePump->PumpWaitingMessages();
    }
    if (mode == TransferWithAdjustment)
        ApplyWordAdjustment(services.wordAdjustment, WADirection::B2G, result);
    return result;
}
