// How registry key and value names are read before use: the registry
// functions (Registry.h) accept names with stray blanks or separators, as
// they come from settings and callers, and address the same key either way.
#pragma once

#include <string>

// The name without blanks, tabs, CR, LF and "\" at either end.
std::string TrimRegistryName(const std::string& strName);

// "root\subkey" of two trimmed names; either may be empty.
std::string JoinRegistryPath(const std::string& strRoot, const std::string& strSubKey);
