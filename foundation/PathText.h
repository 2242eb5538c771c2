// Path rules that need only the text of a path, not the file system.
//
// Every function takes the code page of the path's bytes so that a "\" that
// is the second byte of a double-byte character is never read as a separator
// (DbcsText.h). Windows code passes the process ANSI code page; PathUtil.h
// has the overloads that do so.
#pragma once

#include <string>

// "C:" or "C:\" (also "C:/"): a drive letter, a colon and at most a separator.
bool IsDriveRoot(const std::string& strPath);

// Every "/" turned into "\". Safe in every code page: no double-byte character
// has 0x2F as its second byte.
std::string ToBackslashes(std::string strPath);

// The text trimmed of blanks, tabs, CR and LF, with "/" turned into "\": how
// a typed or stored path is read before it is checked.
std::string NormalizePathInput(const std::string& strPath);

// The path without one trailing "\" (when it has one).
std::string RemoveTrailingBackslash(const std::string& strPath, unsigned nCodePage);

// Trailing blanks and "\" removed, then everything before the last "\";
// empty when there is none. "C:\Data\a.txt" gives "C:\Data", "C:\Data" gives
// "C:", "C:\" gives "".
std::string ParentFolder(const std::string& strPath, unsigned nCodePage);

// The trimmed path with a default extension: ".txt" appended when its last
// component (after the last "\" or "/") has no "." at all, "txt" when the
// component's first "." is its last character. A path ending in a separator,
// an empty path and a component with an inner dot are left as they are.
std::string EnsureTxtExtension(const std::string& strPath, unsigned nCodePage);

// True when the path ends in `pszExtension` (".exe", ".tps" ...), compared
// without regard to ASCII case. Safe in GBK and Big5: no trail byte is a ".".
bool HasExtension(const std::string& strPath, const char* pszExtension);

// True when the path ends in ".lnk", in any case.
bool HasLnkExtension(const std::string& strPath);

// How the text-file writer reads the path it is given: trimmed, a leading
// "File:///" (any case) removed, and in a path of the form "C:..." that has
// no "\" at all every "/" turned into "\".
std::string CleanWritePath(const std::string& strPath, unsigned nCodePage);
