#include "TransferCodeList.h"

const CTransferCodeEntry kTransferCodeEntries[5] = {
    {0, "1 - GBK Simplified Chinese"},
    {1, "2 - Big5 Traditional Chinese"},
    {2, "3 - GBK Traditional Chinese"},
    {3, "4 - Unicode Simplified Chinese"},
    {4, "5 - Unicode Traditional Chinese"},
};
