// The long-text cutting over the engine's own CodeTransfer, kept apart from
// the cutting so that a host that makes its calls through the control links
// the cutting alone and none of the engine behind it.
#include "CodeTransfer.h"
#include "LongTextTransfer.h"

LongTransferResult TransferLongText(const std::string& input, int source, int destination,
                                    const TransferServices& services, std::string& output)
{
    const CodeTransferCall transfer = [&services](short* charCode, const short controlCodes[3]) {
        return CodeTransfer(charCode, kMaxTransferElements, controlCodes, services);
    };
    return TransferLongText(input, source, destination, transfer, output);
}
