#include "TextTransfer.h"

#include "CharacterMapping.h"

#include <cstdint>
#include <cstring>

namespace {

// Where `chByte` first stands in p[0, nSize), or nSize. Eight bytes at a
// time: a transfer looks through its whole text for its end and for line
// feeds, and the C library of some platforms does so a byte at a time.
std::size_t FindByte(const char* p, std::size_t nSize, char chByte)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    const std::uint64_t nPattern = kOnes * static_cast<unsigned char>(chByte);
    std::size_t i = 0;
    for (; i + 8 <= nSize; i += 8) {
        std::uint64_t nWord;
        std::memcpy(&nWord, p + i, sizeof nWord);
        const std::uint64_t nDiffer = nWord ^ nPattern;
        if (((nDiffer - kOnes) & ~nDiffer & kHighs) != 0)
            break;  // the byte is among these eight
    }
    while (i < nSize && p[i] != chByte)
        ++i;
    return i;
}

std::size_t TransferLength(const std::string& text)
{
    const std::size_t length = FindByte(text.data(), text.size(), '\0');
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
    const std::size_t start = from + kChunkMinimum;
    return start + FindByte(text + start, size - start, '\n');
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
