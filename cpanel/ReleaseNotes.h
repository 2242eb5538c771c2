// The release notes, shown once for each build of the program: the first
// run of a build opens them, later runs of the same build do not, and a new
// build (a new build date) shows its own once again.
#pragma once

#include "HelpOpener.h"

#include <string>

// Registry subkey and the value name before the build date text.
constexpr char kRegReleaseNoteSubKey[] = "App";
constexpr char kRegReleaseNotePrefix[] = "Release Note ";

// Opens help topic 8 (the vendor's home page, then the notes) unless
// "App"/"Release Note <strBuildDate>" already holds "1", and writes "1"
// there. True when the notes were opened now.
bool ShowReleaseNotesOnce(const std::string& strBuildDate, const CHelpSettings& settings, HWND hOwner = nullptr);
