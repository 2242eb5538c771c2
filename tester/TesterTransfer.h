// The tester's side of the control's CodeTransfer: packing a text into the
// 16-bit elements of CharCode, the call, and unpacking the result, for the
// four combinations of byte texts (GBK, Big5, GBK Traditional) and UTF-16
// texts. Platform-neutral; the call itself comes through CCodeTransferCall.
//
// Long texts. One call counts its input and its result in signed 16-bit
// numbers, so it can take at most 32,767 elements and return as many. A text
// that passes the size check (65,536 bytes, 32,768 UTF-16 units) but would
// not fit one call is cut at line feeds (else between characters) into
// pieces that fit with room for the result, and the pieces are converted in
// order and joined; a text that fits one piece goes over in a single call.
// So everything the size message promises is converted, and the cut never
// splits a character or, where the text has lines, a line.
#pragma once

#include <cstddef>
#include <string>

// One CodeTransfer call on the control: `pCharCode` has kCharCodeElements
// elements, `pControlCodes` three. Returns the control's result; a call that
// could not be made answers 0.
class CCodeTransferCall {
public:
    virtual ~CCodeTransferCall() = default;
    virtual short CodeTransfer(short* pCharCode, short* pControlCodes) = 0;
};

// Working storage of one call: more than the control may ever write.
constexpr std::size_t kCharCodeElements = 65536;
// The size check: longer byte texts, and UTF-16 texts of more than half as
// many units, are refused with the size message.
constexpr std::size_t kSizeCheckBytes = 65536;
constexpr std::size_t kSizeCheckUnits = kSizeCheckBytes / 2;
// The most elements a 16-bit count can express.
constexpr std::size_t kMaxCallElements = 32767;
// The longest piece of input for one call: a byte piece of this size turned
// into UTF-16, two elements a byte plus the terminator, still fits the count.
constexpr std::size_t kTesterPieceBytes = (kMaxCallElements - 2) / 2;

enum class ETransferOutcome {
    Done,
    TooLong,  // refused by the size check; the control was not called
    Failed,   // a call answered below 1
};

// The size message, with the limit in place of its "%d".
std::string TooLongMessage();

// A text in one of the two forms the tester moves: bytes of a byte code, or
// UTF-16 units of a Unicode code.
struct CTesterText {
    bool bUnicode = false;
    std::string strBytes;
    std::u16string strUnits;
};

// The four routines. A byte input is the text without a terminator (a zero
// byte ends it); a UTF-16 input may carry its terminating zero unit, which
// is then converted with the text, as the control expects. A UTF-16 output
// ends with the converted terminator. On anything but Done the output is
// empty: a failed transfer never leaves an older text behind.
ETransferOutcome TransferBytesToBytes(const std::string& input, short nSource, short nDestination,
                                      CCodeTransferCall& call, std::string& output);
ETransferOutcome TransferBytesToUnicode(const std::string& input, short nSource, short nDestination,
                                        CCodeTransferCall& call, std::u16string& output);
ETransferOutcome TransferUnicodeToBytes(const std::u16string& input, short nSource, short nDestination,
                                        CCodeTransferCall& call, std::string& output);
ETransferOutcome TransferUnicodeToUnicode(const std::u16string& input, short nSource, short nDestination,
                                          CCodeTransferCall& call, std::u16string& output);

// The routine that the two codes call for (IsUnicodeTransferCode). `input`
// is read in the source's form; `output` is set to the destination's form,
// empty unless Done.
ETransferOutcome TransferText(const CTesterText& input, short nSource, short nDestination, CCodeTransferCall& call,
                              CTesterText& output);
