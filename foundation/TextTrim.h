// Trimming of white space at both ends of a text. The settings-file reader
// tidies its lines with it, and the path and text utilities clean typed or
// stored values with the same rule, so that both agree on what "blank" means.
#pragma once

#include <string>

// Blank, tab, CR and LF: the white space that lines of a settings file, typed
// paths and registry texts lose at both ends. Nothing else counts (no form
// feed, no vertical tab, no byte of the upper half).
inline constexpr char kTrimBlankChars[] = " \t\r\n";

// Removes the characters of kTrimBlankChars from both ends of `strText`, as
// often as any remain there. Returns true when the text changed.
bool TrimBlank(std::string& strText);
