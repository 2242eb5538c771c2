// The text of a word-adjustment library file: an optional title and
// description (user libraries), then one "source,target" pair a line.
//
// A library's file holds text in the code of its direction (Big5 for G2B,
// GBK for B2G) with lines ending in CR LF:
//   ;[T]My library           line 1 of a user library: "[T]" at its 2nd-4th byte
//   ;what it is for          the comment lines behind it: the description
//   SOURCE,TARGET            the first comma splits; the source has at least two bytes
#pragma once

#include "WALibrary.h"

#include <string>

// Stands for a comma inside a source or a target, where a plain one would
// split the line; stored as ",".
inline constexpr char kWACommaToken[] = "{{_PX_MLE_WA_COMMA_}}";

// Reads the whole content of a library file into `lib`. The pair arrays are
// emptied first and filled only when `bReadPairs` is set (the loader passes
// "applied, or load everything"), so an unused library costs no memory. For a
// user library (`bUserLibrary`) the title and the description are replaced
// by what the file holds, empty when it holds none; a built-in library keeps
// the ones it was given. Malformed pair lines are skipped, as is any line
// holding a zero byte, which the text of a transfer cannot carry.
void ParseWALibraryText(WALibrary& lib, const std::string& strContent, bool bUserLibrary, bool bReadPairs);
