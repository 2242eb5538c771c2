#include "TesterTransfer.h"

#include "TextPieces.h"
#include "TransferCodeList.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Input as the elements will carry it: one byte each; for UTF-16, each unit
// low byte first.
std::string UnitsAsBytes(const std::u16string& units)
{
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string BytesAsUnits(const std::string& bytes)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                              static_cast<unsigned char>(bytes[i])));
    return units;
}

// The input split into the text and whether a terminator follows it. The
// control reads a text only up to its first zero byte or zero unit, so
// anything after that is not handed over: the pieces then read exactly what
// one call would.
struct CSourceText {
    std::string strText;
    bool bTerminated = false;
};

CSourceText SplitSource(const std::string& packed, bool bUnicode)
{
    CSourceText source;
    if (!bUnicode) {
        source.strText = packed.substr(0, packed.find('\0'));
        return source;
    }
    for (std::size_t i = 0; i + 1 < packed.size(); i += 2) {
        if (packed[i] == '\0' && packed[i + 1] == '\0') {
            source.strText = packed.substr(0, i);
            source.bTerminated = true;
            return source;
        }
    }
    source.strText = packed;
    return source;
}

struct CPiece {
    std::size_t nFrom, nTo;
};

// Pieces that one call each can take; an empty text is one empty piece, so
// the control still answers for it.
std::vector<CPiece> CutIntoPieces(const std::string& text, bool bUnicode)
{
    std::vector<CPiece> pieces;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t to = NextPieceEnd(text, bUnicode, from, kTesterPieceBytes);
        pieces.push_back({from, to});
        from = to;
    }
    if (pieces.empty())
        pieces.push_back({0, 0});
    return pieces;
}

class CElementTransfer {
public:
    CElementTransfer(short nSource, short nDestination, CCodeTransferCall& call)
        : m_nSource(nSource), m_nDestination(nDestination), m_call(call), m_arrElements(kCharCodeElements)
    {
    }

    // `packed` in the form UnitsAsBytes gives for a Unicode source; the
    // result in the same form for a Unicode destination.
    bool Run(const std::string& packed, std::string& result)
    {
        const bool bUnicodeSource = IsUnicodeTransferCode(m_nSource);
        const bool bUnicodeDestination = IsUnicodeTransferCode(m_nDestination);
        CSourceText source = SplitSource(packed, bUnicodeSource);
        if (source.bTerminated)
            source.strText.append(2, '\0');
        const std::string& text = source.strText;
        std::vector<CPiece> pieces = CutIntoPieces(text, bUnicodeSource);
        // The terminator goes with the last piece, never alone: a lone zero
        // unit is an empty Unicode text, which the control refuses.
        if (source.bTerminated && pieces.size() > 1 && pieces.back().nTo - pieces.back().nFrom == 2) {
            pieces.pop_back();
            pieces.back().nTo = text.size();
        }
        result.clear();
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const std::size_t before = result.size();
            if (!RunPiece(text, pieces[i], bUnicodeSource, result))
                return false;
            // Every Unicode result ends in a terminator; the joined text keeps only the last.
            const bool bLast = i + 1 == pieces.size();
            if (!bLast && bUnicodeDestination && result.size() >= before + 2 &&
                result.compare(result.size() - 2, 2, std::string(2, '\0')) == 0)
                result.resize(result.size() - 2);
        }
        return true;
    }

private:
    bool RunPiece(const std::string& text, const CPiece& piece, bool bUnicodeSource, std::string& result)
    {
        std::fill(m_arrElements.begin(), m_arrElements.end(), short(0));
        for (std::size_t i = piece.nFrom; i < piece.nTo; ++i) {
            const unsigned char byte = static_cast<unsigned char>(text[i]);
            // Byte texts travel sign-extended (0xB0 as -80); UTF-16 halves
            // as 0 to 255, which the control combines as high * 256 + low.
            m_arrElements[i - piece.nFrom] = bUnicodeSource ? short(byte) : short(static_cast<signed char>(byte));
        }
        short codes[3] = {m_nSource, m_nDestination, static_cast<short>(piece.nTo - piece.nFrom)};
        const short nResult = m_call.CodeTransfer(m_arrElements.data(), codes);
        if (nResult < 1)
            return false;
        std::size_t count = static_cast<std::size_t>(nResult);
        if (IsUnicodeTransferCode(m_nDestination))
            count &= ~std::size_t(1);  // whole units only
        for (std::size_t i = 0; i < count; ++i)
            result.push_back(static_cast<char>(m_arrElements[i] & 0xFF));
        return true;
    }

    short m_nSource, m_nDestination;
    CCodeTransferCall& m_call;
    std::vector<short> m_arrElements;
};

ETransferOutcome RunTransfer(const std::string& packed, short nSource, short nDestination, CCodeTransferCall& call,
                             std::string& result)
{
    result.clear();
    CElementTransfer transfer(nSource, nDestination, call);
    if (transfer.Run(packed, result))
        return ETransferOutcome::Done;
    result.clear();
    return ETransferOutcome::Failed;
}

} // namespace

std::string TooLongMessage()
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "You can only transfer text for no more than %d byte at a time. If you need transfer longer text, "
                  "you should break your text down and transfer it for multiple rounds.",
                  static_cast<int>(kSizeCheckBytes));
    return text;
}

ETransferOutcome TransferBytesToBytes(const std::string& input, short nSource, short nDestination,
                                      CCodeTransferCall& call, std::string& output)
{
    output.clear();
    if (input.size() > kSizeCheckBytes)
        return ETransferOutcome::TooLong;
    return RunTransfer(input, nSource, nDestination, call, output);
}

ETransferOutcome TransferBytesToUnicode(const std::string& input, short nSource, short nDestination,
                                        CCodeTransferCall& call, std::u16string& output)
{
    output.clear();
    if (input.size() > kSizeCheckBytes)
        return ETransferOutcome::TooLong;
    std::string result;
    const ETransferOutcome outcome = RunTransfer(input, nSource, nDestination, call, result);
    output = BytesAsUnits(result);
    return outcome;
}

ETransferOutcome TransferUnicodeToBytes(const std::u16string& input, short nSource, short nDestination,
                                        CCodeTransferCall& call, std::string& output)
{
    output.clear();
    if (input.size() > kSizeCheckUnits)
        return ETransferOutcome::TooLong;
    return RunTransfer(UnitsAsBytes(input), nSource, nDestination, call, output);
}

ETransferOutcome TransferUnicodeToUnicode(const std::u16string& input, short nSource, short nDestination,
                                          CCodeTransferCall& call, std::u16string& output)
{
    output.clear();
    if (input.size() > kSizeCheckUnits)
        return ETransferOutcome::TooLong;
    std::string result;
    const ETransferOutcome outcome = RunTransfer(UnitsAsBytes(input), nSource, nDestination, call, result);
    output = BytesAsUnits(result);
    return outcome;
}

ETransferOutcome TransferText(const CTesterText& input, short nSource, short nDestination, CCodeTransferCall& call,
                              CTesterText& output)
{
    output = CTesterText();
    output.bUnicode = IsUnicodeTransferCode(nDestination);
    if (!IsUnicodeTransferCode(nSource))
        return output.bUnicode ? TransferBytesToUnicode(input.strBytes, nSource, nDestination, call, output.strUnits)
                               : TransferBytesToBytes(input.strBytes, nSource, nDestination, call, output.strBytes);
    return output.bUnicode ? TransferUnicodeToUnicode(input.strUnits, nSource, nDestination, call, output.strUnits)
                           : TransferUnicodeToBytes(input.strUnits, nSource, nDestination, call, output.strBytes);
}
