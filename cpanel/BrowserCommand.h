// The command line that starts the browser of the ".htm" association on a
// web address, for when the shell cannot open the address itself.
#pragma once

#include <cstddef>
#include <string>

// Longest command line handed to the system; longer ones are not started.
constexpr std::size_t kMaxBrowserCommandChars = 4096;

// The association's command cut before its first "\"%1\"", or failing that
// before its first "%1" (or whole when it has neither), then a blank and the
// address. Blanks, quotes and control characters of the address are written
// as %XX escapes: the address is one argument and must not open others or
// close the browser's own quotes. Empty when the command is empty or the
// result would exceed kMaxBrowserCommandChars.
std::string BrowserCommandLine(const std::string& strCommand, const std::string& strUrl);
