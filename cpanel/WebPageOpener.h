// Opens a web page in the user's browser: through the shell first, and when
// the shell cannot, through the command of the ".htm" file association.
#pragma once

#include <string>

// The shell's result for "open" on `strUrl` with a normal window: above 32
// on success, else the shell's error code (2 file not found, 31 no
// association, ...). On failure the browser of the ".htm" association is
// started with the address (BrowserCommand.h), and when it starts the
// answer is 33, a success; a missing association or command, or a
// browser that does not start, leaves the shell's result as the answer.
int OpenWebPage(const std::string& strUrl);

// The default value of HKEY_CLASSES_ROOT "<type of .htm>\shell\open\command",
// environment references expanded when it is stored so; empty when any step
// is missing, not a string or too long.
std::string HtmAssociationCommand();
