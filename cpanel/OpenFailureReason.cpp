#include "OpenFailureReason.h"

#include "MessageCatalogue.h"

namespace {

struct COpenFailure {
    int m_nResult;
    std::int32_t m_nMessageId;
};

// The shell's error results (SE_ERR_* and the system error codes it passes on).
const COpenFailure kOpenFailures[] = {
    {0, IDS_ERROR_MEMORY_INSUFFICIENT_MEMORY_PLEASE_QUIT_APPLICATIONS},
    {8, IDS_ERROR_MEMORY_INSUFFICIENT_MEMORY_PLEASE_QUIT_APPLICATIONS},
    {2, IDS_ERROR_FILE_FILE_NOT_FOUND0},
    {3, IDS_ERROR_FILE_PATH_NOT_FOUND0},
    {5, IDS_ERROR_FILE_CAN_NOT_ACCESS_FILE0_CHECK_FL},
    {11, IDS_ERROR_FILE_INVALID_EXE},
    {26, IDS_ERROR_FILE_SHARING_VIOLATION},
    {27, IDS_ERROR_FILE_ASSOCINCOMPLETE},
    {28, IDS_ERROR_FILE_DDETIMEOUT},
    {29, IDS_ERROR_FILE_DDEFAIL},
    {30, IDS_ERROR_FILE_DDEBUSY},
    {31, IDS_ERROR_FILE_NOASSOC},
    {32, IDS_ERROR_FILE_DLLNOTFOUND},
};

} // namespace

std::int32_t OpenFailureMessageId(int nResult)
{
    for (const COpenFailure& failure : kOpenFailures)
        if (failure.m_nResult == nResult)
            return failure.m_nMessageId;
    return IDS_ERROR_MISC_UNKNOWN_ERROR_WITH_CODE;
}

std::string OpenFailureReason(int nResult)
{
    return GetMessage(OpenFailureMessageId(nResult), std::to_string(nResult));
}
