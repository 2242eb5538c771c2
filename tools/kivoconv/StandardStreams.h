// kivoconv's standard input, output and error. A Unicode text going to a
// console is written as characters (WriteConsoleW), so the user sees them
// whatever the console's code page; everything else is written as bytes.
#pragma once

#include <string>

// Reads all of standard input, in binary. False on a read error.
bool ReadStandardInput(std::string& data);

// Writes bytes to standard output; when `unicode` holds the same text as
// UTF-16LE and standard output is a console, that is written instead.
bool WriteStandardOutput(const std::string& bytes, const std::string* unicode);

// One line on standard error after "kivoconv: ": as characters on a
// console, as UTF-8 anywhere else.
void ReportLine(const std::wstring& text);
