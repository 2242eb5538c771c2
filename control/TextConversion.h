// ConvertText of the control: a whole text through the CodeTransfer pipeline.
//
// Scripts hold texts as UTF-16 strings, so both sides travel as UTF-16: a
// byte-coded side is read and written as code page 936 text (GBK Simplified
// and GBK Traditional) or 950 text (Big5), a Unicode side as it is. Texts of
// any length are cut into pieces (TransferLongText).
#pragma once

#include "TextTransfer.h"

#include <string>

enum class TextConversionResult {
    Done,
    InvalidCodes,   // a code outside 0..5
    HoldsZero,      // a zero character would end the text early
    Failed,         // the platform refused a code-page conversion
};

// The code page a byte-coded side is read or written in.
unsigned TextCodePageOf(int code);

// `output` is changed only on Done. An empty text converts to an empty text.
TextConversionResult ConvertText(const std::u16string& input, int source, int destination,
                                 const TransferServices& services, std::u16string& output);
