// Why the shell could not open a link, as the user reads it: the shell's
// error result (32 or less) turned into a catalogue message.
#pragma once

#include <cstdint>
#include <string>

// The catalogue id for a shell result; IDS_ERROR_MISC_UNKNOWN_ERROR_WITH_CODE
// for a result the table does not know.
std::int32_t OpenFailureMessageId(int nResult);

// The message in the current interface language; an unknown result is
// shown with its number.
std::string OpenFailureReason(int nResult);
